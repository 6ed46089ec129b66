#include "WallEnvironment.h"

#include "device/CommandSink.h"
#include "device/StreamRequestMgr.h"
#include "ui/CWindowWnd.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerManager.h"
#include "video/PlayerSlot.h"
#include "video/WallLayout.h"
#include "support/FileSizeLimit.h"
#include "video/FileManager.h"
#include "ui/CContainerUI.h"
#include "ui/CMenuElementUI.h"
#include "ui/CMenuWnd.h"
#include "ui/COptionUI.h"
#include "ui/ShowMsgTip.h"
#include "ui/WindowImplBase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <set>
#include <thread>

using namespace walltest;

namespace {

constexpr const char* kLoading = "视频加载中，请稍等!!";

class WallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LocalConfig::Instance()->SetScreenLocked(false);
        wall = std::make_unique<CvyrProDlg>();
        wall->SetMainWindow(main.GetHWND());
        wall->resize(800, 450);
        wall->show();
        Pump(20);
    }
    void TearDown() override
    {
        wall->StopAll();
        wall.reset();
        Pump(20);
    }

    std::string Url(const std::string& id, int width = 320, int height = 180)
    {
        WallEnvironment::server->SetLiveSize(id, width, height);
        return WallEnvironment::server->LiveUrl(id);
    }
    CPlayInnerWnd* Inner(int cell) const { return wall->Panel(cell)->Inner(); }
    bool Busy(int cell) const { return wall->Panel(cell)->IsBusy(); }
    int State(int cell) const { return PlayerManager::Instance()->GetState(Inner(cell)->PlayerId()); }
    bool WaitPlaying(int cell, int timeoutMs = 10000)
    {
        return PumpUntil([&] { return State(cell) == 2 && Inner(cell)->Surface()->FramesPresented() > 0; }, timeoutMs);
    }
    // Milliseconds of the cell's stream decoded so far.
    std::int64_t Decoded(int cell) const
    {
        return PlayerManager::Instance()->FindSlot(Inner(cell)->PlayerId())->player->GetPosition();
    }
    // Once its hiding has settled, the cell draws and decodes nothing more and stays busy (its player
    // playing, its stream open or, after a while, closed until the cell is shown).
    void ExpectIdleWhileHidden(int cell)
    {
        Pump(600);
        const int presented = Inner(cell)->Surface()->FramesPresented();
        const std::int64_t decoded = Decoded(cell);
        Pump(1500);
        EXPECT_EQ(presented, Inner(cell)->Surface()->FramesPresented()) << "cell " << cell << " drew while hidden";
        EXPECT_EQ(decoded, Decoded(cell)) << "cell " << cell << " decoded while hidden";
        EXPECT_TRUE(Busy(cell));
    }
    // The cell draws new frames (shown again: within the second its key frame takes).
    void ExpectDrawing(int cell)
    {
        const int presented = Inner(cell)->Surface()->FramesPresented();
        EXPECT_TRUE(PumpUntil([&] { return Inner(cell)->Surface()->FramesPresented() >= presented + 3; }))
            << "cell " << cell << " draws no more";
    }
    std::set<int> VisibleCells() const
    {
        std::set<int> cells;
        for (int i = 0; i < CvyrProDlg::kCellCount; ++i)
            if (wall->Panel(i)->isVisibleTo(wall.get()))
                cells.insert(i);
        return cells;
    }

    MainWindowStub main;
    std::unique_ptr<CvyrProDlg> wall;
};

class RecordingSink : public CommandSink {
public:
    void PostCmd(const std::string& deviceId, const std::string& text) override { sent.emplace_back(deviceId, text); }
    std::vector<std::pair<std::string, std::string>> sent;
};

}  // namespace

TEST_F(WallTest, OpenedCameraDrawsFramesInItsCell)
{
    wall->OpenCamera("cam-draw", Url("cam-draw"));
    EXPECT_TRUE(Busy(0));
    EXPECT_EQ("cam-draw", wall->Panel(0)->DeviceId());
    EXPECT_EQ(QString(kLoading), Inner(0)->TipText());
    ASSERT_TRUE(WaitPlaying(0));
    VideoSurface* surface = Inner(0)->Surface();
    ASSERT_TRUE(PumpUntil([&] { return surface->FramesPainted() >= 3; }));
    EXPECT_EQ(surface->size(), surface->LastFrameSize()) << "frames are scaled to the cell by the player";
    EXPECT_EQ(320, Inner(0)->VideoWidth());
    EXPECT_EQ(QString(kLoading), Inner(0)->TipText()) << "the picture covers the tip; its text stays";
    EXPECT_FALSE(Busy(1));
}

TEST_F(WallTest, SelectedCellFirstThenFirstFreeCell)
{
    wall->OpenCamera("a", Url("a"));
    wall->OpenCamera("b", Url("b"));
    EXPECT_EQ("a", wall->Panel(0)->DeviceId());
    EXPECT_EQ("b", wall->Panel(1)->DeviceId());

    ::PostMessage(wall->Panel(5)->GetHWND(), WM_LBUTTONDOWN, 0, 0);  // a click on cell 5
    ASSERT_TRUE(PumpUntil([&] { return wall->SelectedCell() == 5; }));
    EXPECT_TRUE(wall->Panel(5)->IsSelected());
    EXPECT_EQ(1, main.Count(WM_CELL_SELECTED));
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, 5);
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, -1);
    Pump(20);
    EXPECT_EQ(1, main.Count(WM_CELL_SELECTED)) << "reselecting or a negative index changes nothing";

    wall->OpenCamera("c", Url("c"));
    EXPECT_EQ("c", wall->Panel(5)->DeviceId());
    wall->OpenCamera("d", Url("d"));
    EXPECT_EQ("d", wall->Panel(2)->DeviceId()) << "selected cell busy: first free cell";

    ::PostMessage(wall->Panel(1)->GetHWND(), WM_LBUTTONDOWN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return wall->SelectedCell() == 1; }));
    EXPECT_FALSE(wall->Panel(5)->IsSelected());
    EXPECT_EQ("b", LocalConfig::Instance()->GetCurrentCameraText());

    // Another camera made current elsewhere (a click in the device tree): a click on the selected
    // cell makes its camera the current one again, the selection staying as it is.
    const int announced = main.Count(WM_CELL_SELECTED);
    LocalConfig::Instance()->SetCurrentCameraText("a");
    ::PostMessage(wall->Panel(1)->GetHWND(), WM_LBUTTONDOWN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return main.Count(WM_CELL_SELECTED) == announced + 1; }));
    EXPECT_EQ("b", LocalConfig::Instance()->GetCurrentCameraText());
    EXPECT_EQ(1, wall->SelectedCell());
}

TEST_F(WallTest, TwoRequestsBeforeTheAddressArriveOpenTwoCells)
{
    RecordingSink sink;
    StreamRequestMgr streams(sink);
    streams.ReqPlayUrl("twice", true);
    streams.ReqPlayUrl("twice", true);
    ASSERT_EQ(2u, sink.sent.size());
    // The camera's cmd 40 reply: the address is cached and the waiting cells open.
    streams.SetPlayUrl("twice", Url("twice"));
    std::string url;
    ASSERT_TRUE(streams.GetPlayUrl("twice", url));
    const int waiting = streams.TakePending("twice");
    EXPECT_EQ(2, waiting);
    for (int i = 0; i < waiting; ++i)
        wall->OpenCamera("twice", url);
    EXPECT_EQ("twice", wall->Panel(0)->DeviceId());
    EXPECT_EQ("twice", wall->Panel(1)->DeviceId());
    EXPECT_TRUE(Busy(0) && Busy(1));
    EXPECT_TRUE(WaitPlaying(0) && WaitPlaying(1));
}

