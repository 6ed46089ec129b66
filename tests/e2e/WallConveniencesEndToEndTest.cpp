// The wall's conveniences on the whole client against the demo stack: cameras of the device tree and
// of the recently-watched list, nodes and playing cells dragged onto cells, and the wall's keyboard
// shortcuts. The drags carry the data the lists' and cells' drag sources make; the drag over the wall
// and the drop are delivered to the wall as the platform delivers them. The tests run in order on one
// client.
#include "ClientEndToEnd.h"

#include "app/LocalConfig.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceNode.h"
#include "duiWrap/WallDragDrop.h"
#include "ui/ListView.h"
#include "ui/RowDragSource.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CellDragSource.h"
#include "video/CellDropTarget.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerManager.h"
#include "video/ViewHistory.h"
#include "video/WallDragMime.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QTest>

#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace {

using namespace e2e;

class WallConveniencesEndToEnd : public ClientEndToEnd {
protected:
    static void SetUpTestSuite()
    {
        ClientEndToEnd::SetUpTestSuite();
        StartClient();
    }

    static CvyrProDlg* Wall() { return Main()->VideoWall(); }
    static CPlayInnerWnd* Inner(int cell) { return Wall()->Panel(cell)->Inner(); }
    static void Layout(UINT message) { ::SendMessage(Wall()->GetHWND(), message, 0, 0); }
    static void Select(int cell) { ::SendMessage(Wall()->GetHWND(), WM_SELECT_CELL, 0, cell); }

    // The data a drag of the row carries, made by the list's own drag source (null: not draggable).
    static std::unique_ptr<QMimeData> RowData(CamListUI* list, RowDragSource* source,
                                              const std::function<bool(const DeviceNode*)>& match)
    {
        for (int row = 0; row < list->GetCount(); ++row)
            if (match(list->NodeAt(row)))
                return std::unique_ptr<QMimeData>(source->DataFor(row));
        return nullptr;
    }
    static std::unique_ptr<QMimeData> TreeCamera(const std::string& id)
    {
        return RowData(Main()->DeviceList(), Main()->DragDrop()->TreeSource(),
                       [&](const DeviceNode* n) { return !n->isGroup && n->id == id; });
    }
    static std::unique_ptr<QMimeData> CellData(int cell)
    {
        return std::unique_ptr<QMimeData>(
            WallDragMime::Make(WallDragItem::Cell(reinterpret_cast<std::uintptr_t>(Wall()), cell)));
    }

    // Drags the data over the wall onto the cell's middle; `hovering` runs while it is over the cell.
    // Whether the wall took the drop.
    static bool DropOn(int cell, const QMimeData& data, const std::function<void()>& hovering = {})
    {
        const QPoint at = Wall()->Panel(cell)->geometry().center();
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Wall(), &enter);
        QDragMoveEvent move(at + QPoint(3, 3), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Wall(), &move);
        uitest::Pump(50);
        if (hovering)
            hovering();
        QDropEvent drop(QPointF(at + QPoint(3, 3)), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Wall(), &drop);
        return drop.isAccepted();
    }

    static bool PlaysIn(const std::string& deviceId, int cell, int timeoutMs = 20000)
    {
        return uitest::PumpUntil([&] { return CellPlaying(deviceId) == cell; }, timeoutMs);
    }
    static int Frames(int cell) { return Inner(cell)->Surface()->FramesPresented(); }

    // The main window as drawn, with the drag's picture at the point the drag is over.
    static void SaveDragShot(const std::string& name, const QPixmap& picture, int cell)
    {
        QImage shot = uitest::Grab(*Main());
        const QPoint over = Wall()->mapTo(Main()->GetWidget(), Wall()->Panel(cell)->geometry().center());
        QPainter painter(&shot);
        painter.setOpacity(0.8);
        painter.drawPixmap(over - QPoint(picture.width() / 4, picture.height() / 2), picture);
        painter.end();
        EXPECT_TRUE(shot.save(QString::fromStdString(ScreenshotDir() + "/" + name)));
    }

    static std::map<std::string, std::vector<std::string>> History()
    {
        std::map<std::string, std::vector<std::string>> groups;
        ViewHistory::Instance()->LoadGroups(groups);
        return groups;
    }
};

