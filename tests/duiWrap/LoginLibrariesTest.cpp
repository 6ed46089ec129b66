// What the program has loaded by the time its log-in window shows: nothing of the player library, the
// multimedia stack or the sound server's library (they come with the first player that opens), no
// libcurl (it comes with the first request), no gloox or its TLS stack (they come with the IM
// connection) and nothing of Qt's UI tools (the skin reads its layouts itself), whose loader would
// bring the OpenGL libraries and, through Designer's plugins, the QML engine.
#include "UiTestKit.h"
#include "support/MappedLibraries.h"

#include "app/LocalConfig.h"
#include "duiWrap/CLoginFrameWnd.h"
#include "glooxWrap/CIMClient.h"
#include "service/HttpTransport.h"
#include "support/LoopbackPort.h"
#include "video/PlayerManager.h"
#include "video/VideoSurfaceHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::set<std::string> kPlayerStack = {"libffplayer", "libavcodec", "libavformat", "libavutil",
                                            "libavdevice", "libswscale", "libswresample", "libpulse"};

std::set<std::string> PlayerStackMapped() { return LibrariesNamed(MappedLibraries(::getpid()), kPlayerStack); }
std::set<std::string> CurlMapped() { return LibrariesNamed(MappedLibraries(::getpid()), {"libcurl"}); }
std::set<std::string> ImStackMapped()
{
    return LibrariesNamed(MappedLibraries(::getpid()), {"libkelvue_xmpp", "libgloox", "libgnutls", "libnettle"});
}

TEST(LoginLibraries, ThePlayerLibraryLoadsWithTheFirstOpenNotWithTheLogInWindow)
{
    uitest::EnsureApp();
    const std::string dir = fs::temp_directory_path().string() + "/kelvue-login-libraries-" + std::to_string(::getpid()) + "/";
    fs::create_directories(dir);
    LocalConfig::Instance()->InitAt(dir, dir + "kelvue");
    InstallVideoSurfaceHost();  // as the program does before its log-in window
    {
        CLoginFrameWnd login;
        login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
        login.ShowWindow(true);
        uitest::Pump(50);
        EXPECT_EQ(std::set<std::string>(), PlayerStackMapped());
        EXPECT_EQ(std::set<std::string>(), CurlMapped());
        EXPECT_EQ(std::set<std::string>(), ImStackMapped());
        EXPECT_EQ(std::set<std::string>(), LibrariesNamed(MappedLibraries(::getpid()),
                                                          {"libQt6UiTools", "libQt6OpenGL", "libQt6Qml", "libQt6Quick"}));
        std::cout << "libraries mapped with the log-in window shown (offscreen): " << MappedLibraries(::getpid()).size()
                  << "\n";
        login.DestroyWindow();
    }

    PlayerManager* players = PlayerManager::Instance();
    int id = -1;
    players->CreatePlayer(id);
    EXPECT_EQ(std::set<std::string>(), PlayerStackMapped()) << "a player that has not opened loads nothing";
    // Nothing listens on the discard port: the open is accepted and fails later on the library's thread.
    EXPECT_EQ(0, players->Open(id, "http://127.0.0.1:9/live/none.flv", nullptr, false));
    const std::set<std::string> loaded = PlayerStackMapped();
    EXPECT_EQ(1u, LibrariesNamed(loaded, {"libffplayer"}).size()) << "the player library loads with the first open";
    EXPECT_EQ(1u, LibrariesNamed(loaded, {"libavformat"}).size());
    players->Stop(id);
    fs::remove_all(dir);
}

TEST(LoginLibraries, LibcurlLoadsWithTheFirstRequest)
{
    // Nothing listens on the discard port: the request fails, after libcurl has been loaded for it.
    EXPECT_EQ(kGetJsonError, HttpPostJson("Login", "{}", "127.0.0.1", 9));
    EXPECT_EQ(1u, CurlMapped().size());
}

TEST(LoginLibraries, TheImLibraryAndGlooxLoadWithTheFirstConnection)
{
    CIMClient client;
    // Nothing listens there: the connection fails, after the IM library has been loaded for it.
    EXPECT_FALSE(client.ConnectServer("13800138000", "pw", KELVUE_DEVICE_DOMAIN, "127.0.0.1", FreeLoopbackPort()));
    EXPECT_EQ(4u, ImStackMapped().size()) << "the IM library, gloox, gnutls and nettle";
}

}  // namespace