TEST_F(WallTest, AnOpenedStreamWaitingForItsEventKeepsItsCell)
{
    wall->OpenCamera("first", Url("first"));
    // The UI thread is busy: the stream opens in the player, but the cell has not handled the event yet.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    wall->OpenCamera("second", Url("second"));
    EXPECT_EQ("first", wall->Panel(0)->DeviceId());
    EXPECT_EQ("second", wall->Panel(1)->DeviceId());
    ASSERT_TRUE(WaitPlaying(0) && WaitPlaying(1));
    EXPECT_EQ(Url("first"), Inner(0)->PlayUrl());
}

TEST_F(WallTest, OpenCamerasFillsFreeCellsInOrderOneByOne)
{
    wall->OpenCamera("held", Url("held"));
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, 0);
    wall->OpenCameras({{"x", Url("x")}, {"y", Url("y")}, {"z", Url("z")}});
    EXPECT_FALSE(Busy(1)) << "the first camera waits for the spacing";
    ASSERT_TRUE(PumpUntil([&] { return !wall->HasQueuedOpens(); }, 5000));
    EXPECT_EQ("held", wall->Panel(0)->DeviceId());
    EXPECT_EQ("x", wall->Panel(1)->DeviceId());
    EXPECT_EQ("y", wall->Panel(2)->DeviceId());
    EXPECT_EQ("z", wall->Panel(3)->DeviceId());
    EXPECT_FALSE(Busy(4));
}

TEST_F(WallTest, EveryLayoutMessageArrangesTheCells)
{
    wall->resize(1002, 602);
    Pump(20);
    const std::pair<UINT, int> layouts[] = {
        {WM_LAYOUT_1, 1},   {WM_LAYOUT_4, 4},   {WM_LAYOUT_6, 6},   {WM_LAYOUT_8, 8},
        {WM_LAYOUT_9, 9},   {WM_LAYOUT_14, 14}, {WM_LAYOUT_16, 16}, {WM_LAYOUT_17, 17},
        {WM_LAYOUT_25, 25}, {WM_LAYOUT_36, 36}, {WM_LAYOUT_49, 49}, {WM_LAYOUT_64, 64},
    };
    for (const auto& [message, count] : layouts) {
        ::SendMessage(wall->GetHWND(), message, 0, 0);
        EXPECT_EQ(count, wall->LayoutCount());
        const auto expected = WallLayout::Arrange(count, -1, 1002, 602);
        ASSERT_EQ(expected.size(), VisibleCells().size()) << count;
        for (const CellRect& cell : expected)
            EXPECT_EQ(QRect(cell.x, cell.y, cell.width, cell.height), wall->Panel(cell.cell)->geometry())
                << count << " cell " << cell.cell;
    }
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_6, 0, 0);
    EXPECT_EQ(QRect(0, 0, 668, 400), wall->Panel(0)->geometry());
    EXPECT_EQ(QRect(668, 400, 334, 202), wall->Panel(5)->geometry());
    wall->resize(1000, 600);
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_9, 0, 0);
    EXPECT_EQ(334, wall->Panel(2)->width());
    EXPECT_EQ(1002, wall->Panel(2)->geometry().right() + 1) << "the third column ends two pixels past the edge";
    // The inner play window lies two pixels inside its panel.
    EXPECT_EQ(QRect(2, 2, 330, wall->Panel(2)->height() - 4), Inner(2)->GetWidget()->geometry());
}

TEST_F(WallTest, SeventeenThenMaximiseThenRestore)
{
    ::SendMessage(wall->GetHWND(), WM_MAXIMIZE_CELL, 0, 0);
    EXPECT_EQ(4, wall->LayoutCount()) << "no selected cell: ignored";
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_17, 0, 0);
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, 3);
    ::SendMessage(wall->GetHWND(), WM_MAXIMIZE_CELL, 0, 0);
    EXPECT_EQ(0, wall->LayoutCount());
    EXPECT_EQ(std::set<int>{3}, VisibleCells());
    EXPECT_EQ(wall->rect(), wall->Panel(3)->geometry());
    ASSERT_TRUE(PumpUntil([&] { return Inner(3)->Toolbar()->IsShown(); })) << "the lone cell shows its toolbar";
    ::SendMessage(wall->GetHWND(), WM_RESTORE_LAYOUT, 0, 0);
    EXPECT_EQ(17, wall->LayoutCount());
    EXPECT_EQ(17u, VisibleCells().size());
}

// A cell outside the layout stays playing but decodes and draws nothing, and soon closes its
// connection; shown, it draws again.
TEST_F(WallTest, HiddenCellsKeepPlayingAcrossLayouts)
{
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, 9);
    wall->OpenCamera("hidden", Url("hidden"));
    EXPECT_FALSE(wall->Panel(9)->isVisibleTo(wall.get()));
    ASSERT_TRUE(PumpUntil([&] { return State(9) == 2; }));
    Pump(1000);
    EXPECT_EQ(0, Inner(9)->Surface()->FramesPresented()) << "a hidden cell draws nothing";
    EXPECT_EQ(0, Decoded(9)) << "nor decodes";
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_16, 0, 0);
    EXPECT_TRUE(wall->Panel(9)->isVisibleTo(wall.get()));
    ASSERT_TRUE(WaitPlaying(9));
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_1, 0, 0);
    EXPECT_TRUE(Busy(9));
    ExpectIdleWhileHidden(9);
    EXPECT_TRUE(PumpUntil([] { return WallEnvironment::server->LiveViewerCount("hidden") == 0; }));
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_16, 0, 0);
    ExpectDrawing(9);
    EXPECT_EQ(2, State(9));
}

// Behind another cell's full screen (the main window hides) and in a minimised main window, cells
// decode nothing; back on the screen they draw again, and the full-screen cell never stops.
TEST_F(WallTest, CellsBehindAFullScreenCellOrAMinimisedWindowDecodeNothing)
{
    wall->OpenCamera("front", Url("front"));
    wall->OpenCamera("behind", Url("behind"));
    ASSERT_TRUE(WaitPlaying(0));
    ASSERT_TRUE(WaitPlaying(1));
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, 0);
    ::PostMessage(wall->Panel(0)->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
    ::PostMessage(wall->Panel(0)->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return wall->Panel(0)->FullScreenState() == 2; }));
    ExpectIdleWhileHidden(1);
    ExpectDrawing(0);
    ::PostMessage(wall->Panel(0)->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return wall->LayoutCount() == 4; }));
    ExpectDrawing(1);

    wall->showMinimized();
    ASSERT_TRUE(PumpUntil([&] { return wall->isMinimized(); }));
    ExpectIdleWhileHidden(0);
    ExpectIdleWhileHidden(1);
    wall->showNormal();
    ExpectDrawing(0);
    ExpectDrawing(1);
}

