// The whole client against the demo stack of the peers fixture (prosody, cloudsim, camsim on
// loopback): log-in window, main window, device tree, live video in the wall, recently-watched
// list, presence changes, refused and failed log-ins. The tests run in order on one client, as a
// user's session would: the main window and the IM connection exist once per process.
#include "ClientEndToEnd.h"

#include "app/LocalConfig.h"
#include "app/RememberedAccounts.h"
#include "app/UserSession.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CLoginFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "device/StreamRequestMgr.h"
#include "duiWrap/ProgramExit.h"
#include "ffplayer/MediaProbe.h"
#include "duiWrap/RowMarkup.h"
#include "device/CamParamMgr.h"
#include "device/PtzControl.h"
#include "glooxWrap/CIMClient.h"
#include "ui/CCheckBoxUI.h"
#include "ui/CComboUI.h"
#include "ui/CSliderUI.h"
#include "ui/ModalLoop.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CPopWnd.h"
#include "video/CvyrProDlg.h"
#include "video/VideoSurfaceHost.h"
#include "video/PlayerManager.h"
#include "video/ViewHistory.h"

#include <gtest/gtest.h>
#include <glog/logging.h>
#include <httplib.h>

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace e2e;

TEST_F(ClientEndToEnd, RememberedAccountLogsInAutomatically)
{
    uitest::MsgTipRecorder boxes;
    CLoginFrameWnd login;
    login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
    const UINT result = uitest::RunModal(login, [] {});
    EXPECT_EQ(result, CLoginFrameWnd::kLoggedIn);
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
    EXPECT_EQ(UserSession::Instance()->Mobile(), kAccount);
}

TEST_F(ClientEndToEnd, TreeShowsTheAccountsCamerasWithTheirPresence)
{
    ASSERT_EQ(UserSession::Instance()->Mobile(), kAccount) << "needs the log-in of the previous test";
    CDuiFrameWnd* main = Main();
    ASSERT_NE(main->Create(nullptr, QStringLiteral("DUIWnd"), 0x10CF0000, 0x100), nullptr);
    main->ShowWindow(true);
    CamListUI* tree = main->DeviceList();
    ASSERT_NE(tree, nullptr);

    const bool settled = PresencesShown(20000);
    for (const std::string& id : kAllCameras)
        EXPECT_GE(RowOf(tree, id, false), 0) << id << " missing from the tree";
    ASSERT_TRUE(settled) << "icons did not follow the presences";

    // The account row first, then the three top nodes shown and collapsed.
    EXPECT_EQ(tree->NodeAt(0)->label, kAccount);
    std::vector<std::string> shown;
    for (int i = 0; i < tree->GetCount(); ++i)
        if (tree->NodeAt(i)->rowVisible)
            shown.push_back(tree->NodeAt(i)->label);
    EXPECT_EQ(shown, (std::vector<std::string>{kAccount, "总部大楼", "仓储中心", "停车场"}));
    // kv100112 is bound under two nodes: it appears twice.
    int dome = 0;
    for (int i = 0; i < tree->GetCount(); ++i)
        dome += tree->NodeAt(i)->id == "kv100112" ? 1 : 0;
    EXPECT_EQ(dome, 2);
}

TEST_F(ClientEndToEnd, DoubleClickOnACameraPlaysItInACell)
{
    ASSERT_TRUE(ActivateCamera("kv100101"));
    EXPECT_EQ(Main()->CurDeviceId(), "kv100101");
    EXPECT_TRUE(uitest::PumpUntil([] { return CellPlaying("kv100101") >= 0; }, 20000))
        << "no cell drew frames of kv100101\n" << WallState();
}

TEST_F(ClientEndToEnd, RecentListShowsTheCameraUnderToday)
{
    CamListUI* recent = Main()->RecentList();
    ASSERT_NE(recent, nullptr);
    ASSERT_GE(PlayingCell("kv100101"), 0);
    const ViewHistory::Date today = ViewHistory::Today();
    const std::string day = std::to_string(today.year) + "-" + std::to_string(today.month) + "-" + std::to_string(today.day);
    const bool listed = uitest::PumpUntil(
        [&] {
            for (int i = 0; i < recent->GetCount(); ++i) {
                DeviceNode* node = recent->NodeAt(i);
                if (node->id == "kv100101" && node->parent && node->parent->label == day)
                    return true;
            }
            return false;
        },
        5000);
    EXPECT_TRUE(listed);
    EXPECT_EQ(recent->NodeAt(0)->label, "最近观看");
}

TEST_F(ClientEndToEnd, CameraGoingOfflineIsRelabelledAndComingOnlineRebuildsTheTree)
{
    CamListUI* tree = Main()->DeviceList();
    auto textOf = [&](const std::string& id) {
        const int row = RowOf(tree, id, false);
        return row < 0 ? std::string() : tree->NodeAt(row)->text;
    };
    WaitForSettledTree();
    const DeviceNode* rootBefore = Main()->DeviceRoot();
    ASSERT_TRUE(CamsimPost("kv100102", "offline"));
    EXPECT_TRUE(uitest::PumpUntil([&] { return textOf("kv100102") == std::string(RowMarkup::kCameraOfflineIcon) + "前台"; }, 10000));
    EXPECT_EQ(Main()->DeviceRoot(), rootBefore) << "going offline relabels without a rebuild";

    ASSERT_TRUE(CamsimPost("kv100102", "online"));
    EXPECT_TRUE(uitest::PumpUntil([&] { return textOf("kv100102") == std::string(RowMarkup::kCameraOnlineIcon) + "前台"; }, 10000));
    EXPECT_NE(Main()->DeviceRoot(), rootBefore) << "coming online rebuilds the tree";
}

