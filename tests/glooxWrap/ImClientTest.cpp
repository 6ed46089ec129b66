#include "glooxWrap/CIMClient.h"
#include "glooxWrap/Gate.h"
#include "glooxWrap/ImEvents.h"
#include "support/LoopbackPort.h"
#include "ui/MessageTarget.h"
#include "ui/WindowMessages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <thread>

namespace {

class Recorder : public MessageTarget {
public:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_IM_PRESENCE)
            texts.push_back(std::to_string(wParam) + " " + TakePresenceId(lParam));
        else if (message == WM_IM_MESSAGE) {
            auto record = TakeImMessage(lParam);
            texts.push_back(record->deviceId + " " + record->body);
        } else {
            texts.push_back(std::to_string(message));
        }
        return 0;
    }
    std::vector<std::string> texts;
};

void Pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class ImClient : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "im_client_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv);
    }
};

}  // namespace

TEST_F(ImClient, PayloadsReachTheWindowOrAreFreedWhenItIsGone)
{
    Recorder window;
    PostPresence(window.GetHWND(), 5, "cam1");
    PostImMessage(window.GetHWND(), std::make_unique<ImMessageRecord>(ImMessageRecord{"cam1", "{\"cmd\":4}"}));
    Pump(50);
    EXPECT_EQ((std::vector<std::string>{"5 cam1", "cam1 {\"cmd\":4}"}), window.texts);

    HWND gone;
    {
        Recorder closed;
        gone = closed.GetHWND();
    }
    // Refused posts free their payloads (the sanitizer run would report a leak otherwise).
    PostPresence(gone, 0, "cam2");
    PostImMessage(gone, std::make_unique<ImMessageRecord>(ImMessageRecord{"cam2", "x"}));
    EXPECT_EQ("", TakePresenceId(0));
    EXPECT_TRUE(TakeImMessage(0)->body.empty());
}

TEST_F(ImClient, GatesStayOpenOnceOpenedAndWaitersCanBeStopped)
{
    Gate gate;
    EXPECT_FALSE(gate.WaitFor(std::chrono::milliseconds(10)));
    std::stop_source stop;
    std::thread waiter([&] { EXPECT_FALSE(gate.Wait(stop.get_token())); });
    stop.request_stop();
    waiter.join();
    gate.Open();
    EXPECT_TRUE(gate.Wait(std::stop_token()));
    EXPECT_TRUE(gate.WaitFor(std::chrono::milliseconds(0)));
}

TEST_F(ImClient, ResourceNumberIsBelowTenThousand)
{
    for (int i = 0; i < 20; ++i) {
        const int resource = CIMClient::DrawResourceNumber();
        EXPECT_GE(resource, 0);
        EXPECT_LE(resource, 9999);
    }
}

TEST_F(ImClient, UnreachableServerPostsNothingAndRefusesSends)
{
    Recorder window;
    CIMClient client;
    client.SetNotifyWnd(window.GetHWND());
    EXPECT_FALSE(client.ConnectServer("13800138000", "pw", KELVUE_DEVICE_DOMAIN, "127.0.0.1", FreeLoopbackPort()));
    client.SendMsg(DeviceJid("cam1"), "{\"cmd\":4}");
    client.Subscribe(DeviceJid("cam1"));
    Pump(50);
    EXPECT_TRUE(window.texts.empty());
    EXPECT_FALSE(client.IsConnected());
    EXPECT_FALSE(client.ConnectedGate().IsOpen());
    EXPECT_FALSE(client.RosterGate().IsOpen());
    EXPECT_FALSE(client.IsOnline("cam1"));
    EXPECT_FALSE(client.IsOnline(""));
    EXPECT_FALSE(client.IsFriend("cam1"));
    EXPECT_EQ(0u, client.BoundJid().rfind(std::string("13800138000@") + KELVUE_DEVICE_DOMAIN + "/", 0));
}