// A recording cell hidden by the layout goes on writing its file.
TEST_F(WallTest, HiddenRecordingCellStillWritesItsFile)
{
    FileManager::SetLauncher([](const std::string&) {});
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, 1);
    wall->OpenCamera("hidden-record", Url("hidden-record"));
    ASSERT_TRUE(WaitPlaying(1));
    ::PostMessage(Inner(1)->GetHWND(), WM_CELL_RECORD_START, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return State(1) == 5; }));
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_1, 0, 0);
    ExpectIdleWhileHidden(1);
    const std::string record = Inner(1)->RecordPath();
    const auto written = std::filesystem::file_size(record);
    Pump(1500);
    EXPECT_GT(std::filesystem::file_size(record), written + 2000) << "packets still reach the file";
    EXPECT_EQ(5, State(1));
    ::PostMessage(Inner(1)->GetHWND(), WM_CELL_RECORD_STOP, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return State(1) == 2; }));
    CloseAll("CRecrodTipWnd");
}

// Cells are built when a layout, a camera or a caller first needs one: a new wall has none, the
// default layout builds its four (also ahead of showing, for a caller that waits anyway), a larger
// layout and a node fill past the layout build theirs, and looking for cameras builds nothing.
TEST_F(WallTest, CellsAreBuiltWhenFirstNeeded)
{
    const auto built = [](const CvyrProDlg& w) { return w.findChildren<CDlgPanel*>(Qt::FindDirectChildrenOnly).size(); };
    CvyrProDlg fresh;
    EXPECT_EQ(0, built(fresh));
    fresh.BuildLayoutCells();
    EXPECT_EQ(4, built(fresh));
    EXPECT_FALSE(fresh.Panel(0)->isVisibleTo(&fresh)) << "built ahead, shown by the layout";
    fresh.StopAll();
    fresh.StopNode("node");
    fresh.SuspendCamera("none");
    fresh.ResumeCamera("none");
    fresh.OfferAddress("none", "http://127.0.0.1:1/none.flv");
    EXPECT_EQ(4, built(fresh));

    EXPECT_EQ(4, built(*wall));
    EXPECT_EQ(std::set<int>({0, 1, 2, 3}), VisibleCells());  // builds the rest, hidden
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_16, 0, 0);
    EXPECT_EQ(16u, VisibleCells().size());
    EXPECT_EQ("", wall->Panel(40)->DeviceId());
    EXPECT_FALSE(wall->Panel(40)->IsBusy());
    EXPECT_EQ(wall.get(), wall->Panel(40)->Wall());

    CvyrProDlg filled;
    filled.resize(400, 300);
    filled.show();
    std::vector<CameraAddress> cameras;
    for (int i = 0; i < 6; ++i)
        cameras.push_back({"fill" + std::to_string(i), Url("fill" + std::to_string(i))});
    filled.OpenCameras(cameras);
    ASSERT_TRUE(PumpUntil([&] { return !filled.HasQueuedOpens(); }));
    EXPECT_EQ(6, built(filled)) << "the fill's fifth and sixth camera go to cells past the layout";
    EXPECT_EQ("fill5", filled.Panel(5)->DeviceId());
    EXPECT_FALSE(filled.Panel(5)->isVisibleTo(&filled));
    filled.StopAll();
}

TEST_F(WallTest, SuspendAndResumeComeInPairs)
{
    const std::string url = Url("pair");
    wall->OpenCamera("pair", url);
    wall->OpenCamera("pair", url);
    wall->OpenCamera("other", Url("other"));
    ASSERT_TRUE(WaitPlaying(0) && WaitPlaying(1));

    wall->ResumeCamera("pair");  // never suspended: nothing happens
    EXPECT_FALSE(wall->Panel(0)->IsSuspended());
    wall->SuspendCamera("pair");
    for (int cell : {0, 1}) {
        EXPECT_TRUE(wall->Panel(cell)->IsSuspended());
        EXPECT_FALSE(Busy(cell));
        EXPECT_EQ(QString("停止"), Inner(cell)->TipText());
    }
    EXPECT_TRUE(Busy(2));
    wall->Panel(0)->Suspend();  // already suspended: nothing more
    wall->ResumeCamera("pair");
    for (int cell : {0, 1}) {
        EXPECT_FALSE(wall->Panel(cell)->IsSuspended());
        EXPECT_TRUE(Busy(cell));
        EXPECT_EQ(url, Inner(cell)->PlayUrl()) << "resumed with the address it had";
    }
    EXPECT_TRUE(WaitPlaying(0) && WaitPlaying(1));
}

TEST_F(WallTest, StopNodeAndStopAll)
{
    wall->OpenCamera("n1", Url("n1"));
    wall->OpenCamera("n2", Url("n2"));
    wall->OpenCamera("m1", Url("m1"));
    ASSERT_TRUE(WaitPlaying(0) && WaitPlaying(1) && WaitPlaying(2));
    wall->SetNodeMembership([](const std::string& node, const std::string& camera) {
        return node == "site-n" && camera.rfind("n", 0) == 0;
    });
    wall->StopNode("site-n");
    EXPECT_FALSE(Busy(0));
    EXPECT_FALSE(Busy(1));
    EXPECT_TRUE(Busy(2));
    wall->StopAll();
    EXPECT_FALSE(Busy(2));
    EXPECT_EQ(QString("停止"), Inner(2)->TipText());
}

TEST_F(WallTest, CellFullScreenCycle)
{
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_9, 0, 0);
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, 4);
    CDlgPanel* panel = wall->Panel(4);
    const QRect inWall = panel->geometry();

    ::PostMessage(panel->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return wall->LayoutCount() == 0; }));
    EXPECT_EQ(1, panel->FullScreenState());
    EXPECT_EQ(std::set<int>{4}, VisibleCells());

    ::PostMessage(Inner(4)->GetHWND(), WM_LBUTTONDBLCLK, 0, 0);  // a double click advances the cycle too
    ASSERT_TRUE(PumpUntil([&] { return panel->FullScreenState() == 2; }));
    EXPECT_TRUE(panel->isWindow());
    EXPECT_FALSE(wall->isVisible()) << "the main window hides";
    EXPECT_FALSE(Inner(4)->Toolbar()->IsShown());
    ::SendMessage(Inner(4)->GetHWND(), WM_MOUSEHOVER, 0, 0);
    EXPECT_FALSE(Inner(4)->Toolbar()->IsShown()) << "no toolbar in full screen";

    ::PostMessage(panel->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return wall->LayoutCount() == 9; }));
    EXPECT_EQ(0, panel->FullScreenState());
    EXPECT_EQ(wall.get(), panel->parentWidget());
    EXPECT_TRUE(wall->isVisible());
    EXPECT_EQ(inWall, panel->geometry());
    EXPECT_EQ(9u, VisibleCells().size());

    // Full screen asked for on a cell that is not the selected one (its menu, or its toolbar button,
    // neither of which selects it): that cell is the one shown alone, and it is selected.
    ::SendMessage(Inner(2)->GetHWND(), WM_RBUTTONDOWN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return TopLevel("MenuWnd") != nullptr; }));
    auto* menu = dynamic_cast<CMenuWnd*>(WindowOf(TopLevel("MenuWnd")));
    ASSERT_NE(nullptr, menu);
    QTest::mouseClick(menu->FindMenuItem("fullscreen")->GetWidget(), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return wall->LayoutCount() == 0; }));
    EXPECT_EQ(std::set<int>{2}, VisibleCells());
    EXPECT_EQ(2, wall->SelectedCell());
    EXPECT_EQ(1, wall->Panel(2)->FullScreenState());
    EXPECT_EQ(0, panel->FullScreenState());
}