// A camera of the tree dropped on a cell plays there and is recorded as watched; a second one dropped
// on the same cell replaces its stream. While the drag is over the cell, the cell is framed.
TEST_F(WallConveniencesEndToEnd, TreeCameraDroppedOnACellPlaysThereInPlaceOfItsStream)
{
    Layout(WM_LAYOUT_4);
    ASSERT_TRUE(PresencesShown(20000));
    auto first = TreeCamera("kv100101");
    ASSERT_NE(first, nullptr);
    int hovered = -1;
    EXPECT_TRUE(DropOn(2, *first, [&] { hovered = Main()->DragDrop()->DropTarget()->HoveredCell(); }));
    EXPECT_EQ(2, hovered);
    EXPECT_EQ(-1, Main()->DragDrop()->DropTarget()->HoveredCell()) << "the frame goes with the drop";
    ASSERT_TRUE(PlaysIn("kv100101", 2)) << WallState();
    EXPECT_FALSE(Wall()->Panel(0)->IsBusy()) << "the dropped camera takes no other cell";

    auto second = TreeCamera("kv100102");
    ASSERT_NE(second, nullptr);
    // The row shown, as the user sees it when dragging it; frames in cell 2 for the picture.
    CamListUI* tree = Main()->DeviceList();
    const int row = RowOf(tree, "kv100102", false);
    ASSERT_GE(row, 0);
    std::vector<DeviceNode*> ancestors;  // expanded from the top down
    for (DeviceNode* n = tree->NodeAt(row)->parent; n != nullptr && !n->IsRoot(); n = n->parent)
        ancestors.insert(ancestors.begin(), n);
    for (DeviceNode* n : ancestors)
        tree->SetChildVisible(n, true);
    tree->EnsureVisible(row);
    uitest::Pump(1000);
    EXPECT_TRUE(DropOn(2, *second, [&] {
        const QPixmap picture = Main()->DragDrop()->TreeSource()->RowPicture(row);
        EXPECT_FALSE(picture.isNull());
        SaveDragShot("wall-drag-camera.png", picture, 2);
    }));
    ASSERT_TRUE(PlaysIn("kv100102", 2)) << WallState();
    EXPECT_EQ(-1, CellPlaying("kv100101")) << "the cell's previous stream stopped";
    const auto today = History();
    bool listed = false;
    for (const auto& [day, ids] : today)
        listed = listed || std::find(ids.begin(), ids.end(), "kv100102") != ids.end();
    EXPECT_TRUE(listed) << "a camera dropped from the tree is recorded as watched";

    // Dropping an offline camera says so, and the cell keeps its stream.
    uitest::MsgTipRecorder boxes;
    auto offline = TreeCamera("kv100104");
    ASSERT_NE(offline, nullptr);
    EXPECT_TRUE(DropOn(2, *offline));
    uitest::Pump(300);
    EXPECT_EQ(QStringList{QStringLiteral("摄像头不在线")}, boxes.texts);
    EXPECT_EQ(2, CellPlaying("kv100102"));
}

// A camera of the recently-watched list plays in the cell it is dropped on, as its double click plays
// it: the history is not written again. Its day rows and the title row are not dragged.
TEST_F(WallConveniencesEndToEnd, RecentCameraDroppedOnACellPlaysThereWithoutRewritingTheHistory)
{
    CamListUI* recent = Main()->RecentList();
    RowDragSource* source = Main()->DragDrop()->RecentSource();
    if (RowOf(recent, "kv100101", false) < 0) {  // run alone: watched first, so that the list holds it
        ASSERT_GE(PlayingCell("kv100101"), 0);
        Wall()->StopAll();
    }
    ASSERT_TRUE(uitest::PumpUntil([&] { return RowOf(recent, "kv100101", false) >= 0; }, 5000));
    EXPECT_EQ(nullptr, RowData(recent, source, [](const DeviceNode* n) { return n->isGroup; }));
    const auto before = History();
    auto data = RowData(recent, source, [](const DeviceNode* n) { return !n->isGroup && n->label == "kv100101"; });
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(DropOn(1, *data));
    ASSERT_TRUE(PlaysIn("kv100101", 1)) << WallState();
    uitest::Pump(300);
    EXPECT_EQ(before, History());
}

