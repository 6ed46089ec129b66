// The client heals by itself against the peers fixture: the IM session comes back after the IM server
// restarts, and cells get their streams back after the cameras' side restarts or drops a stream.
// Each test stops one process of the fixture and starts it again exactly as scripts/peers.sh did.
#include "ClientEndToEnd.h"

#include "device/PtzControl.h"
#include "PeerProcess.h"
#include "ffplayer/MediaProbe.h"

#include "device/StreamRequestMgr.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/ImLinkStatus.h"
#include "duiWrap/ProgramExit.h"
#include "duiWrap/RowMarkup.h"
#include "glooxWrap/CIMClient.h"
#include "ui/CControlUI.h"
#include "ui/ModalLoop.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerManager.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>

using namespace e2e;

namespace {

constexpr int kProsodyPort = 5222;
constexpr int kCamsimPort = 8090;
const QString kReconnecting = QStringLiteral("重新连接中…");

class HealingEndToEnd : public ClientEndToEnd {
protected:
    static void SetUpTestSuite()
    {
        ClientEndToEnd::SetUpTestSuite();
        StartClient();
    }
    void SetUp() override { Main()->VideoWall()->StopAll(); }
    void TearDown() override { Main()->VideoWall()->StopAll(); }

    static bool StatusShown()
    {
        CControlUI* line = Main()->FindControl(QStringLiteral("IDC_LAB_IMSTATUS"));
        return line != nullptr && line->IsVisible();
    }
    static std::string IconOf(const std::string& deviceId)
    {
        CamListUI* tree = Main()->DeviceList();
        const int row = RowOf(tree, deviceId, false);
        return row < 0 ? std::string()
                       : tree->NodeAt(row)->text.substr(0, std::string(RowMarkup::kCameraOnlineIcon).size());
    }
    static size_t CountOf(const std::string& deviceId, int cmd)
    {
        const auto cmds = camsim_.ReceivedCmds(deviceId);
        return static_cast<size_t>(std::count(cmds.begin(), cmds.end(), cmd));
    }
    // Double-clicks the camera and returns the cell that then draws its frames (-1 when none does).
    // The cell playing `deviceId` once frames of its own stream arrive: a cell that showed another
    // camera before has painted frames already, and a drop before the new stream opened is not a drop
    // of a playing stream. A few frames more than before, as one or two of the old stream may be on
    // their way.
    static int Play(const std::string& deviceId)
    {
        std::vector<int> before(CvyrProDlg::kCellCount, 0);
        for (int i = 0; i < CvyrProDlg::kCellCount; ++i)
            if (CPlayInnerWnd* inner = Main()->VideoWall()->Panel(i)->Inner(); inner != nullptr && inner->Surface())
                before[i] = Frames(i);
        if (!ActivateCamera(deviceId))
            return -1;
        int cell = -1;
        auto ownFrames = [&] { return (cell = CellPlaying(deviceId)) >= 0 && Frames(cell) >= before[cell] + 3; };
        return uitest::PumpUntil(ownFrames, 15000) ? cell : -1;
    }
    static CPlayInnerWnd* Inner(int cell) { return Main()->VideoWall()->Panel(cell)->Inner(); }
    // Frames the player delivered to the cell (paints also count repaints of a still picture).
    static int Frames(int cell) { return Inner(cell)->Surface()->FramesPresented(); }
    static void Screenshot(const char* name)
    {
        EXPECT_TRUE(uitest::SaveScreenshot(*Main(), QString::fromStdString(ScreenshotDir() + "/" + name)));
    }
};

}  // namespace