// What a user does: double clicks on the picture, each one step of the cycle, and Escape.
TEST_F(WallTest, EachDoubleClickIsOneStepAndEscapeLeavesTheCellsFullScreen)
{
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_9, 0, 0);
    CDlgPanel* panel = wall->Panel(4);
    QWidget* picture = Inner(4)->Surface();
    auto doubleClick = [&] {
        QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
        QTest::mouseDClick(picture, Qt::LeftButton, {}, picture->rect().center());
        Pump(100);
    };
    doubleClick();
    EXPECT_EQ(4, wall->SelectedCell());
    EXPECT_EQ(1, panel->FullScreenState()) << "alone in the wall";
    EXPECT_EQ(0, wall->LayoutCount());
    EXPECT_TRUE(wall->isVisible());

    doubleClick();
    EXPECT_EQ(2, panel->FullScreenState()) << "full screen";
    EXPECT_TRUE(panel->isWindow());

    QTest::keyClick(Inner(4)->GetWidget(), Qt::Key_Escape);
    ASSERT_TRUE(PumpUntil([&] { return panel->FullScreenState() == 0; }, 2000)) << "Escape leaves full screen";
    ASSERT_TRUE(PumpUntil([&] { return wall->LayoutCount() == 9; }));
    EXPECT_EQ(wall.get(), panel->parentWidget());
    EXPECT_TRUE(wall->isVisible());

    doubleClick();
    doubleClick();
    ASSERT_EQ(2, panel->FullScreenState());
    QTest::keyClick(panel, Qt::Key_Escape);  // the panel itself has the focus
    ASSERT_TRUE(PumpUntil([&] { return panel->FullScreenState() == 0; }, 2000));
    ASSERT_TRUE(PumpUntil([&] { return wall->LayoutCount() == 9; }));
}

TEST_F(WallTest, InTheWallsFullScreenTheSelectedCellsToolbarSpansItsCell)
{
    wall->resize(480, 270);
    wall->OpenCamera("toolbar", Url("toolbar"));
    ASSERT_TRUE(WaitPlaying(0));
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, 0);
    ::SendMessage(Inner(0)->GetHWND(), WM_MOUSEHOVER, 0, 0);
    CCPlayToolBarWnd* bar = Inner(0)->Toolbar();
    ASSERT_TRUE(bar->IsShown());
    const QWidget* cell = Inner(0)->GetWidget();
    const int widthInWindow = cell->width();
    ::SendMessage(wall->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
    Pump(200);
    EXPECT_GT(cell->width(), widthInWindow + 100);
    EXPECT_TRUE(bar->IsShown());
    EXPECT_EQ(QRect(0, cell->height() - 30, cell->width(), 30), bar->GetWidget()->geometry());
    EXPECT_TRUE(wall->grab().save(QDir::currentPath() + "/wall-fullscreen-toolbar.png"));
    ::SendMessage(wall->GetHWND(), WM_EXIT_FULLSCREEN, 0, 0);
    Pump(100);
    EXPECT_EQ(QRect(0, cell->height() - 30, cell->width(), 30), bar->GetWidget()->geometry()) << "and back";
}

TEST_F(WallTest, WallFullScreenAndEscape)
{
    ::PostMessage(wall->GetHWND(), WM_EXIT_FULLSCREEN, 0, 0);
    Pump(30);
    EXPECT_FALSE(wall->IsWallFullScreen()) << "not in full screen: nothing";
    const QRect before = wall->geometry();
    ::SendMessage(wall->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
    EXPECT_TRUE(wall->IsWallFullScreen());
    EXPECT_EQ(QApplication::primaryScreen()->geometry().size(), wall->size());
    EXPECT_EQ(4u, VisibleCells().size());
    // Escape in a cell leaves the wall's full screen.
    ::SendMessage(Inner(0)->GetHWND(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !wall->IsWallFullScreen(); }));
    EXPECT_EQ(before.size(), wall->size());
    EXPECT_TRUE(Inner(0)->GetWidget() != nullptr) << "Escape never closes the cell";
}

TEST_F(WallTest, ThreeFailedOpensEndInOpenFailed)
{
    wall->OpenCamera("nowhere", "http://127.0.0.1:1/live/nowhere.flv");
    EXPECT_EQ(QString(kLoading), Inner(0)->TipText());
    ASSERT_TRUE(PumpUntil([&] { return Inner(0)->TipText() == QString("打开失败"); }, 20000));
    EXPECT_EQ(3, Inner(0)->OpenFailures());
    EXPECT_FALSE(Busy(0));
    // A replay starts the count again.
    ::SendMessage(Inner(0)->GetHWND(), WM_CELL_REPLAY, 0, 0);
    EXPECT_EQ(0, Inner(0)->OpenFailures());
    EXPECT_EQ(QString(kLoading), Inner(0)->TipText());
    ASSERT_TRUE(PumpUntil([&] { return Inner(0)->TipText() == QString("打开失败"); }, 20000));
    EXPECT_EQ(3, Inner(0)->OpenFailures());
}

TEST_F(WallTest, BrokenStreamIsReopenedUnlessTheUserStopped)
{
    auto* server = WallEnvironment::server.get();
    wall->OpenCamera("flaky", Url("flaky"));
    ASSERT_TRUE(WaitPlaying(0));
    server->SetLiveFault("flaky", camsim::StreamServer::LiveFault::Drop);
    ASSERT_TRUE(PumpUntil([&] { return State(0) != 2; }));
    server->SetLiveFault("flaky", camsim::StreamServer::LiveFault::None);
    const int before = Inner(0)->Surface()->FramesPresented();
    ASSERT_TRUE(PumpUntil([&] { return State(0) == 2 && Inner(0)->Surface()->FramesPresented() > before + 3; }, 20000))
        << "the cell reopened its address by itself";
    EXPECT_NE(QString("播放失败"), Inner(0)->TipText());

    ::PostMessage(Inner(0)->GetHWND(), WM_CELL_STOP, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Inner(0)->TipText() == QString("停止"); }));
    ::PostMessage(Inner(0)->GetHWND(), WM_PLAYER_EVENT, EV_PLAY_FAILED, 0);
    ASSERT_TRUE(PumpUntil([&] { return Inner(0)->TipText() == QString("播放失败"); }));
    EXPECT_FALSE(Busy(0));
}