TEST_F(ClientEndToEnd, NodeDoubleClickOpensItsOwnCamerasOnceReady)
{
    ASSERT_GE(PlayingCell("kv100101"), 0);
    ASSERT_TRUE(uitest::PumpUntil([] { return Main()->OpenAllReady(); }, 5000));
    ASSERT_TRUE(ActivateRow([](const DeviceNode* n) { return n->isGroup && n->label == "一楼大厅"; }));
    // Both cameras of the hall open; kv100101 a second time, in another cell.
    EXPECT_TRUE(uitest::PumpUntil(
        [] { return CellPlaying("kv100102") >= 0 && CellPlaying("kv100101", CellPlaying("kv100101")) >= 0; }, 20000));

    // A fourth camera for the picture of the main window.
    ASSERT_TRUE(ActivateCamera("kv100103"));
    EXPECT_TRUE(uitest::PumpUntil([] { return CellPlaying("kv100103") >= 0; }, 20000));
    uitest::Pump(1500);  // a few more frames, so the picture shows moving video
    EXPECT_TRUE(uitest::SaveScreenshot(*Main(), QString::fromStdString(ScreenshotDir() + "/main-window.png")));
}

TEST_F(ClientEndToEnd, DoubleClickOnAnOfflineCameraSaysSoAndDoesNothingElse)
{
    uitest::MsgTipRecorder boxes;
    ASSERT_TRUE(ActivateCamera("kv100104"));
    uitest::Pump(200);
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("摄像头不在线")});
    for (int i = 0; i < CvyrProDlg::kCellCount; ++i)
        EXPECT_NE(Main()->VideoWall()->Panel(i)->DeviceId(), "kv100104") << "cell " << i;
    EXPECT_EQ(StreamRequestMgr::Instance()->TakePending("kv100104"), 0) << "no play waits for it to come back";
}

// The main window runs modally without an owner, as start-up runs it: the capture notices it shows
// take clicks, lie in the video's corner (clear of the buttons below the wall) and not on each other.
TEST_F(ClientEndToEnd, CaptureNoticesOverTheModalMainWindowCloseAndStayClearOfItsButtons)
{
    Main()->CenterWindow();  // where start-up puts it: the screen's corner lies over its buttons
    uitest::Pump(100);
    const int cell = PlayingCell("kv100103");
    ASSERT_GE(cell, 0) << WallState();
    CPlayInnerWnd* inner = Main()->VideoWall()->Panel(cell)->Inner();
    auto notices = [] {
        std::vector<QWidget*> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "CSnapnotTipWnd" && w->isVisible())
                shown.push_back(w);
        return shown;
    };
    std::vector<QRect> placed;
    bool closed = false;
    uitest::RunModal(*Main(), [&] {
        for (int i = 0; i < 3; ++i) {
            ::PostMessage(inner->GetHWND(), WM_CELL_SNAPSHOT, 0, 0);
            if (!uitest::PumpUntil([&] { return notices().size() == static_cast<size_t>(i + 1); }, 10000))
                break;
            uitest::Pump(30);  // one snapshot name per millisecond: the next one is another file
        }
        for (QWidget* notice : notices())
            placed.push_back(notice->frameGeometry());
        uitest::SaveScreen(QString::fromStdString(ScreenshotDir() + "/notice-before-close.png"));
        if (!placed.empty()) {
            QWidget* first = notices().front();
            const QPointer<QWidget> alive(first);
            QWidget* cross = WindowOfNotice(first)->FindControl(QStringLiteral("close"))->GetWidget();
            QTest::mouseClick(first->windowHandle(), Qt::LeftButton, {}, cross->mapTo(first, cross->rect().center()));
            closed = uitest::PumpUntil([&] { return alive.isNull() || !alive->isVisible(); }, 3000);
            uitest::SaveScreen(QString::fromStdString(ScreenshotDir() + "/notice-after-close.png"));
        }
        for (QWidget* notice : notices())
            WindowOfNotice(notice)->Close(1);
        uitest::Pump(50);
        PostQuitMessage(0);
    });
    ResetQuit();
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_TRUE(closed) << "the × of a notice takes no click over the main window";
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(placed[i].intersects(placed[j])) << i << " lies on " << j;
    for (const char* name : {"IDC_BTN_SPLITSCREEN", "IDC_BTN_FULLSCREEN", "IDC_BTN_LOCKSCREEN"}) {
        QWidget* button = Main()->FindControl(QString::fromUtf8(name))->GetWidget();
        const QRect at(button->mapToGlobal(QPoint(0, 0)), button->size());
        for (const QRect& notice : placed)
            EXPECT_FALSE(notice.intersects(at)) << name << " is covered";
    }
}

// A window manager may make the window smaller than its layout needs: it grows back to its minimum,
// where every button stays inside the window.
TEST_F(ClientEndToEnd, MainWindowKeepsEveryControlAtItsMinimumSize)
{
    QWidget* window = Main()->GetWidget();
    const QSize before = window->size();
    window->windowHandle()->resize(640, 400);
    EXPECT_TRUE(uitest::PumpUntil([&] { return window->size() == window->minimumSize(); }, 3000))
        << window->width() << "x" << window->height();
    uitest::Pump(100);
    const QStringList clipped = uitest::ClippedControls(*Main());
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(' ').toStdString();
    EXPECT_TRUE(uitest::SaveScreenshot(*Main(), QString::fromStdString(ScreenshotDir() + "/main-minimum-size.png")));
    window->resize(before);
    uitest::Pump(100);
}

