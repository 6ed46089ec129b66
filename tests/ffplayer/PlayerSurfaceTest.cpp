// The whole path a cell uses: PlayerManager opens a camera into a VideoSurface's handle, the installed
// host hands the library's frames to that surface, and the player's events reach the surface.
#include "ui/VideoSurface.h"
#include "video/PlayerManager.h"
#include "video/StreamServer.h"
#include "video/VideoSurfaceHost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

extern "C" {
#include <libavutil/log.h>
}

#include <functional>

namespace {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

TEST(PlayerSurface, CameraFramesReachTheSurfaceAtItsDisplayRect)
{
    static int argc = 1;
    static char name[] = "player_surface_tests";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    InstallVideoSurfaceHost();
    camsim::StreamServer server;
    ASSERT_TRUE(server.Start());
    server.SetLiveSize("SURFACE", 640, 360);

    VideoSurface surface;
    surface.resize(400, 300);
    surface.show();
    int id = -1;
    PlayerManager::Instance()->CreatePlayer(id);
    ASSERT_EQ(0, PlayerManager::Instance()->Open(id, server.LiveUrl("SURFACE").c_str(), surface.GetHWND(), true));
    ASSERT_EQ(0, PlayerManager::Instance()->SetDisplayRect(id, 0, 0, 400, 300));
    ASSERT_TRUE(PumpUntil([&] { return PlayerManager::Instance()->GetState(id) != 1; }));
    ASSERT_EQ(0, PlayerManager::Instance()->Play(id));
    ASSERT_TRUE(PumpUntil([&] { return surface.FramesPresented() >= 5 && surface.FramesPainted() >= 1; }));
    EXPECT_EQ(QSize(400, 300), surface.LastFrameSize());
    int width = 0, height = 0;
    PlayerManager::Instance()->GetVideoSize(id, width, height);
    EXPECT_EQ(640, width);
    EXPECT_EQ(360, height);
    PlayerManager::Instance()->Stop(id);
    EXPECT_EQ(4, PlayerManager::Instance()->GetState(id));
}

}  // namespace