// A stream that stays gone: the cell keeps trying on growing pauses, asking for the camera's address
// each time, and reopens at once with an address the camera announces. The recording ends at the
// break with its file and is not restarted.
TEST_F(WallTest, LostStreamIsRecoveredByRetriesAndByAnAnnouncedAddress)
{
    auto* server = WallEnvironment::server.get();
    std::vector<std::string> asked;
    wall->SetAddressRequest([&](const std::string& id) { asked.push_back(id); });
    wall->OpenCamera("gone", Url("gone"));
    ASSERT_TRUE(WaitPlaying(0));
    ::SendMessage(Inner(0)->GetHWND(), WM_CELL_RECORD_START, 0, 0);
    const std::string recording = Inner(0)->RecordPath();
    Pump(1500);

    server->SetLiveFault("gone", camsim::StreamServer::LiveFault::Drop);
    ASSERT_TRUE(PumpUntil([&] { return Inner(0)->IsRecovering(); }, 20000));
    EXPECT_EQ(QString("重新连接中…"), Inner(0)->TipText()) << "a stream that played says it reconnects";
    EXPECT_NE(0, PlayerManager::Instance()->StopRecord(Inner(0)->PlayerId())) << "the recording ended at the break";
    EXPECT_GT(QFileInfo(QString::fromStdString(recording)).size(), 0);
    ASSERT_TRUE(PumpUntil([&] { return asked.size() >= 2; }, 12000)) << "retries after 2 s, then after 4 s";
    EXPECT_EQ("gone", asked.front());
    EXPECT_TRUE(Inner(0)->IsRecovering());
    EXPECT_TRUE(Busy(0) || State(0) != 2);

    // The camera announces an address (it came back online): the cell opens it now.
    server->SetLiveFault("gone", camsim::StreamServer::LiveFault::None);
    const std::string announced = Url("gone-again");
    wall->OfferAddress("gone", announced);
    ASSERT_TRUE(WaitPlaying(0, 15000));
    EXPECT_EQ(announced, Inner(0)->PlayUrl());
    EXPECT_FALSE(Inner(0)->IsRecovering());
    EXPECT_NE(0, PlayerManager::Instance()->StopRecord(Inner(0)->PlayerId())) << "no recording was restarted";
    // A cell that plays takes no offered address; neither does another camera's cell.
    wall->OfferAddress("gone", Url("other"));
    wall->OfferAddress("elsewhere", Url("other"));
    EXPECT_EQ(announced, Inner(0)->PlayUrl());
    EXPECT_NE(nullptr, TopLevel("CRecrodTipWnd")) << "the ended recording's tip";
    CloseAll("CRecrodTipWnd");
    QFile::remove(QString::fromStdString(recording));
}

TEST_F(WallTest, FailedOpensKeepRetryingUntilTheUserStops)
{
    std::vector<std::string> asked;
    wall->SetAddressRequest([&](const std::string& id) { asked.push_back(id); });
    wall->OpenCamera("nowhere", "http://127.0.0.1:1/live/nowhere.flv");
    ASSERT_TRUE(PumpUntil([&] { return Inner(0)->TipText() == QString("打开失败"); }, 20000));
    EXPECT_TRUE(Inner(0)->IsRecovering());
    ASSERT_TRUE(PumpUntil([&] { return asked.size() == 1; }, 5000));
    EXPECT_EQ(QString("重新连接中…"), Inner(0)->TipText());
    EXPECT_GT(Inner(0)->OpenFailures(), CPlayInnerWnd::kMaxOpenFailures - 1);

    ::SendMessage(Inner(0)->GetHWND(), WM_CELL_STOP, 0, 0);
    EXPECT_FALSE(Inner(0)->IsRecovering());
    wall->OfferAddress("nowhere", "http://127.0.0.1:1/live/nowhere.flv");
    Pump(4500);
    EXPECT_EQ(1u, asked.size()) << "a stopped cell asks for nothing";
    EXPECT_EQ(QString("停止"), Inner(0)->TipText());
    EXPECT_FALSE(Busy(0));
}

TEST_F(WallTest, FullWallReplacesThePreferredCellsStream)
{
    // Stalled streams keep every player opening, so every cell is busy without decoding anything.
    auto* server = WallEnvironment::server.get();
    server->SetLiveFault("stalled", camsim::StreamServer::LiveFault::Stall);
    const std::string stalled = server->LiveUrl("stalled");
    for (int i = 0; i < CvyrProDlg::kCellCount; ++i)
        wall->OpenCamera("stalled", stalled);
    for (int i = 0; i < CvyrProDlg::kCellCount; ++i)
        ASSERT_TRUE(Busy(i)) << i;
    ::SendMessage(wall->GetHWND(), WM_SELECT_CELL, 0, 7);
    wall->OpenCamera("newcomer", Url("newcomer"));
    EXPECT_EQ("newcomer", wall->Panel(7)->DeviceId());
    EXPECT_EQ(Url("newcomer"), Inner(7)->PlayUrl());
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_9, 0, 0);  // a hidden cell draws nothing
    ASSERT_TRUE(WaitPlaying(7)) << "the preferred cell shows the new camera, not the old stream";
    wall->StopAll();
    server->SetLiveFault("stalled", camsim::StreamServer::LiveFault::None);
}

namespace {

// year_month_day_hour_minute_second_millis + extension, plain decimal numbers.
bool IsCaptureName(const std::string& name, const std::string& extension)
{
    if (name.size() <= extension.size() || name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
        return false;
    const QStringList parts = QString::fromStdString(name.substr(0, name.size() - extension.size())).split('_');
    if (parts.size() != 7)
        return false;
    for (const QString& part : parts) {
        bool number = false;
        part.toInt(&number);
        if (!number || part.startsWith('0') != (part == "0"))
            return false;
    }
    return parts[0].size() == 4;
}

}  // namespace

TEST_F(WallTest, ToolbarFollowsThePlayerStateAndTheCellWidth)
{
    CCPlayToolBarWnd* bar = Inner(0)->Toolbar();
    auto control = [&](const char* name) { return bar->FindControl(name); };
    auto option = [&](const char* name) { return dynamic_cast<COptionUI*>(bar->FindControl(name)); };
    for (const char* name : {"btn_play", "btn_record", "btn_snapshot", "btn_playback"})
        EXPECT_FALSE(control(name)->IsEnabled()) << name << " before any stream";
    EXPECT_EQ(8 * 22, bar->ButtonsWidth());

    wall->OpenCamera("bar", Url("bar"));
    ASSERT_TRUE(WaitPlaying(0));
    ASSERT_TRUE(PumpUntil([&] { return option("btn_play")->IsSelected(); }));
    EXPECT_TRUE(control("btn_snapshot")->IsEnabled());
    EXPECT_FALSE(option("btn_record")->IsSelected());
    EXPECT_EQ("file='Toolbar/gj_ico_9.png' source='0,0,22,22' dest='0,0,22,22'",
              control("btn_bitrateswitch")->GetAttribute("normalimage").toStdString());
    EXPECT_EQ("file='Toolbar/gj_ico_9.png' source='22,0,44,22' dest='0,0,22,22'",
              control("btn_bitrateswitch")->GetAttribute("hotimage").toStdString());
    EXPECT_EQ("file='Toolbar/gj_ico_9.png' source='66,0,88,22' dest='0,0,22,22'",
              control("btn_bitrateswitch")->GetAttribute("disabledimage").toStdString());
    bar->ShowQualityIcon(800);  // an unknown width keeps the pictures
    EXPECT_EQ(800, bar->QualityWidth());
    EXPECT_NE(std::string::npos, control("btn_bitrateswitch")->GetAttribute("normalimage").toStdString().find("gj_ico_9"));

    // Wide cell: plain labels; narrow cell: the scroll hint everywhere and a scroll bar.
    ::SendMessage(Inner(0)->GetHWND(), WM_MOUSEHOVER, 0, 0);
    ASSERT_TRUE(bar->IsShown());
    const QWidget* cell = Inner(0)->GetWidget();
    EXPECT_EQ(QRect(0, cell->height() - 30, cell->width(), 30), bar->GetWidget()->geometry());
    EXPECT_EQ(QString("截图"), control("btn_snapshot")->GetToolTip());
    EXPECT_EQ(QString("流畅"), control("btn_bitrateswitch")->GetToolTip()) << "the quality's name outlives the hover";
    EXPECT_EQ(QString(), control("hl_toolbar")->GetToolTip());
    EXPECT_FALSE(dynamic_cast<CContainerUI*>(control("hl_toolbar"))->HasHScrollBar());
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_64, 0, 0);
    ::SendMessage(Inner(0)->GetHWND(), WM_MOUSEHOVER, 0, 0);
    const QString hint = QString::fromUtf8(CCPlayToolBarWnd::kMoreHint);
    EXPECT_EQ(QString("截图") + hint, control("btn_snapshot")->GetToolTip());
    EXPECT_EQ(hint, control("hl_space")->GetToolTip());
    EXPECT_EQ(QString("流畅") + hint, control("btn_bitrateswitch")->GetToolTip());
    EXPECT_TRUE(dynamic_cast<CContainerUI*>(control("hl_toolbar"))->HasHScrollBar());
    ::SendMessage(wall->GetHWND(), WM_LAYOUT_4, 0, 0);
    ::SendMessage(Inner(0)->GetHWND(), WM_MOUSEHOVER, 0, 0);
    EXPECT_EQ(QString("回放"), control("btn_playback")->GetToolTip());