// A camera that names a local file as its stream: the cell refuses it and says the open failed.
TEST_F(ClientEndToEnd, CameraNamingALocalFileIsRefusedWithOpenFailed)
{
    // A video that plays, so that only refusing it keeps it off the screen.
    const std::string video = programDir_ + "local.flv";
    RunCommand("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=320x180:rate=12 -t 3 -c:v libx264 -y '" + video +
               "' 2>&1");
    ASSERT_TRUE(fs::exists(video));
    const std::string address = "file://" + video;
    // The client keeps the address a camera last answered with; the camera now answers this one.
    ASSERT_TRUE(CamsimPost("kv100105", "say", R"({"cmd":40,"err_num":0,"play_url":")" + address + R"("})"));
    ASSERT_TRUE(uitest::PumpUntil([&] {
        std::string url;
        return StreamRequestMgr::Instance()->GetPlayUrl("kv100105", url) && url == address;
    }, 5000));
    ASSERT_TRUE(ActivateCamera("kv100105"));
    CvyrProDlg* wall = Main()->VideoWall();
    auto refusedCell = [&]() -> CDlgPanel* {
        for (int i = 0; i < CvyrProDlg::kCellCount; ++i) {
            CDlgPanel* panel = wall->Panel(i);
            if (panel->DeviceId() == "kv100105" && panel->Inner() && panel->Inner()->TipText() == "打开失败")
                return panel;
        }
        return nullptr;
    };
    EXPECT_TRUE(uitest::PumpUntil([&] { return refusedCell() != nullptr; }, 10000)) << WallState();
    if (CDlgPanel* panel = refusedCell()) {
        EXPECT_EQ(panel->Inner()->PlayUrl(), address);
        EXPECT_EQ(panel->Inner()->Surface()->FramesPainted(), 0);
        EXPECT_FALSE(panel->IsBusy());
    }
}

// Every way out of the program (a termination signal, the close button, switch user) quits the main
// window's loop, and on the way out the recording in progress is finished: the file plays its length.
TEST_F(ClientEndToEnd, EveryWayOutFinishesTheRecordingInProgress)
{
    const int cell = PlayingCell("kv100103");
    ASSERT_GE(cell, 0) << WallState();
    CPlayInnerWnd* inner = Main()->VideoWall()->Panel(cell)->Inner();
    ProgramExit::Prepare();
    // The instance that switch user starts is this test program: it runs no test and ends.
    setenv("GTEST_FILTER", "-*", 1);
    const std::pair<const char*, std::function<void()>> waysOut[] = {
        {"SIGTERM", [] { kill(getpid(), SIGTERM); }},
        {"close button", [] { uitest::Click(Main()->FindControl(QStringLiteral("closebtn"))); }},
        {"switch user", [] { uitest::Click(Main()->FindControl(QStringLiteral("SwitchUserBtn"))); }},
    };
    for (const auto& [name, leave] : waysOut) {
        SCOPED_TRACE(name);
        inner->PostMessage(WM_CELL_RECORD_START);
        ASSERT_TRUE(uitest::PumpUntil([&] { return PlayerManager::Instance()->GetState(inner->PlayerId()) == 5; }));
        const std::string path = inner->RecordPath();
        uitest::Pump(3000);
        leave();
        EXPECT_TRUE(uitest::PumpUntil([] { return IsQuitPending(); }, 5000));
        ProgramExit::Finish();  // what main() runs once the main window's loop has ended
        ResetQuit();
        const double duration = ProbeDuration(path);
        std::printf("%s: a recording of 3 s plays %.2f s\n", name, duration);
        EXPECT_GE(duration, 2.8) << path;
        EXPECT_LE(duration, 4.5) << path;
        EXPECT_GT(ProbeDecodedFrames(path), 2 * 12);
        EXPECT_NE(PlayerManager::Instance()->GetState(inner->PlayerId()), 5) << "no longer recording";
        uitest::Pump(1100);  // the next recording gets a file name of its own (named by the second)
    }
    unsetenv("GTEST_FILTER");
}