// A node dropped on a cell: its own cameras take the free cells from that cell on, as its double
// click fills them from the first.
TEST_F(WallConveniencesEndToEnd, NodeDroppedOnACellFillsTheFreeCellsFromThatOne)
{
    Wall()->StopAll();
    ASSERT_TRUE(uitest::PumpUntil([] { return Main()->OpenAllReady(); }, 5000));
    auto node = RowData(Main()->DeviceList(), Main()->DragDrop()->TreeSource(),
                        [](const DeviceNode* n) { return n->isGroup && n->label == "一楼大厅"; });
    ASSERT_NE(node, nullptr);
    EXPECT_TRUE(DropOn(1, *node));
    ASSERT_TRUE(uitest::PumpUntil([] { return CellPlaying("kv100101") >= 0 && CellPlaying("kv100102") >= 0; }, 20000))
        << WallState();
    EXPECT_EQ((std::set<int>{1, 2}), (std::set<int>{CellPlaying("kv100101"), CellPlaying("kv100102")}));
    EXPECT_FALSE(Wall()->Panel(0)->IsBusy()) << "no cell before the one it was dropped on";
}

// A playing cell dropped on another: the two exchange their streams. The players move with them (the
// same player ids, still playing, frames still coming), so nothing is opened again; dropped on an
// empty cell, the stream moves there and leaves its cell empty.
TEST_F(WallConveniencesEndToEnd, CellDroppedOnAnotherSwapsTheStreamsWithoutReopening)
{
    // Both streams playing, not just opening (a cell counts as busy from its open on).
    auto playing = [](const char* camera) {
        const int cell = CellPlaying(camera);
        return cell >= 0 && PlayerManager::Instance()->GetState(Inner(cell)->PlayerId()) == 2;
    };
    ASSERT_TRUE(PlayingCell("kv100101") >= 0 && PlayingCell("kv100102") >= 0) << WallState();
    ASSERT_TRUE(uitest::PumpUntil([&] { return playing("kv100101") && playing("kv100102"); }, 20000));
    const int a = CellPlaying("kv100101");
    const int b = CellPlaying("kv100102");
    const int playerA = Inner(a)->PlayerId();
    const int playerB = Inner(b)->PlayerId();
    Select(a);

    EXPECT_TRUE(DropOn(b, *CellData(a), [&] {
        EXPECT_EQ(b, Main()->DragDrop()->DropTarget()->HoveredCell());
        SaveDragShot("wall-drag-cell.png", CellDragSource::DragPicture(Wall()->Panel(a)), b);
    }));
    EXPECT_EQ(playerB, Inner(a)->PlayerId());
    EXPECT_EQ(playerA, Inner(b)->PlayerId());
    EXPECT_EQ("kv100102", Wall()->Panel(a)->DeviceId());
    EXPECT_EQ("kv100101", Wall()->Panel(b)->DeviceId());
    // Never back to opening: the streams kept playing through the swap.
    EXPECT_EQ(2, PlayerManager::Instance()->GetState(playerA));
    EXPECT_EQ(2, PlayerManager::Instance()->GetState(playerB));
    const int framesA = Frames(a);
    const int framesB = Frames(b);
    EXPECT_TRUE(uitest::PumpUntil([&] { return Frames(a) > framesA + 5 && Frames(b) > framesB + 5; }, 5000));
    EXPECT_EQ(Wall()->Panel(a)->rect().adjusted(2, 2, -2, -2), Inner(a)->GetWidget()->geometry());
    EXPECT_EQ(Wall()->Panel(a), Inner(a)->Panel());
    EXPECT_EQ(b, Wall()->SelectedCell()) << "the selection follows the moved camera";
    EXPECT_EQ(LocalConfig::Instance()->GetCurrentCameraText(), "kv100101");

    // Onto an empty cell: the stream moves, the cell it left is empty.
    ASSERT_FALSE(Wall()->Panel(3)->IsBusy());
    EXPECT_TRUE(DropOn(3, *CellData(b)));
    EXPECT_EQ(playerA, Inner(3)->PlayerId());
    EXPECT_EQ("kv100101", Wall()->Panel(3)->DeviceId());
    EXPECT_FALSE(Wall()->Panel(b)->IsBusy());
    EXPECT_TRUE(uitest::PumpUntil([] { return CellPlaying("kv100101") == 3; }, 3000));

    // A cell is not dropped on itself, nor on a wall it does not belong to.
    int hovered = 0;
    EXPECT_FALSE(DropOn(3, *CellData(3), [&] { hovered = Main()->DragDrop()->DropTarget()->HoveredCell(); }));
    EXPECT_EQ(-1, hovered);
    std::unique_ptr<QMimeData> foreign(WallDragMime::Make(WallDragItem::Cell(1, 3)));
    EXPECT_FALSE(DropOn(0, *foreign));
    EXPECT_EQ("kv100101", Wall()->Panel(3)->DeviceId());
}