    // Sound: every click toggles the option (the player keeps the flag).
    QTest::mouseClick(control("btn_audiotoggle")->GetWidget(), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return option("btn_audiotoggle")->IsSelected(); }));
    EXPECT_EQ(0, PlayerManager::Instance()->IsMuted(Inner(0)->PlayerId()));
    QTest::mouseClick(control("btn_audiotoggle")->GetWidget(), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return !option("btn_audiotoggle")->IsSelected(); }));
    EXPECT_EQ(1, PlayerManager::Instance()->IsMuted(Inner(0)->PlayerId()));

    // The play option stops, and then only it stays enabled.
    QTest::mouseClick(control("btn_play")->GetWidget(), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return !Busy(0); }));
    Pump(50);
    EXPECT_TRUE(control("btn_play")->IsEnabled());
    EXPECT_FALSE(option("btn_play")->IsSelected());
    EXPECT_FALSE(control("btn_snapshot")->IsEnabled());
    QTest::mouseClick(control("btn_play")->GetWidget(), Qt::LeftButton);  // and plays again
    EXPECT_TRUE(WaitPlaying(0));
}

TEST_F(WallTest, SubAccountWithoutRightsSeesFewerButtons)
{
    CCPlayToolBarWnd::SetRights({[] { return true; }, [](const std::string& id) { return id == "2016031505"; }});
    CvyrProDlg restricted;
    CCPlayToolBarWnd::SetRights({[] { return false; }, [](const std::string&) { return false; }});
    CCPlayToolBarWnd* bar = restricted.Panel(0)->Inner()->Toolbar();
    EXPECT_TRUE(bar->FindControl("btn_playback")->IsVisible());
    for (const char* name : {"btn_snapshot", "btn_record", "btn_bitrateswitch"})
        EXPECT_FALSE(bar->FindControl(name)->IsVisible()) << name;
    EXPECT_EQ(5 * 22, bar->ButtonsWidth());
    EXPECT_TRUE(Inner(0)->Toolbar()->FindControl("btn_snapshot")->IsVisible()) << "main accounts see everything";
}

TEST_F(WallTest, QualityChooserSwitchesOnlyToAnotherWidth)
{
    wall->OpenCamera("quality", Url("quality"));
    ASSERT_TRUE(WaitPlaying(0));
    ::SendMessage(Inner(0)->GetHWND(), WM_MOUSEHOVER, 0, 0);
    CCPlayToolBarWnd* bar = Inner(0)->Toolbar();
    // The open chooser: closed ones may linger as hidden widgets until the loop deletes them.
    auto openChooser = [&]() -> WindowImplBase* {
        QTest::mouseClick(bar->FindControl("btn_bitrateswitch")->GetWidget(), Qt::LeftButton);
        for (QWidget* chooser : Inner(0)->GetWidget()->findChildren<QWidget*>("RatioSwicthWnd"))
            if (chooser->isVisible())
                return WindowOf(chooser);
        return nullptr;
    };
    WindowImplBase* chooser = openChooser();
    ASSERT_NE(nullptr, chooser);
    const QWidget* cell = Inner(0)->GetWidget();
    const QRect at = chooser->GetWidget()->geometry();
    EXPECT_EQ(cell->width(), at.right() + 1);
    EXPECT_EQ(cell->height() - 30, at.bottom() + 1);
    for (const char* name : {"IDC_BTN_GAOQING", "IDC_BTN_JUNHENG_Lab", "IDC_BTN_LIUCHANG"})
        EXPECT_TRUE(chooser->FindControl(name)->IsEnabled()) << name;

    QTest::mouseClick(chooser->FindControl("IDC_BTN_LIUCHANG")->GetWidget(), Qt::LeftButton);  // 320: what plays
    ASSERT_TRUE(PumpUntil([&] { return Inner(0)->GetWidget()->findChild<QWidget*>("RatioSwicthWnd") == nullptr; }));
    Pump(50);
    EXPECT_EQ(0, main.Count(WM_SWITCH_STREAM));

    chooser = openChooser();
    ASSERT_NE(nullptr, chooser);
    QTest::mouseClick(chooser->FindControl("IDC_BTN_JUNHENG")->GetWidget(), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return main.Count(WM_SWITCH_STREAM) == 1; }));
    EXPECT_EQ(640u, main.Last(WM_SWITCH_STREAM)->wParam);
    EXPECT_EQ(0, main.Last(WM_SWITCH_STREAM)->lParam);
    EXPECT_TRUE(StreamRequestMgr::Instance()->GetRestart("quality"));
    EXPECT_EQ("quality", StreamRequestMgr::Instance()->GetSwitchingDevice());

    chooser = openChooser();  // leaving it with the mouse closes it
    ASSERT_NE(nullptr, chooser);
    ::SendMessage(chooser->GetHWND(), WM_MOUSELEAVE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Inner(0)->GetWidget()->findChild<QWidget*>("RatioSwicthWnd") == nullptr; }));
    wall->activateWindow();
    chooser = openChooser();  // so does the focus going elsewhere
    ASSERT_NE(nullptr, chooser);
    wall->setFocus();
    ASSERT_TRUE(PumpUntil([&] { return Inner(0)->GetWidget()->findChild<QWidget*>("RatioSwicthWnd") == nullptr; }));
    EXPECT_EQ(1, main.Count(WM_SWITCH_STREAM));

    // A second press of the button closes the chooser instead of stacking a second one; a third opens it.
    auto choosers = [&] {
        std::set<WindowImplBase*> open;  // a chooser's window and its layout's root share the name
        for (QWidget* chooser : Inner(0)->GetWidget()->findChildren<QWidget*>("RatioSwicthWnd"))
            if (chooser->isVisible())
                open.insert(WindowOf(chooser));
        return open.size();
    };
    ASSERT_NE(nullptr, openChooser());
    QTest::mouseClick(bar->FindControl("btn_bitrateswitch")->GetWidget(), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return choosers() == 0; })) << choosers() << " choosers open";
    ASSERT_NE(nullptr, openChooser());
    EXPECT_EQ(1u, choosers());
}