TEST_F(ClientEndToEnd, FrameButtonsDriveTheWallAndActionsToComeSaySo)
{
    CDuiFrameWnd* main = Main();
    CvyrProDlg* wall = main->VideoWall();
    uitest::MsgTipRecorder boxes;

    // The split chooser opens above its button and sets the wall's layout.
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTN_SPLITSCREEN")));
    uitest::Pump(50);
    ASSERT_NE(main->SplitPopup(), nullptr);
    ASSERT_TRUE(::IsWindow(main->SplitPopup()->GetHWND()));
    uitest::Click(main->SplitPopup()->FindControl(QStringLiteral("btn9")));
    EXPECT_EQ(wall->LayoutCount(), 9);
    uitest::Click(main->SplitPopup()->FindControl(QStringLiteral("btn4")));
    EXPECT_EQ(wall->LayoutCount(), 4);
    // Activating the main window closes the chooser; the click that did it does not reopen it.
    main->SendMessage(WM_NCACTIVATE, TRUE, 0);
    uitest::Pump(50);
    EXPECT_FALSE(::IsWindow(main->SplitPopup()->GetHWND()));
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTN_SPLITSCREEN")));
    uitest::Pump(50);
    EXPECT_FALSE(::IsWindow(main->SplitPopup()->GetHWND()));
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTN_SPLITSCREEN")));
    uitest::Pump(50);
    EXPECT_TRUE(::IsWindow(main->SplitPopup()->GetHWND()));
    main->SplitPopup()->Close(0);
    uitest::Pump(50);

    // Full screen, and Escape in the main window leaves it. The selected cell's toolbar, shown
    // while the mouse is over the cell, spans the cell's bottom edge there too.
    const int cell = PlayingCell("kv100103");
    ASSERT_GE(cell, 0) << WallState();
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, cell);
    CPlayInnerWnd* inner = wall->Panel(cell)->Inner();
    ::SendMessage(inner->GetHWND(), WM_MOUSEHOVER, 0, 0);
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTN_FULLSCREEN")));
    EXPECT_TRUE(uitest::PumpUntil([&] { return wall->IsWallFullScreen(); }, 2000));
    uitest::Pump(300);
    const QWidget* picture = inner->GetWidget();
    EXPECT_EQ(inner->Toolbar()->GetWidget()->geometry(), QRect(0, picture->height() - 30, picture->width(), 30));
    EXPECT_TRUE(inner->Toolbar()->IsShown());
    main->ResponseDefaultKeyEvent(VK_ESCAPE);
    EXPECT_TRUE(uitest::PumpUntil([&] { return !wall->IsWallFullScreen(); }, 2000));

    // The lock: the next press on the window shows the lock screen (its checks are the accounts
    // suite's); the password of the log-in unlocks.
    boxes.texts.clear();
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTN_LOCKSCREEN")));
    EXPECT_TRUE(LocalConfig::Instance()->IsScreenLocked());
    QTimer::singleShot(300, [] {
        if (auto* lock = dynamic_cast<WindowImplBase*>(CWindowWnd::FromWidget(QApplication::activeModalWidget()))) {
            lock->FindControl(QStringLiteral("EditPassword"))->SetText(QString::fromUtf8(kPassword));
            uitest::Click(lock->FindControl(QStringLiteral("ButtonUnlock")));
        }
    });
    uitest::Click(main->FindControl(QStringLiteral("CameraName")));
    EXPECT_TRUE(uitest::PumpUntil([] { return !LocalConfig::Instance()->IsScreenLocked(); }, 3000));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
}

TEST_F(ClientEndToEnd, PanTiltZoomButtonsMoveTheCurrentCameraWhileHeld)
{
    CDuiFrameWnd* main = Main();
    ASSERT_TRUE(ActivateCamera("kv100101"));
    ASSERT_TRUE(MakeCurrent("kv100101"));
    uitest::Click(main->FindControl(QStringLiteral("Control")));
    ASSERT_TRUE(camsim_.Post("kv100101", "clear"));
    uitest::Find<CSliderUI>(*main, QStringLiteral("IDC_SLIDSPEED"))->SetValue(5);

    std::vector<std::string> expected;
    for (const PtzControl::Move& move : PtzControl::kMoves) {
        CControlUI* button = main->FindControl(QString::fromUtf8(move.buttonName));
        ASSERT_NE(button, nullptr) << move.buttonName;
        uitest::Press(button);
        uitest::Pump(30);
        uitest::Release(button);
        uitest::Pump(30);
        const std::string f = std::to_string(move.function);
        expected.push_back(R"({"cmd":25, "channel_id" : 0, "function" : )" + f + R"(, "control" : )" +
                           std::to_string(move.control) + R"(, "param" : 5})");
        expected.push_back(std::string(move.function == 7 ? "{" : "{ ") + R"("cmd":25, "channel_id" : 0, "function" : )" +
                           f + R"(, "control" : 0, "param" : 0})");
    }
    EXPECT_EQ(CameraGot("kv100101", expected.size()), expected);

    // The speed of a movement is the one of its press.
    CControlUI* up = main->FindControl(QStringLiteral("IDC_BTNUP"));
    uitest::Press(up);
    uitest::Pump(30);
    uitest::Find<CSliderUI>(*main, QStringLiteral("IDC_SLIDSPEED"))->SetValue(60);
    uitest::Release(up);
    EXPECT_EQ(CameraGot("kv100101", 2, expected.size() * 1 + 0),
              (std::vector<std::string>{R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 1, "param" : 5})",
                                        R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})"}));
}

TEST_F(ClientEndToEnd, AReleaseTheOfflineCameraMissedReachesItWhenItIsBack)
{
    CDuiFrameWnd* main = Main();
    ASSERT_TRUE(MakeCurrent("kv100101"));
    ASSERT_TRUE(camsim_.Post("kv100101", "clear"));
    uitest::Find<CSliderUI>(*main, QStringLiteral("IDC_SLIDSPEED"))->SetValue(20);
    CControlUI* right = main->FindControl(QStringLiteral("IDC_BTNRIGHT"));
    uitest::Press(right);
    ASSERT_EQ(CameraGot("kv100101", 1).size(), 1u);
    uitest::Pump(2500);  // the camera turns; its cells show the scene moving
    EXPECT_TRUE(uitest::SaveScreenshot(*main, QString::fromStdString(ScreenshotDir() + "/ptz-turning.png")));

    // The camera drops off while the button is held: the release cannot reach it now...
    ASSERT_TRUE(camsim_.Post("kv100101", "offline"));
    ASSERT_TRUE(uitest::PumpUntil([] { return !CIMClient::Instance()->IsOnline("kv100101"); }, 10000));
    uitest::Release(right);
    uitest::Pump(300);
    // ...and is the first thing it gets when it is back.
    ASSERT_TRUE(camsim_.Post("kv100101", "online"));
    const auto got = CameraGot("kv100101", 3);
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[1], R"({"cmd":25, "channel_id" : 0, "function" : 7, "control" : 0, "param" : 0})");
    EXPECT_EQ(std::count(got.begin(), got.end(), got[1]), 1);
    // The cells reopen the camera once it is back.
    EXPECT_TRUE(uitest::PumpUntil([] { return CellPlaying("kv100101") >= 0; }, 20000)) << WallState();
}