// The IM server goes away: the window says so, the cameras are no longer shown online and a
// double-click is answered; when the server is back the session returns within the backoff (no pause
// is longer than 30 s), the cameras show online again after their online sequence, and a double-click
// plays.
TEST_F(HealingEndToEnd, ImSessionComesBackAfterTheServerRestarts)
{
    CIMClient* im = CIMClient::Instance();
    ASSERT_TRUE(im->IsConnected());
    ASSERT_FALSE(StatusShown());
    const size_t onlineSequences = CountOf("kv100101", 60);

    PeerProcess prosody(KELVUE_PEERS_RUN_DIR, "prosody", kProsodyPort);
    ASSERT_TRUE(prosody.Stop(false)) << prosody.Error();
    ASSERT_TRUE(uitest::PumpUntil([] { return StatusShown(); }, 10000)) << "the lost session is not shown";
    EXPECT_EQ(ImLinkStatus::kLostText, Text("IDC_LAB_IMSTATUS"));
    EXPECT_FALSE(im->IsOnline("kv100101"));
    EXPECT_EQ(RowMarkup::kCameraOfflineIcon, IconOf("kv100101")) << "a camera is not shown online on a dead session";
    Screenshot("im-session-lost.png");
    {
        uitest::MsgTipRecorder boxes;
        ASSERT_TRUE(ActivateCamera("kv100102"));
        uitest::Pump(200);
        EXPECT_EQ(boxes.texts, QStringList{ImLinkStatus::kRefusedText});
        // The camera pages' commands say so too: a parameter refresh and a move pressed.
        boxes.texts.clear();
        uitest::Click(Main()->FindControl(QStringLiteral("Remote")));
        uitest::Click(Main()->FindControl(QStringLiteral("IDC_BTNREFLASH")));
        ::SendMessage(Main()->GetHWND(), PtzControl::kMoves[0].message, 1, 0);
        ::SendMessage(Main()->GetHWND(), PtzControl::kMoves[0].message, 0, 0);
        uitest::Pump(200);
        uitest::Click(Main()->FindControl(QStringLiteral("List")));
        EXPECT_EQ(boxes.texts, (QStringList{ImLinkStatus::kRefusedText, ImLinkStatus::kRefusedText}));
    }
    uitest::Pump(1500);

    QElapsedTimer clock;
    ASSERT_TRUE(prosody.Restart()) << prosody.Error();
    clock.start();
    ASSERT_TRUE(uitest::PumpUntil([&] { return im->IsConnected() && !StatusShown(); }, 35000))
        << "the client did not reconnect within the longest pause";
    const qint64 reconnected = clock.elapsed();
    ASSERT_TRUE(PresencesShown(30000)) << "the cameras did not come back online in the tree";
    const qint64 online = clock.elapsed();
    std::cout << "[ figure ] IM server back -> session " << reconnected << " ms, every camera online " << online
              << " ms" << std::endl;
    RecordProperty("reconnect_ms", static_cast<int>(reconnected));
    EXPECT_TRUE(uitest::PumpUntil([&] { return CountOf("kv100101", 60) > onlineSequences; }, 10000))
        << "the camera's online sequence ran again";

    const int cell = Play("kv100102");
    EXPECT_GE(cell, 0) << WallState();
    Screenshot("im-session-back.png");
}

// The cameras' side is killed with four cells playing (one of them recording) and a fifth stopped by
// the user; when it is back, the four play again without any action, within 30 s of the restart;
// the recording ended at the break with a playable file and is not restarted; the stopped cell stays
// stopped.
TEST_F(HealingEndToEnd, FourCellsPlayAgainAfterTheCamerasRestart)
{
    ::SendMessage(Main()->VideoWall()->GetHWND(), WM_LAYOUT_9, 0, 0);  // five cells in sight
    const std::vector<std::string> cameras = {"kv100101", "kv100102", "kv100103", "kv100105"};
    std::vector<int> cells;
    for (const std::string& id : cameras) {
        cells.push_back(Play(id));
        ASSERT_GE(cells.back(), 0) << id << "\n" << WallState();
    }
    const int stoppedCell = Play("kv100106");
    ASSERT_GE(stoppedCell, 0) << WallState();
    ::SendMessage(Inner(stoppedCell)->GetHWND(), WM_CELL_STOP, 0, 0);
    ASSERT_EQ(QStringLiteral("停止"), Inner(stoppedCell)->TipText());

    ::SendMessage(Inner(cells[0])->GetHWND(), WM_CELL_RECORD_START, 0, 0);
    const std::string recording = Inner(cells[0])->RecordPath();
    ASSERT_FALSE(recording.empty());
    uitest::Pump(2500);

    PeerProcess camsim(KELVUE_PEERS_RUN_DIR, "camsim", kCamsimPort);
    ASSERT_TRUE(camsim.Stop(true)) << camsim.Error();
    ASSERT_TRUE(uitest::PumpUntil(
        [&] {
            return std::all_of(cells.begin(), cells.end(), [](int c) { return Inner(c)->IsRecovering(); });
        },
        30000))
        << WallState();
    for (int c : cells)
        EXPECT_EQ(kReconnecting, Inner(c)->TipText()) << "cell " << c;
    Screenshot("cells-reconnecting.png");
    EXPECT_GT(ProbeDecodedFrames(recording), 12) << "the recording ended at the break and plays";
    EXPECT_NE(0, PlayerManager::Instance()->StopRecord(Inner(cells[0])->PlayerId())) << "nothing records any more";

    std::map<int, int> frames;
    for (int c : cells)
        frames[c] = Frames(c);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(camsim.Restart()) << camsim.Error();
    const qint64 listening = clock.elapsed();
    std::map<int, qint64> firstFrame;
    uitest::PumpUntil(
        [&] {
            for (int c : cells)
                if (firstFrame.count(c) == 0 && Frames(c) > frames[c])
                    firstFrame[c] = clock.elapsed();
            return firstFrame.size() == cells.size();
        },
        30000);
    ASSERT_EQ(cells.size(), firstFrame.size()) << WallState();
    std::cout << "[ figure ] camsim restarted (control port up after " << listening << " ms) -> first frame:";
    for (size_t i = 0; i < cells.size(); ++i)
        std::cout << " " << cameras[i] << " " << firstFrame[cells[i]] << " ms";
    std::cout << std::endl;
    for (size_t i = 0; i < cells.size(); ++i) {
        EXPECT_FALSE(Inner(cells[i])->IsRecovering()) << cells[i];
        EXPECT_EQ(cameras[i], Main()->VideoWall()->Panel(cells[i])->DeviceId());
    }
    Screenshot("cells-back.png");

    uitest::Pump(3000);  // past the first retry pause
    EXPECT_FALSE(Main()->VideoWall()->Panel(stoppedCell)->IsBusy()) << "the user's stop holds";
    EXPECT_FALSE(Inner(stoppedCell)->IsRecovering());
    EXPECT_EQ(QStringLiteral("停止"), Inner(stoppedCell)->TipText());
    EXPECT_NE(0, PlayerManager::Instance()->StopRecord(Inner(cells[0])->PlayerId())) << "no recording restarted";
    std::error_code ignored;
    std::filesystem::remove(recording, ignored);
    ::SendMessage(Main()->VideoWall()->GetHWND(), WM_LAYOUT_4, 0, 0);
}

