#include "base/ReconnectBackoff.h"
#include "glooxWrap/CIMClient.h"
#include "glooxWrap/Gate.h"
#include "glooxWrap/ImEvents.h"
#include "glooxWrap/KeepImConnection.h"
#include "glooxWrap/XmppLibrary.h"
#include "support/LoopbackPort.h"
#include "support/UnusableLibraries.h"
#include "ui/MessageTarget.h"
#include "ui/WindowMessages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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

// The server gives a JID's user part back case-folded: a camera the program knows as "KV7" is online,
// and its presence and replies reach the window, under "KV7", not as the stranger "kv7".
TEST_F(ImClient, DeviceIdsWithCapitalsAreReportedAsTheProgramWritesThem)
{
    Recorder window;
    CIMClient client;
    client.SetNotifyWnd(window.GetHWND());
    client.OnRoster({"KV7", "cam1"});
    client.OnRosterPresence("kv7", kXmppAvailable);
    client.OnRosterPresence("cam1", kXmppAvailable);
    EXPECT_TRUE(client.IsOnline("KV7"));
    EXPECT_TRUE(client.IsOnline("cam1"));
    EXPECT_FALSE(client.IsFriend("kv7")) << "roster names still compare exactly";
    EXPECT_FALSE(client.IsOnline("AB9"));  // in the tree, not on the roster: known from this question on
    client.OnRosterPresence("ab9", kXmppAvailable);
    EXPECT_TRUE(client.IsOnline("AB9"));
    client.OnMessage("ab9", R"({"cmd":40})");
    client.OnMessage("kv7", "x");
    client.OnRosterPresence("kv7", kXmppUnavailable);
    Pump(50);
    EXPECT_EQ((std::vector<std::string>{std::to_string(WM_IM_ROSTER), "0 KV7", "0 cam1", "0 AB9",
                                        R"(AB9 {"cmd":40})", "KV7 x", "5 KV7"}),
              window.texts);
    EXPECT_FALSE(client.IsOnline("KV7"));
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

namespace {

// The loader over files that cannot serve as the IM library.
class ImLibraryFiles : public ::testing::Test {
protected:
    const UnusableLibraries unusable_{"libkelvue_xmpp.so", OTHER_LIBRARY};
};

// A loopback server that accepts connections and never answers (or hangs up).
class SilentServer {
public:
    SilentServer()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd_, 4) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            ADD_FAILURE() << "no loopback listener";
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(fd_); }
    int Port() const { return port_; }
    // Whether a client has connected (the connection is taken from the queue).
    bool Connected()
    {
        pollfd ready{fd_, POLLIN, 0};
        return ::poll(&ready, 1, 0) == 1;
    }
    // Takes the waiting connections and closes them at once (a server that hangs up); how many.
    int HangUp()
    {
        int count = 0;
        for (pollfd ready{fd_, POLLIN, 0}; ::poll(&ready, 1, 0) == 1; ++count)
            ::close(::accept(fd_, nullptr, nullptr));
        return count;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace

// The first connection fails (the server hangs up at once): the window hears once that there is no
// session, so it can say why every camera is offline; the attempts go on without further events.
TEST_F(ImClient, AFirstConnectionThatFailsIsToldOnceAndTriedAgain)
{
    Recorder window;
    SilentServer server;
    CIMClient client;
    client.SetNotifyWnd(window.GetHWND());
    ReconnectBackoff backoff(std::chrono::milliseconds(10), std::chrono::milliseconds(20));
    const ImLogin login{"13800138000", "pw", KELVUE_DEVICE_DOMAIN, "127.0.0.1", server.Port()};
    std::thread imThread([&] { KeepImConnection(client, login, backoff); });
    int attempts = 0;
    QElapsedTimer clock;
    clock.start();
    while (attempts < 3 && clock.elapsed() < 20000) {
        attempts += server.HangUp();
        Pump(5);
    }
    client.Disconnect();
    imThread.join();
    Pump(50);
    EXPECT_GE(attempts, 3);
    EXPECT_EQ(std::vector<std::string>{std::to_string(WM_IM_DISCONNECTED)}, window.texts);
    EXPECT_FALSE(client.ConnectedGate().IsOpen());
    EXPECT_TRUE(client.FirstAttemptGate().IsOpen()) << "the main window would wait out its whole time";
}

TEST_F(ImLibraryFiles, TheFirstFileThatLoadsWithTheFactoryIsTakenOnceAndTheBuildsLibraryIsFound)
{
    std::vector<std::string> files = unusable_.Files();
    files.push_back(KELVUE_XMPP_LIBRARY);
    XmppLibrary library(files);
    const XmppLibrary::Factory factory = library.Get();
    ASSERT_NE(nullptr, factory) << library.Failure();
    EXPECT_EQ(factory, library.Get());
    EXPECT_EQ("", library.Failure());
    // The program's own search finds the build's library (through the test's RUNPATH).
    EXPECT_NE(nullptr, XmppLibrary::Instance().Get()) << XmppLibrary::Instance().Failure();
}

TEST_F(ImLibraryFiles, WithoutTheLibraryEveryConnectionFailsWithoutTouchingTheServerAndTheReasonIsKept)
{
    XmppLibrary library(unusable_.Files());
    Recorder window;
    SilentServer server;
    CIMClient client(library);
    client.SetNotifyWnd(window.GetHWND());
    // As the reconnection loop does: every attempt fails at once, the library is looked for once.
    EXPECT_FALSE(client.ConnectServer("13800138000", "pw", KELVUE_DEVICE_DOMAIN, "127.0.0.1", server.Port()));
    EXPECT_FALSE(client.ConnectServer("13800138000", "pw", KELVUE_DEVICE_DOMAIN, "127.0.0.1", server.Port()));
    EXPECT_FALSE(server.Connected());
    const std::string failure = library.Failure();
    EXPECT_NE(std::string::npos, failure.find(unusable_.NotALibrary())) << failure;
    EXPECT_NE(std::string::npos, failure.find(unusable_.OtherLibrary() + " lacks CreateXmppSession")) << failure;
    client.SendMsg(DeviceJid("cam1"), "{\"cmd\":4}");
    client.Subscribe(DeviceJid("cam1"));
    Pump(50);
    EXPECT_TRUE(window.texts.empty());
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(0, client.ConnectionCount());
    EXPECT_FALSE(client.ConnectedGate().IsOpen());

    XmppLibrary nowhere({});
    EXPECT_EQ(nullptr, nowhere.Get());
    EXPECT_EQ("no libkelvue_xmpp.so among", nowhere.Failure());
}