TEST_F(ClientEndToEnd, PresetsAreSetRecalledAndCruisedOnTheCamera)
{
    CDuiFrameWnd* main = Main();
    ASSERT_TRUE(MakeCurrent("kv100101"));
    auto* presets = uitest::Find<CComboUI>(*main, QStringLiteral("IDC_COMBO_POINT"));
    ASSERT_EQ(presets->GetCount(), 255);
    ASSERT_TRUE(camsim_.Post("kv100101", "clear"));
    // Each step waits for the camera: the direct and the queued paths do not keep order between them.
    // Only pan-tilt-zoom commands count: the online sequence of the camera, back from the previous
    // test, may still be arriving.
    size_t n = 0;
    auto step = [&](const char* button) {
        uitest::Click(main->FindControl(QString::fromUtf8(button)));
        const auto got = CameraGot("kv100101", ++n, 0, R"({"cmd":25,)");
        return got.size() >= n ? got[n - 1] : std::string("(nothing arrived)");
    };
    const std::string f8 = R"({"cmd":25, "channel_id" : 0, "function" : 8, )";
    EXPECT_EQ(step("IDC_BUTTON_ADDPOINT"), f8 + R"("control" : 1, "param" : 1})");
    uitest::ChooseComboItem(presets, 254);
    EXPECT_EQ(step("IDC_BUTTON_ADDPOINT"), f8 + R"("control" : 1, "param" : 255})");
    EXPECT_EQ(step("IDC_BUTTON_GETPOINT"), f8 + R"("control" : 3, "param" : 255})");
    EXPECT_EQ(step("IDC_BUTTON_DELPOINT"), f8 + R"("control" : 2, "param" : 255})");
    EXPECT_EQ(step("IDC_BUTTON_CRUISE"), f8 + R"("control" : 1, "param" : 41})");
    EXPECT_EQ(step("IDC_BUTTON_DELALLPOINT"), f8 + R"("control" : 1, "param" : 40})");
    EXPECT_TRUE(uitest::SaveScreenshot(*main, QString::fromStdString(ScreenshotDir() + "/ptz-page.png")));
}

TEST_F(ClientEndToEnd, ParameterPageShowsAndSavesTheCamerasValues)
{
    CDuiFrameWnd* main = Main();
    ASSERT_TRUE(MakeCurrent("kv100101"));
    uitest::Click(main->FindControl(QStringLiteral("Remote")));
    uitest::MsgTipRecorder boxes;
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTNREFLASH")));
    ASSERT_TRUE(uitest::PumpUntil([] { return Text("IDC_EDITCOM") == "RJ45" && !Text("IDC_EDIT_BITSTREAM").isEmpty() &&
                                              Text("IDC_EDIT_LIGHTNESS") == "50"; }, 10000));
    EXPECT_EQ(Text("IDC_EDITDEVTYPE"), "IPC");
    EXPECT_EQ(Text("IDC_EDITPVERSION"), "KV-SIM");
    EXPECT_EQ(Text("IDC_EDITVERSION"), "1.0.3");
    EXPECT_EQ(Text("IDC_EDIT_BITSTREAM"), "32");  // 256 / 8
    EXPECT_EQ(Text("IDC_CMBVSIZE"), "640X360");
    EXPECT_EQ(uitest::Find<CComboUI>(*main, QStringLiteral("IDC_CMBVSIZE"))->GetCount(), 3);
    EXPECT_EQ(Text("IDC_CMBQLY"), "30");
    EXPECT_EQ(Text("IDC_CMBFRATE"), "12");
    EXPECT_EQ(Text("IDC_EDIT_CONTRAST"), "50");
    EXPECT_EQ(Text("IDC_EDIT_DAYTIME"), "70");
    EXPECT_EQ(Text("IDC_EDIT_NIGTHTIME"), "30");
    EXPECT_FALSE(uitest::Find<CCheckBoxUI>(*main, QStringLiteral("IDC_CHKAUDIO"))->GetCheck());
    EXPECT_TRUE(uitest::SaveScreenshot(*main, QString::fromStdString(ScreenshotDir() + "/parameter-page.png")));

    // Save: the panel as the camera's new encoding values, then the audio choice.
    ASSERT_TRUE(camsim_.Post("kv100101", "clear"));
    main->FindControl(QStringLiteral("IDC_EDIT_BITSTREAM"))->SetText(QStringLiteral("64"));
    uitest::ChooseComboItem(uitest::Find<CComboUI>(*main, QStringLiteral("IDC_CMBFRATE")), 24);
    uitest::ChooseComboItem(uitest::Find<CComboUI>(*main, QStringLiteral("IDC_CMBQLY")), 6);
    uitest::Click(main->FindControl(QStringLiteral("IDC_CHKAUDIO")));
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTNSAVE")));
    const auto got = CameraGot("kv100101", 2);
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[0], R"({"cmd":13,"channel_id": 0,"bit_rate":512,"fps":25,"qos":28,"key_frame_interval":28,"height":360,"width":640})");
    EXPECT_EQ(got[1], R"({"channel_id": 0, "cmd":26,"status":0})");
    EXPECT_TRUE(uitest::PumpUntil([&] { return boxes.texts.contains(QStringLiteral("发送成功！")); }, 10000));

    // The next refresh shows what the camera kept.
    main->FindControl(QStringLiteral("IDC_EDIT_BITSTREAM"))->SetText(QString());
    uitest::Find<CCheckBoxUI>(*main, QStringLiteral("IDC_CHKAUDIO"))->SetCheck(false, false);
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTNREFLASH")));
    EXPECT_TRUE(uitest::PumpUntil([] { return Text("IDC_EDIT_BITSTREAM") == "64"; }, 10000));
    EXPECT_EQ(Text("IDC_CMBFRATE"), "25");
    EXPECT_EQ(Text("IDC_CMBQLY"), "28");
    EXPECT_TRUE(uitest::PumpUntil([] { return uitest::Find<CCheckBoxUI>(*Main(), QStringLiteral("IDC_CHKAUDIO"))->GetCheck(); }, 5000));
}