// Only the stream goes away while the camera stays online: the cell keeps trying on its own pauses,
// asking the camera for its address again, and plays as soon as the stream is served again.
TEST_F(HealingEndToEnd, StreamDroppedWhileTheCameraStaysOnlineComesBackOnItsOwn)
{
    const int cell = Play("kv100108");
    ASSERT_GE(cell, 0) << WallState();
    const size_t addressRequests = CountOf("kv100108", 40);
    ASSERT_TRUE(CamsimPost("kv100108", "stream/drop"));
    const bool recovering = uitest::PumpUntil([&] { return Inner(cell)->IsRecovering(); }, 20000);
    if (!recovering)
        CamsimPost("kv100108", "stream/restore");
    ASSERT_TRUE(recovering) << WallState();
    EXPECT_EQ(kReconnecting, Inner(cell)->TipText());
    EXPECT_TRUE(uitest::PumpUntil([&] { return CountOf("kv100108", 40) > addressRequests; }, 10000))
        << "the retry asks for the address again";
    EXPECT_TRUE(camsim_.IsOnline("kv100108"));

    const int before = Frames(cell);
    QElapsedTimer clock;
    ASSERT_TRUE(CamsimPost("kv100108", "stream/restore"));
    clock.start();
    ASSERT_TRUE(uitest::PumpUntil([&] { return Frames(cell) > before; }, 20000)) << WallState();
    std::cout << "[ figure ] stream restored -> first frame " << clock.elapsed()
              << " ms (bounded by the retry pause in force)" << std::endl;
    EXPECT_FALSE(Inner(cell)->IsRecovering());
}

// The program's way out once the main window's loop has ended (the window is not destroyed) ends the
// IM session as the window's destruction would: the IM thread leaves the client within its bounded
// wait and nothing connects again. Last of the process: the client stays offline afterwards.
TEST_F(HealingEndToEnd, ProgramsWayOutEndsTheImSession)
{
    CIMClient* im = CIMClient::Instance();
    ASSERT_TRUE(uitest::PumpUntil([&] { return im->IsConnected(); }, 20000));
    uitest::Click(Main()->FindControl(QStringLiteral("closebtn")));
    EXPECT_TRUE(uitest::PumpUntil([] { return IsQuitPending(); }, 5000));
    EXPECT_TRUE(ProgramExit::FinishMainWindow()) << "the IM thread is still in the client";
    ResetQuit();
    EXPECT_FALSE(im->IsConnected());
    uitest::Pump(1500);  // a thread still running would have connected again after its 1 s pause
    EXPECT_FALSE(im->IsConnected());
}
