#include "FakeMessenger.h"

#include "device/DirectCommandSender.h"

#include <gtest/gtest.h>

TEST(DirectCommandSender, WaitsForTheGatesThenSendsWithoutOnlineCheck)
{
    FakeMessenger im;
    im.SetFriend("c1");
    DirectCommandSender sender(im);
    sender.SendCmdDirect("c1", "first");
    sender.SendCmdDirect("stranger", "second");
    sender.SendCmdDirect("", "no camera selected");  // nobody to address: neither sent nor subscribed
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(im.Calls().empty());
    im.ready.Open();
    im.WaitCalls(3);
    sender.SendCmdDirect("c1", "last");
    auto calls = im.WaitCalls(4);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    calls = im.Calls();
    ASSERT_EQ(4u, calls.size());
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), FakeMessenger::Call{"send", DeviceJid("c1"), "first"}));
    EXPECT_NE(calls.end(),
              std::find(calls.begin(), calls.end(), FakeMessenger::Call{"subscribe", DeviceJid("stranger"), ""}));
}

TEST(DirectCommandSender, SendersStillWaitingEndWithTheSender)
{
    FakeMessenger im;
    {
        DirectCommandSender sender(im);
        sender.SendCmdDirect("c1", "never");
    }
    EXPECT_TRUE(im.Calls().empty());
}