TEST_F(ClientEndToEnd, ACameraWithoutImageControlsHidesEveryImageRow)
{
    CDuiFrameWnd* main = Main();
    ASSERT_TRUE(camsim_.Post("kv100103", "fixed"));
    // The capabilities are asked for when the camera comes online.
    ASSERT_TRUE(camsim_.Post("kv100103", "offline"));
    uitest::Pump(300);
    ASSERT_TRUE(camsim_.Post("kv100103", "online"));
    ASSERT_TRUE(ActivateCamera("kv100103"));
    CameraGot("kv100103", 1);
    uitest::Pump(1500);
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTNREFLASH")));
    const char* rows[] = {"lightnessLayout", "contrastLayout", "saturationLayout", "daytimeLayout", "nighttimeLayout"};
    EXPECT_TRUE(uitest::PumpUntil(
        [&] {
            for (const char* row : rows)
                if (Main()->FindControl(QString::fromUtf8(row))->IsVisible())
                    return false;
            return true;
        },
        10000));
    EXPECT_TRUE(uitest::PumpUntil([] { return Text("IDC_EDITCOM") == "RJ45"; }, 10000));
    ASSERT_TRUE(camsim_.Post("kv100103", "adjustable"));
}

TEST_F(ClientEndToEnd, FailedVideoParameterReadIsReported)
{
    ASSERT_TRUE(MakeCurrent("kv100103"));
    uitest::MsgTipRecorder boxes;
    ASSERT_TRUE(camsim_.Post("kv100103", "refuse?cmd=12"));
    uitest::Click(Main()->FindControl(QStringLiteral("IDC_BTNREFLASH")));
    EXPECT_TRUE(uitest::PumpUntil([&] { return boxes.texts.contains(QStringLiteral("视频参数获取错误！")); }, 10000))
        << boxes.texts.join('|').toStdString();
    ASSERT_TRUE(camsim_.Post("kv100103", "accept?cmd=12"));
}

TEST_F(ClientEndToEnd, QualitySwitchRestartsTheCamerasCellsAtTheNewSize)
{
    CDuiFrameWnd* main = Main();
    CvyrProDlg* wall = main->VideoWall();
    uitest::MsgTipRecorder boxes;  // the save's "发送成功！"
    ASSERT_TRUE(ActivateCamera("kv100102"));
    ASSERT_TRUE(uitest::PumpUntil([] { return CellPlaying("kv100102") >= 0; }, 20000)) << WallState();
    CPlayInnerWnd* inner = wall->Panel(CellPlaying("kv100102"))->Inner();
    ASSERT_EQ(inner->VideoWidth(), 640);

    // Saving another size stops the cells and restarts them once the camera took it.
    uitest::Click(main->FindControl(QStringLiteral("Remote")));
    // The panel still shows the previous test's camera: wait for this camera's values, not for those.
    main->FindControl(QStringLiteral("IDC_EDIT_BITSTREAM"))->SetText(QString());
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTNREFLASH")));
    ASSERT_TRUE(uitest::PumpUntil([] { return !Text("IDC_EDIT_BITSTREAM").isEmpty(); }, 10000));
    ASSERT_EQ(Text("IDC_CMBVSIZE"), "640X360");
    uitest::ChooseComboItem(uitest::Find<CComboUI>(*main, QStringLiteral("IDC_CMBVSIZE")), 2);
    ASSERT_EQ(Text("IDC_CMBVSIZE"), "320X180");
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTNSAVE")));
    EXPECT_TRUE(uitest::PumpUntil([&] { return inner->VideoWidth() == 320 && CellPlaying("kv100102") >= 0; }, 20000))
        << inner->VideoWidth();

    // The quality chooser's choice reaches the cell as it does from the chooser: to 640.
    ASSERT_TRUE(camsim_.Post("kv100102", "clear"));
    // The stop lasts only until the camera's answer, which may be handled in the same pass of the loop.
    uitest::StateWatch stopped([&] { return !inner->IsBusy() || inner->VideoWidth() == 0; });
    ::PostMessage(inner->GetHWND(), WM_SWITCH_STREAM, 640, 360);
    const auto got = CameraGot("kv100102", 1);
    ASSERT_FALSE(got.empty());
    // The camera's stored values (the save above made the key frame interval its quality) at 640x360.
    EXPECT_EQ(got[0], R"({"cmd":13,"channel_id": 0,"bit_rate":256,"fps":12,"qos":30,"key_frame_interval":30,"height":360,"width":640})");
    EXPECT_TRUE(uitest::PumpUntil([&] { return inner->VideoWidth() == 640 && CellPlaying("kv100102") >= 0; }, 20000))
        << inner->VideoWidth();
    EXPECT_TRUE(stopped.Seen()) << "the camera's cells stop first";
}