// The wall's shortcuts, typed into the main window.
TEST_F(WallConveniencesEndToEnd, ShortcutsPickLayoutsMoveTheSelectionAndDriveTheSelectedCell)
{
    QWidget* wall = Wall();
    // Both streams playing, not just opening (a cell counts as busy from its open on).
    auto playing = [](const char* camera) {
        const int cell = CellPlaying(camera);
        return cell >= 0 && PlayerManager::Instance()->GetState(Inner(cell)->PlayerId()) == 2;
    };
    ASSERT_TRUE(PlayingCell("kv100101") >= 0 && PlayingCell("kv100102") >= 0) << WallState();
    ASSERT_TRUE(uitest::PumpUntil([&] { return playing("kv100101") && playing("kv100102"); }, 20000));
    for (auto [key, count] : {std::pair{Qt::Key_1, 1}, {Qt::Key_2, 4}, {Qt::Key_3, 9}, {Qt::Key_4, 16}}) {
        QTest::keyClick(wall, key, Qt::ControlModifier);
        EXPECT_EQ(count, Wall()->LayoutCount());
    }
    Layout(WM_LAYOUT_4);

    // Arrows walk the 2 x 2 grid; the keys go to the wall, as after a click on a cell.
    wall->activateWindow();
    wall->setFocus();
    ASSERT_TRUE(uitest::PumpUntil([&] { return QApplication::focusWidget() == wall; }, 2000));
    Select(0);
    QTest::keyClick(wall, Qt::Key_Right);
    EXPECT_EQ(1, Wall()->SelectedCell());
    QTest::keyClick(wall, Qt::Key_Down);
    EXPECT_EQ(3, Wall()->SelectedCell());
    QTest::keyClick(wall, Qt::Key_Down);
    EXPECT_EQ(3, Wall()->SelectedCell()) << "the edge";
    QTest::keyClick(wall, Qt::Key_Left);
    EXPECT_EQ(2, Wall()->SelectedCell());
    QTest::keyClick(wall, Qt::Key_Up);
    EXPECT_EQ(0, Wall()->SelectedCell());

    // Enter steps the selected cell's full screen: alone in the wall, then covering the screen;
    // Escape brings it back to the last layout.
    const int cell = CellPlaying("kv100102");
    Select(cell);
    QTest::keyClick(wall, Qt::Key_Return);
    EXPECT_TRUE(uitest::PumpUntil([] { return Wall()->LayoutCount() == 0; }, 2000));
    CDlgPanel* panel = Wall()->Panel(cell);
    QTest::keyClick(panel, Qt::Key_Return);
    EXPECT_EQ(2, panel->FullScreenState());
    QTest::keyClick(panel, Qt::Key_Escape);
    EXPECT_TRUE(uitest::PumpUntil([&] { return panel->FullScreenState() == 0 && Wall()->LayoutCount() == 4; }, 3000));

    // F11: the wall's full screen, on and off (the second one typed into the wall covering the screen).
    QTest::keyClick(Main()->GetWidget(), Qt::Key_F11);
    EXPECT_TRUE(uitest::PumpUntil([] { return Wall()->IsWallFullScreen(); }, 2000));
    QTest::keyClick(wall, Qt::Key_F11);
    EXPECT_TRUE(uitest::PumpUntil([] { return !Wall()->IsWallFullScreen(); }, 2000));

    // Ctrl+S: a snapshot of the selected cell; Ctrl+R starts and then stops its recording.
    const std::string lastSnapshot = Inner(cell)->SnapshotPath();
    QTest::keyClick(wall, Qt::Key_S, Qt::ControlModifier);  // the button posts to its cell
    EXPECT_TRUE(uitest::PumpUntil([&] { return lastSnapshot != Inner(cell)->SnapshotPath(); }, 2000));
    EXPECT_TRUE(uitest::PumpUntil([&] { return std::filesystem::exists(Inner(cell)->SnapshotPath()); }, 5000));
    const int player = Inner(cell)->PlayerId();
    QTest::keyClick(wall, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(uitest::PumpUntil([&] { return PlayerManager::Instance()->GetState(player) == 5; }, 3000));
    uitest::Pump(2500);  // a key frame or two in the file
    QTest::keyClick(wall, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(uitest::PumpUntil([&] { return PlayerManager::Instance()->GetState(player) == 2; }, 3000));
    EXPECT_TRUE(std::filesystem::exists(Inner(cell)->RecordPath()));
    uitest::Pump(300);  // the capture tips
    for (QWidget* top : QApplication::topLevelWidgets())  // close them: they would cover the next shots
        if (top->isVisible() && top != Main()->GetWidget()->window() && top->windowFlags() & Qt::WindowStaysOnTopHint)
            top->close();

    // Delete closes the selected cell.
    QTest::keyClick(wall, Qt::Key_Delete);
    EXPECT_FALSE(Wall()->Panel(cell)->IsBusy());
    EXPECT_EQ(QStringLiteral("停止"), Inner(cell)->TipText());
}

// Keys a text field or the tree needs stay theirs; other shortcuts still act while the tree has the focus.
TEST_F(WallConveniencesEndToEnd, ShortcutsLeaveTextFieldsAndTheTreesArrowsAlone)
{
    Layout(WM_LAYOUT_4);
    Select(0);
    QWidget* window = Main()->GetWidget();
    window->activateWindow();

    auto* edit = new QLineEdit(window);  // stands for any text field of the window
    edit->setGeometry(10, 10, 120, 24);
    edit->show();
    edit->setFocus();
    ASSERT_TRUE(uitest::PumpUntil([&] { return QApplication::focusWidget() == edit; }, 2000));
    QTest::keyClicks(edit, "abc");
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("ab"), edit->text());
    EXPECT_EQ(0, Wall()->SelectedCell());
    EXPECT_EQ(4, Wall()->LayoutCount());
    delete edit;

    ListView* tree = Main()->DeviceList()->View();
    tree->setFocus();
    ASSERT_TRUE(uitest::PumpUntil([&] { return QApplication::focusWidget() == tree; }, 2000));
    Main()->DeviceList()->SelectItem(0);
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(1, tree->currentIndex().row()) << "the tree moved";
    EXPECT_EQ(0, Wall()->SelectedCell()) << "the wall's selection did not";
    QTest::keyClick(tree, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(9, Wall()->LayoutCount());
    Layout(WM_LAYOUT_4);
}

}  // namespace