// Each level is a row of icon and word; a press anywhere on the row chooses it and closes the chooser.
TEST_F(WallTest, QualityChooserRowsArePressedAsAWhole)
{
    wall->OpenCamera("rows", Url("rows"));
    ASSERT_TRUE(WaitPlaying(0));
    ::SendMessage(Inner(0)->GetHWND(), WM_MOUSEHOVER, 0, 0);
    CCPlayToolBarWnd* bar = Inner(0)->Toolbar();
    auto chooser = [&]() -> WindowImplBase* {
        auto* widget = Inner(0)->GetWidget()->findChild<QWidget*>("RatioSwicthWnd");
        return widget != nullptr && widget->isVisible() ? WindowOf(widget) : nullptr;
    };
    const std::pair<const char*, WPARAM> words[] = {{"IDC_BTN_JUNHENG_Lab", 640}, {"IDC_BTN_GAOQING_Lab", 1280}};
    for (const auto& [word, width] : words) {
        QTest::mouseClick(bar->FindControl("btn_bitrateswitch")->GetWidget(), Qt::LeftButton);
        ASSERT_NE(nullptr, chooser());
        const int before = main.Count(WM_SWITCH_STREAM);
        QTest::mouseClick(chooser()->FindControl(word)->GetWidget(), Qt::LeftButton);
        ASSERT_TRUE(PumpUntil([&] { return main.Count(WM_SWITCH_STREAM) == before + 1; }, 2000)) << word;
        EXPECT_EQ(width, main.Last(WM_SWITCH_STREAM)->wParam);
        ASSERT_TRUE(PumpUntil([&] { return chooser() == nullptr; }, 2000)) << "the chooser closes";
    }
}

TEST_F(WallTest, RecordingAndSnapshotFilesAndTips)
{
    std::vector<QString> boxes;
    SetMsgTipHook([&](HWND, const QString& text) {
        boxes.push_back(text);
        return true;
    });
    FileManager::SetLauncher([](const std::string&) {});
    ::PostMessage(Inner(0)->GetHWND(), WM_CELL_RECORD_START, 0, 0);  // nothing plays yet
    ASSERT_TRUE(PumpUntil([&] { return !boxes.empty(); }));
    EXPECT_EQ(QString("启动录制失败"), boxes.back());

    wall->OpenCamera("capture", Url("capture"));
    ASSERT_TRUE(WaitPlaying(0));
    ::PostMessage(Inner(0)->GetHWND(), WM_CELL_RECORD_START, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return State(0) == 5; }));
    ASSERT_TRUE(PumpUntil([&] {
        return dynamic_cast<COptionUI*>(Inner(0)->Toolbar()->FindControl("btn_record"))->IsSelected();
    }));
    Pump(1500);
    ::PostMessage(Inner(0)->GetHWND(), WM_CELL_RECORD_STOP, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return TopLevel("CRecrodTipWnd") != nullptr; }));
    const std::string record = Inner(0)->RecordPath();
    const std::string videoFolder = LocalConfig::Instance()->GetVideoPath();
    EXPECT_EQ(0u, record.rfind(videoFolder, 0)) << record;
    EXPECT_TRUE(IsCaptureName(record.substr(videoFolder.size()), ".flv")) << record;
    ASSERT_TRUE(std::filesystem::exists(record));
    EXPECT_GT(std::filesystem::file_size(record), 2000u);
    WindowImplBase* tip = WindowOf(TopLevel("CRecrodTipWnd"));
    EXPECT_EQ(QString::fromStdString(record), tip->FindControl("dir")->GetText());

    ::PostMessage(Inner(0)->GetHWND(), WM_CELL_SNAPSHOT, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return TopLevel("CSnapnotTipWnd") != nullptr; }));
    const std::string snapshot = Inner(0)->SnapshotPath();
    const std::string picFolder = LocalConfig::Instance()->GetPicPath();
    EXPECT_EQ(0u, snapshot.rfind(picFolder, 0)) << snapshot;
    EXPECT_TRUE(IsCaptureName(snapshot.substr(picFolder.size()), ".png")) << snapshot;
    const QImage picture(QString::fromStdString(snapshot));
    EXPECT_EQ(QSize(320, 180), picture.size()) << "the snapshot has the video's own size";
    WindowImplBase* snapTip = WindowOf(TopLevel("CSnapnotTipWnd"));
    EXPECT_EQ(QString::fromStdString(snapshot), snapTip->FindControl("picdisplay")->GetAttribute("bkimage"));
    EXPECT_TRUE(boxes.size() == 1) << "no failure box";
    CloseAll("CRecrodTipWnd");
    CloseAll("CSnapnotTipWnd");
    SetMsgTipHook({});
}

// A full disk ends the cell's recording: the toolbar shows it stopped and the user is told; a
// snapshot without room says so too.
TEST_F(WallTest, FullDiskStopsTheRecordingAndTheSnapshotWithAMessage)
{
    std::vector<QString> boxes;
    SetMsgTipHook([&](HWND, const QString& text) {
        boxes.push_back(text);
        return true;
    });
    wall->OpenCamera("fulldisk", Url("fulldisk", 640, 360));
    ASSERT_TRUE(WaitPlaying(0));
    auto* record = dynamic_cast<COptionUI*>(Inner(0)->Toolbar()->FindControl("btn_record"));
    {
        FileSizeLimit limit(64 * 1024);
        ::PostMessage(Inner(0)->GetHWND(), WM_CELL_RECORD_START, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return State(0) == 5 && record->IsSelected(); }));
        ASSERT_TRUE(PumpUntil([&] { return !boxes.empty(); }, 30000));
        EXPECT_EQ(QString("磁盘空间不足，录制已停止"), boxes.back());
        EXPECT_EQ(2, State(0)) << "playing on, no longer recording";
        EXPECT_TRUE(PumpUntil([&] { return !record->IsSelected(); }));

        FileSizeLimit noRoom(16);
        ::PostMessage(Inner(0)->GetHWND(), WM_CELL_SNAPSHOT, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return boxes.size() == 2; }));
        EXPECT_EQ(QString("磁盘空间不足，截图失败"), boxes.back());
    }
    EXPECT_GT(std::filesystem::file_size(Inner(0)->RecordPath()), 32 * 1024u);
    EXPECT_FALSE(std::filesystem::exists(Inner(0)->SnapshotPath()));
    SetMsgTipHook({});
}

// A camera can name anything as its stream; a cell opens only network streams.
TEST_F(WallTest, AddressThatIsNotANetworkStreamIsRefused)
{
    wall->OpenCamera("local", "file:///etc/hostname");
    EXPECT_EQ(QString("打开失败"), Inner(0)->TipText());
    EXPECT_FALSE(Busy(0));
    EXPECT_EQ(0, Inner(0)->OpenFailures()) << "nothing to retry";
}