TEST_F(ClientEndToEnd, AnotherCamerasAnswerLeavesTheParameterPageToTheShownCamera)
{
    CDuiFrameWnd* main = Main();
    CvyrProDlg* wall = main->VideoWall();
    if (CellPlaying("kv100102") < 0) {
        ASSERT_TRUE(ActivateCamera("kv100102"));
    }
    ASSERT_TRUE(uitest::PumpUntil([] { return CellPlaying("kv100102") >= 0; }, 20000)) << WallState();
    CPlayInnerWnd* other = wall->Panel(CellPlaying("kv100102"))->Inner();
    ASSERT_TRUE(uitest::PumpUntil([&] { return other->VideoWidth() > 0; }, 20000));
    const int otherWidth = other->VideoWidth();
    const int newWidth = otherWidth == 320 ? 640 : 320;

    // The page shows kv100101, the current camera.
    ASSERT_TRUE(ActivateCamera("kv100101"));
    ASSERT_TRUE(MakeCurrent("kv100101"));
    uitest::Click(main->FindControl(QStringLiteral("Remote")));
    main->FindControl(QStringLiteral("IDC_EDIT_BITSTREAM"))->SetText(QString());
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTNREFLASH")));
    ASSERT_TRUE(uitest::PumpUntil([] { return !Text("IDC_EDIT_BITSTREAM").isEmpty(); }, 10000));
    EncodeParams shown;
    ASSERT_EQ(CamParamMgr::Instance()->GetVideoParam("kv100101", shown), 0);
    const QString shownSize = Text("IDC_CMBVSIZE"), shownBitRate = Text("IDC_EDIT_BITSTREAM");
    ASSERT_EQ(shownSize, QString::number(shown.width) + "X" + QString::number(shown.height));
    ASSERT_NE(shown.width, newWidth);

    // The other camera's quality switch: its new values come back and are stored for it only.
    ::PostMessage(other->GetHWND(), WM_SWITCH_STREAM, static_cast<WPARAM>(newWidth), 0);
    EncodeParams switched;
    ASSERT_TRUE(uitest::PumpUntil([&] {
        return CamParamMgr::Instance()->GetVideoParam("kv100102", switched) == 0 && switched.width == newWidth;
    }, 20000));
    uitest::Pump(200);
    EXPECT_EQ(Text("IDC_CMBVSIZE"), shownSize);
    EXPECT_EQ(Text("IDC_EDIT_BITSTREAM"), shownBitRate);

    // Save sends the shown camera its own values, and its cells keep playing.
    ASSERT_TRUE(camsim_.Post("kv100101", "clear"));
    uitest::MsgTipRecorder boxes;  // the save's "发送成功！"
    uitest::Click(main->FindControl(QStringLiteral("IDC_BTNSAVE")));
    const auto got = CameraGot("kv100101", 1);
    ASSERT_FALSE(got.empty());
    const std::string bitRate = std::to_string(shownBitRate.toInt() * 8), qos = Text("IDC_CMBQLY").toStdString();
    EXPECT_EQ(got[0], R"({"cmd":13,"channel_id": 0,"bit_rate":)" + bitRate + R"(,"fps":)" +
                          Text("IDC_CMBFRATE").toStdString() + R"(,"qos":)" + qos + R"(,"key_frame_interval":)" + qos +
                          R"(,"height":)" + std::to_string(shown.height) + R"(,"width":)" + std::to_string(shown.width) + "}");
    EXPECT_FALSE(StreamRequestMgr::Instance()->GetRestart("kv100101"));
    EXPECT_TRUE(uitest::PumpUntil([&] { return boxes.texts.contains(QStringLiteral("发送成功！")); }, 10000));
    EXPECT_TRUE(uitest::PumpUntil([&] { return other->VideoWidth() == newWidth && CellPlaying("kv100102") >= 0; }, 20000))
        << other->VideoWidth();
}

TEST_F(ClientEndToEnd, CameraPagesSayWhenNoCameraIsChosenOrItIsOffline)
{
    CDuiFrameWnd* main = Main();
    uitest::MsgTipRecorder boxes;
    const QString none = QStringLiteral("请先选定摄像头"), offline = QStringLiteral("摄像头不在线");
    CControlUI* up = main->FindControl(QStringLiteral("IDC_BTNUP"));
    auto everyKind = [&] {  // refresh, save, a held move and a preset of each path
        uitest::Click(main->FindControl(QStringLiteral("Remote")));
        uitest::Click(main->FindControl(QStringLiteral("IDC_BTNREFLASH")));
        uitest::Click(main->FindControl(QStringLiteral("IDC_BTNSAVE")));
        uitest::Click(main->FindControl(QStringLiteral("Control")));
        uitest::Press(up);
        uitest::Pump(300);
        uitest::Release(up);
        uitest::Pump(100);
        uitest::Click(main->FindControl(QStringLiteral("IDC_BUTTON_GETPOINT")));
        uitest::Click(main->FindControl(QStringLiteral("IDC_BUTTON_CRUISE")));
    };

    // The account's row chooses no camera.
    main->DeviceList()->EnsureVisible(0);
    uitest::ClickRow(main->DeviceList(), 0);
    ASSERT_EQ(main->CurDeviceId(), "");
    everyKind();
    EXPECT_EQ(boxes.texts, (QStringList{none, QStringLiteral("没有选中摄像机"), none, none, none}));

    // An offline camera chosen by a double click (which says so itself).
    const std::string away = kOfflineCameras.front();
    ASSERT_FALSE(CIMClient::Instance()->IsOnline(away));
    ASSERT_TRUE(ActivateCamera(away));
    ASSERT_EQ(main->CurDeviceId(), away);
    boxes.texts.clear();
    everyKind();
    EXPECT_EQ(boxes.texts, (QStringList{offline, offline, offline, offline, offline}));

    // One of those boxes as the user sees it.
    const MsgTipHook recorder = SetMsgTipHook({});
    auto shot = std::make_shared<bool>(false);  // the timer may outlive a test that saw no box
    QTimer::singleShot(300, [shot] {
        if (auto* box = dynamic_cast<CWindowWnd*>(CWindowWnd::FromWidget(QApplication::activeModalWidget()))) {
            *shot = uitest::SaveScreenshot(*box, QString::fromStdString(ScreenshotDir() + "/camera-offline-box.png"));
            box->Close(IDOK);
        }
    });
    uitest::Click(main->FindControl(QStringLiteral("IDC_BUTTON_GETPOINT")));
    SetMsgTipHook(recorder);
    EXPECT_TRUE(*shot);

    // Nothing was kept for it: back online, it gets its online sequence and no pan-tilt-zoom command.
    ASSERT_TRUE(camsim_.Post(away, "online"));
    ASSERT_TRUE(uitest::PumpUntil([&] { return CIMClient::Instance()->IsOnline(away); }, 10000));
    EXPECT_TRUE(CameraGot(away, 1, 0, R"({"cmd":25,)").empty());
    ASSERT_TRUE(camsim_.Post(away, "offline"));
    ASSERT_TRUE(uitest::PumpUntil([&] { return !CIMClient::Instance()->IsOnline(away); }, 10000));
}

TEST_F(ClientEndToEnd, RefusedLogInShowsTheServicesMessage)
{
    // The previous instance "switched user": no automatic log-in this time, the fields are filled.
    RememberedAccounts(CLoginFrameWnd::AccountFilePath()).SetUserSwitched(true);
    uitest::MsgTipRecorder boxes;
    CLoginFrameWnd login;
    login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
    login.CenterWindow();
    login.ShowWindow(true);
    uitest::Pump(100);
    auto* account = login.FindControl(QStringLiteral("EditAccount"));
    auto* password = login.FindControl(QStringLiteral("EditPassword"));
    auto* autoLog = uitest::Find<CCheckBoxUI>(login, QStringLiteral("chbAutoLog"));
    ASSERT_TRUE(account && password && autoLog);
    EXPECT_EQ(account->GetText(), kAccount);
    EXPECT_EQ(password->GetText(), kPassword);
    EXPECT_FALSE(autoLog->GetCheck());
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_TRUE(uitest::SaveScreenshot(login, QString::fromStdString(ScreenshotDir() + "/login-window.png")));

    password->SetText(QString());
    uitest::Type(password, QStringLiteral("wrong-password"));
    uitest::Click(login.FindControl(QStringLiteral("ButtonLogin")));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts.front(), QStringLiteral("密码错误，请重新输入"));
    login.DestroyWindow();
}

TEST_F(ClientEndToEnd, SubAccountRightsAreLoadedBeforeTheWindowCloses)
{
    RememberedAccounts(CLoginFrameWnd::AccountFilePath()).SetUserSwitched(true);
    uitest::MsgTipRecorder boxes;
    CLoginFrameWnd login;
    login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
    login.FindControl(QStringLiteral("EditAccount"))->SetText(QStringLiteral("13900139000"));
    login.FindControl(QStringLiteral("EditPassword"))->SetText(QStringLiteral("kelvue456"));
    const UINT result =
        uitest::RunModal(login, [&] { uitest::Click(login.FindControl(QStringLiteral("ButtonLogin"))); });
    EXPECT_EQ(result, CLoginFrameWnd::kLoggedIn) << boxes.texts.join('|').toStdString();
    UserSession* session = UserSession::Instance();
    EXPECT_TRUE(session->IsSonAccount());
    // The duty role may steer cameras (2016031502) but not take snapshots (2016031506).
    EXPECT_TRUE(session->HasRight("2016031502"));
    EXPECT_FALSE(session->HasRight("2016031506"));
}

TEST_F(ClientEndToEnd, UnreachableServiceShowsConnectionFailure)
{
    // Stop cloudsim of the fixture, and start it again afterwards with the same command line.
    const std::string run = KELVUE_PEERS_RUN_DIR;
    std::ifstream pidFile(run + "/cloudsim.pid");
    pid_t pid = 0;
    ASSERT_TRUE(pidFile >> pid) << "no cloudsim pid in " << run;
    std::ifstream cmdlineFile("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string cmdline((std::istreambuf_iterator<char>(cmdlineFile)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(cmdline.empty());
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));

    RememberedAccounts(CLoginFrameWnd::AccountFilePath()).SetUserSwitched(true);
    uitest::MsgTipRecorder boxes;
    CLoginFrameWnd login;
    login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
    login.ShowWindow(true);
    uitest::Click(login.FindControl(QStringLiteral("ButtonLogin")));
    login.DestroyWindow();

    // Bring cloudsim back for the suites after this one, as peers.sh runs it.
    std::string command = "setsid";
    for (size_t start = 0; start < cmdline.size();) {
        const size_t end = cmdline.find('\0', start);
        command += " '" + cmdline.substr(start, end - start) + "'";
        start = end + 1;
    }
    command += " >> '" + run + "/cloudsim.log' 2>&1 < /dev/null & echo $! > '" + run + "/cloudsim.pid'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    httplib::Client probe("127.0.0.1", 8000);
    bool back = false;
    for (int i = 0; i < 100 && !back; ++i) {
        back = static_cast<bool>(probe.Get("/"));
        if (!back)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(back) << "cloudsim did not come back";

    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts.front(), QStringLiteral("连接总控服务器失败"));
}

}  // namespace