TEST_F(WallTest, LockedScreenClicksShowTheLockScreen)
{
    LocalConfig::Instance()->SetScreenLocked(true);
    ::SendMessage(Inner(2)->GetHWND(), WM_LBUTTONDOWN, 0, 0);
    ::SendMessage(Inner(2)->GetHWND(), WM_RBUTTONDOWN, 0, 0);
    ::SendMessage(Inner(2)->Toolbar()->GetHWND(), WM_LBUTTONDOWN, 0, 0);
    ::SendMessage(Inner(2)->Toolbar()->GetHWND(), WM_RBUTTONDOWN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return main.Count(WM_SHOW_LOCKSCREEN) == 4; }));
    Pump(30);
    EXPECT_EQ(-1, wall->SelectedCell()) << "a locked screen selects nothing";
    EXPECT_EQ(nullptr, TopLevel("MenuWnd"));
    LocalConfig::Instance()->SetScreenLocked(false);

    ::SendMessage(Inner(2)->GetHWND(), WM_LBUTTONDOWN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return wall->SelectedCell() == 2; }));
    ::SendMessage(Inner(2)->GetHWND(), WM_RBUTTONDOWN, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return TopLevel("MenuWnd") != nullptr; }));
    auto* menu = dynamic_cast<CMenuWnd*>(WindowOf(TopLevel("MenuWnd")));
    ASSERT_NE(nullptr, menu);
    ASSERT_NE(nullptr, menu->FindMenuItem("closeplay"));
    EXPECT_FALSE(menu->FindMenuItem("closeplay")->IsEnabled()) << "nothing plays";
    EXPECT_EQ(QString("全屏"), menu->FindMenuItem("fullscreen")->GetText());
    QTest::mouseClick(menu->FindMenuItem("fullscreen")->GetWidget(), Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return wall->LayoutCount() == 0; })) << "the menu's full screen starts the cycle";
    EXPECT_EQ(1, wall->Panel(2)->FullScreenState());
}

// A camera dropped on a cell while its address is still asked for: the cell's stream stops, no other
// camera is placed there meanwhile, and the announced address starts it there, once only. A cell the
// user filled meanwhile keeps its camera.
TEST_F(WallTest, ACellWaitingForItsCamerasAddressIsKeptForIt)
{
    wall->OpenCamera("held", Url("held"));
    ASSERT_TRUE(WaitPlaying(0));
    wall->AwaitAddress(0, "dropped");
    EXPECT_FALSE(wall->Panel(0)->IsBusy()) << "the dropped-on cell's stream stops at once";
    wall->OpenCamera("other", Url("other"));
    EXPECT_EQ("other", wall->Panel(1)->DeviceId()) << "the waiting cell is not free";
    wall->OfferAddress("dropped", Url("dropped"));
    EXPECT_EQ("dropped", wall->Panel(0)->DeviceId());
    ASSERT_TRUE(WaitPlaying(0));
    EXPECT_TRUE(wall->WaitingCells().empty());
    wall->OpenCamera("dropped", Url("dropped"));
    EXPECT_EQ("dropped", wall->Panel(2)->DeviceId()) << "the wait served once";

    wall->AwaitAddress(3, "late");
    wall->PlayInCell(3, "chosen", Url("chosen"));
    wall->OfferAddress("late", Url("late"));
    EXPECT_EQ("chosen", wall->Panel(3)->DeviceId()) << "the user's later choice stands";
}

// Stop-all and stop-node also end what would start later: a cell waiting for its camera's address, a
// cell retrying a lost stream between two tries, a camera of "open all" waiting for its turn. What a
// stop does not cover goes on.
TEST_F(WallTest, StopsCancelTheWaitsAndRetriesTheyCover)
{
    wall->SetNodeMembership([](const std::string& node, const std::string& camera) {
        return node == "site-n" && camera.rfind("n", 0) == 0;
    });
    wall->AwaitAddress(0, "n-wait");
    wall->AwaitAddress(1, "m-wait");
    wall->OpenCamera("n-gone", "http://127.0.0.1:1/live/n-gone.flv");
    ASSERT_EQ("n-gone", wall->Panel(2)->DeviceId());
    ASSERT_TRUE(PumpUntil([&] { return Inner(2)->IsRecovering() && !Busy(2); }, 20000)) << "between two tries";
    wall->OpenCameras({{"n-queued", Url("n-queued")}, {"m-queued", Url("m-queued")}});

    wall->StopNode("site-n");
    EXPECT_EQ((std::map<int, std::string>{{1, "m-wait"}}), wall->WaitingCells());
    EXPECT_FALSE(Inner(2)->IsRecovering());
    EXPECT_EQ(QString("停止"), Inner(2)->TipText());
    for (const char* camera : {"n-wait", "n-gone", "m-wait"})
        wall->OfferAddress(camera, Url(camera));
    ASSERT_TRUE(PumpUntil([&] { return !wall->HasQueuedOpens(); }, 3000));
    auto cellOf = [&](const std::string& camera) {
        for (CDlgPanel* panel : wall->BuiltPanels())
            if (panel->IsBusy() && panel->DeviceId() == camera)
                return panel->CellIndex();
        return -1;
    };
    EXPECT_EQ(-1, cellOf("n-wait"));
    EXPECT_EQ(-1, cellOf("n-gone"));
    EXPECT_EQ(-1, cellOf("n-queued"));
    EXPECT_EQ(1, cellOf("m-wait")) << "a waiting cell of another node starts";
    EXPECT_EQ(0, cellOf("m-queued")) << "the first free cell";
    Pump(2500);
    EXPECT_FALSE(Busy(2)) << "no retry after the stop";

    wall->AwaitAddress(3, "m-late");
    wall->OpenCameras({{"m-queued-too", Url("m-queued-too")}});
    wall->StopAll();
    EXPECT_TRUE(wall->WaitingCells().empty());
    EXPECT_FALSE(wall->HasQueuedOpens());
    wall->OfferAddress("m-late", Url("m-late"));
    Pump(500);
    for (CDlgPanel* panel : wall->BuiltPanels())
        EXPECT_FALSE(panel->IsBusy()) << panel->CellIndex() << " " << panel->DeviceId();
}

// Two cells swapped: each player, with its stream, its recording and its toolbar, moves to the other
// cell without a stop or an open.
TEST_F(WallTest, SwappedCellsKeepTheirStreamsAndRecordings)
{
    wall->OpenCamera("left", Url("left"));
    wall->OpenCamera("right", Url("right"));
    ASSERT_TRUE(WaitPlaying(0) && WaitPlaying(1));
    const int left = Inner(0)->PlayerId();
    const int right = Inner(1)->PlayerId();
    ::SendMessage(Inner(0)->GetHWND(), WM_CELL_RECORD_START, 0, 0);
    ASSERT_EQ(5, State(0));

    wall->SwapCells(0, 1);
    EXPECT_EQ(right, Inner(0)->PlayerId());
    EXPECT_EQ(left, Inner(1)->PlayerId());
    EXPECT_EQ("right", wall->Panel(0)->DeviceId());
    EXPECT_EQ("left", wall->Panel(1)->DeviceId());
    EXPECT_EQ(1, wall->SelectedCell()) << "the selection follows the moved camera";
    EXPECT_EQ(2, State(0));
    EXPECT_EQ(5, State(1)) << "the recording went along";
    EXPECT_EQ(wall->Panel(1), Inner(1)->Panel());
    EXPECT_EQ(Inner(1)->GetWidget(), Inner(1)->Toolbar()->GetWidget()->parentWidget());
    const int frames = Inner(1)->Surface()->FramesPresented();
    EXPECT_TRUE(PumpUntil([&] { return Inner(1)->Surface()->FramesPresented() > frames + 3; }));
    ::SendMessage(Inner(1)->GetHWND(), WM_CELL_RECORD_STOP, 0, 0);
    EXPECT_EQ(2, State(1));
    EXPECT_TRUE(std::filesystem::exists(Inner(1)->RecordPath()));
    CloseAll("CRecrodTipWnd");
}
