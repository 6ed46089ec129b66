// Saved views and the second window through the whole client against the demo stack (cloudsim,
// camsim, prosody): the last view restored at log-in, saving, listing and restoring views from the
// split chooser, a view in a window of its own playing beside the main wall (its full screen, a
// snapshot and the playback of one of its cells) and stopping its cells when closed, a view naming a
// camera the account no longer has, and a views file that is not one. The tests run in order on one client.
#include "ClientEndToEnd.h"

#include "app/LocalConfig.h"
#include "app/SavedViews.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "ui/CWindowWnd.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "ui/VideoSurface.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CPopWnd.h"
#include "video/CRemoveQuery.h"
#include "video/CvyrProDlg.h"
#include "video/PlayerManager.h"
#include "video/SavedViewsPanel.h"
#include "video/ViewHistory.h"
#include "video/ViewWindow.h"
#include "video/WallViews.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace e2e;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteAll(const std::string& path, const std::string& content)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// The cell shows frames of this camera.
bool Plays(CvyrProDlg* wall, int cell, const std::string& deviceId)
{
    CDlgPanel* panel = wall->Panel(cell);
    return panel != nullptr && panel->IsBusy() && panel->DeviceId() == deviceId && panel->Inner()->Surface() &&
           panel->Inner()->Surface()->FramesPainted() > 0;
}

int Painted(CvyrProDlg* wall, int cell)
{
    return wall->Panel(cell)->Inner()->Surface()->FramesPainted();
}

std::string CellsOf(CvyrProDlg* wall)
{
    std::string out = "layout " + std::to_string(wall->LayoutCount()) + ":";
    for (int i = 0; i < 9; ++i) {
        CDlgPanel* panel = wall->Panel(i);
        out += " [" + std::to_string(i) + (panel->IsBusy() ? " busy " : " free ") + panel->DeviceId() + "]";
    }
    return out;
}

void ClickWidget(QWidget* widget)
{
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton);
}

}  // namespace

class SavedViewsEndToEnd : public ClientEndToEnd {
public:
    static void SetUpTestSuite()
    {
        ClientEndToEnd::SetUpTestSuite();
        // What an earlier session left: the option on and a last view of two cameras in cells 1 and 2.
        WriteAll(ViewsFile(), R"({"version": 1, "restoreAtLogin": true, "lastView": "门口",
  "views": [{"name": "门口", "layout": 4, "cells": [{"cell": 1, "camera": "kv100102"}, {"cell": 2, "camera": "kv100103"}]}]})");
        StartClient();
    }

protected:
    static std::string ViewsFile() { return SavedViews::PathFor(programDir_, kAccount); }
    static CvyrProDlg* Wall() { return Main()->VideoWall(); }
    static WallViews* Views() { return Main()->SavedWallViews(); }

    // The split chooser opened by its button, with the views listed under the layouts.
    static SavedViewsPanel* OpenChooser()
    {
        const auto shown = [] {
            CPopWnd* popup = Main()->SplitPopup();
            return popup != nullptr && popup->GetWidget() != nullptr && popup->GetWidget()->isVisible();
        };
        // A chooser closed by activating the main window swallows the next click on its button.
        for (int attempt = 0; attempt < 2 && !shown(); ++attempt) {
            uitest::Click(Main()->FindControl(QStringLiteral("IDC_BTN_SPLITSCREEN")));
            uitest::PumpUntil(shown, 1000);
        }
        return Views()->Panel();
    }

    static void SaveAs(const QString& name)
    {
        SavedViewsPanel* panel = OpenChooser();
        ASSERT_NE(panel, nullptr);
        panel->NameField()->clear();
        panel->NameField()->setFocus();
        QInputMethodEvent commit;  // Chinese text comes from an input method, not from key presses
        commit.setCommitString(name);
        QApplication::sendEvent(panel->NameField(), &commit);
        ClickWidget(panel->SaveButton());
        uitest::Pump(50);
    }
};

TEST_F(SavedViewsEndToEnd, TheLastViewIsRestoredAtLogIn)
{
    ASSERT_TRUE(uitest::PumpUntil([] { return Plays(Wall(), 1, "kv100102") && Plays(Wall(), 2, "kv100103"); }, 20000))
        << CellsOf(Wall());
    EXPECT_EQ(Wall()->LayoutCount(), 4);
    EXPECT_FALSE(Wall()->Panel(0)->IsBusy()) << "the view's empty cells stay empty";
    std::map<std::string, std::vector<std::string>> days;
    ViewHistory::Instance()->LoadGroups(days);
    bool watched = false;
    for (const auto& [day, cameras] : days)
        watched = watched || std::find(cameras.begin(), cameras.end(), "kv100103") != cameras.end();
    EXPECT_TRUE(watched) << "a restored camera counts as watched";
    SavedViewsPanel* panel = OpenChooser();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->RestoreAtLoginBox()->isChecked());
    EXPECT_NE(panel->RestoreButton("门口"), nullptr);
}

TEST_F(SavedViewsEndToEnd, ViewsAreSavedListedAndRestoredWithOneClick)
{
    uitest::MsgTipRecorder boxes;
    // Another arrangement: nine cells, a third camera in the selected cell.
    OpenChooser();
    uitest::Click(Main()->SplitPopup()->FindControl(QStringLiteral("btn9")));
    ::PostMessage(Wall()->GetHWND(), WM_SELECT_CELL, 0, 7);
    uitest::Pump(50);
    ASSERT_TRUE(ActivateCamera("kv100105"));
    ASSERT_TRUE(uitest::PumpUntil([] { return Plays(Wall(), 7, "kv100105"); }, 15000)) << CellsOf(Wall());
    SaveAs(QStringLiteral("值班"));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();

    SavedViewsPanel* panel = Views()->Panel();
    ASSERT_NE(panel->RestoreButton("值班"), nullptr) << "the new view is listed";
    ASSERT_NE(panel->RestoreButton("门口"), nullptr);
    uitest::Pump(100);
    uitest::SaveScreen(QString::fromStdString(ScreenshotDir() + "/views-list.png"));
    SavedViews stored(ViewsFile());
    ASSERT_EQ(stored.Load(), SavedViews::LoadResult::Loaded);
    ASSERT_NE(stored.Find("值班"), nullptr);
    EXPECT_EQ(stored.Find("值班")->layoutCount, 9);
    EXPECT_EQ(stored.Find("值班")->cameras,
              (std::map<int, std::string>{{1, "kv100102"}, {2, "kv100103"}, {7, "kv100105"}}));
    EXPECT_EQ(stored.LastView(), "值班");

    ClickWidget(panel->RestoreButton("门口"));
    ASSERT_TRUE(uitest::PumpUntil([] { return Plays(Wall(), 1, "kv100102") && Plays(Wall(), 2, "kv100103"); }, 15000))
        << CellsOf(Wall());
    EXPECT_EQ(Wall()->LayoutCount(), 4);
    EXPECT_FALSE(Wall()->Panel(7)->IsBusy()) << "restoring a view stops the cells it does not name";

    ClickWidget(Views()->Panel()->RestoreButton("值班"));
    ASSERT_TRUE(uitest::PumpUntil([] { return Plays(Wall(), 7, "kv100105") && Plays(Wall(), 1, "kv100102"); }, 15000))
        << CellsOf(Wall());
    EXPECT_EQ(Wall()->LayoutCount(), 9);

    // The option follows its box into the file.
    ClickWidget(Views()->Panel()->RestoreAtLoginBox());
    SavedViews reread(ViewsFile());
    reread.Load();
    EXPECT_FALSE(reread.RestoreAtLogin());
    ClickWidget(Views()->Panel()->RestoreAtLoginBox());
    reread.Load();
    EXPECT_TRUE(reread.RestoreAtLogin());
}

TEST_F(SavedViewsEndToEnd, AViewPlaysInAWindowOfItsOwnBesideTheMainWallAndClosingItStopsItsCells)
{
    uitest::MsgTipRecorder boxes;
    const HWND mainWall = Wall()->GetHWND();
    ASSERT_TRUE(uitest::PumpUntil([] { return Plays(Wall(), 7, "kv100105"); }, 15000)) << CellsOf(Wall());
    ClickWidget(OpenChooser()->WindowButton("门口"));
    ASSERT_EQ(Views()->OpenWindows().size(), 1u);
    ViewWindow* window = Views()->OpenWindows().front();
    CvyrProDlg* second = window->Wall();
    ASSERT_TRUE(uitest::PumpUntil([&] { return Plays(second, 1, "kv100102") && Plays(second, 2, "kv100103"); }, 20000))
        << CellsOf(second);
    EXPECT_EQ(second->LayoutCount(), 4);
    EXPECT_EQ(LocalConfig::Instance()->GetVideoWallWindow(), mainWall) << "the main wall stays the wall";
    // Both walls draw at once, each cell with a player of its own.
    const int mainBefore = Painted(Wall(), 7);
    const int secondBefore = Painted(second, 1);
    uitest::Pump(1500);
    EXPECT_GT(Painted(Wall(), 7), mainBefore);
    EXPECT_GT(Painted(second, 1), secondBefore);
    EXPECT_NE(second->Panel(1)->Inner()->PlayerId(), Wall()->Panel(1)->Inner()->PlayerId());
    EXPECT_TRUE(Plays(Wall(), 1, "kv100102")) << "the same camera keeps playing on the main wall";
    window->grab().save(QString::fromStdString(ScreenshotDir() + "/view-window.png"));

    // Full screen on the window's own screen, and back with Escape.
    ClickWidget(window->findChild<QWidget*>("fullscreen"));
    ASSERT_TRUE(uitest::PumpUntil([&] { return second->IsWallFullScreen(); }));
    EXPECT_EQ(second->geometry(), window->screen()->geometry());
    EXPECT_FALSE(Wall()->IsWallFullScreen());
    QTest::keyClick(second, Qt::Key_Escape);
    ASSERT_TRUE(uitest::PumpUntil([&] { return !second->IsWallFullScreen(); }));
    EXPECT_EQ(second->parentWidget(), window);
    // A cell's full screen too; Escape in its play window brings it back to its own wall.
    CDlgPanel* cell = second->Panel(1);
    cell->ToggleFullScreen();
    uitest::Pump(100);
    cell->ToggleFullScreen();
    ASSERT_TRUE(uitest::PumpUntil([&] { return cell->FullScreenState() == 2 && cell->isVisible(); }));
    EXPECT_EQ(cell->geometry(), window->screen()->geometry());
    uitest::PressKey(*cell->Inner(), Qt::Key_Escape);
    EXPECT_TRUE(uitest::PumpUntil([&] { return cell->FullScreenState() == 0 && window->isVisible(); }))
        << "Escape in a cell of the second wall";
    EXPECT_EQ(cell->parentWidget(), second);
    ASSERT_TRUE(uitest::PumpUntil([&] { return second->LayoutCount() == 4; }));

    // The cell's captures and playback work as on the main wall.
    const std::string pictures = LocalConfig::Instance()->GetPicPath();
    const auto count = [&] { return std::distance(fs::directory_iterator(pictures), fs::directory_iterator()); };
    const auto before = count();
    ::PostMessage(second->Panel(2)->Inner()->GetHWND(), WM_CELL_SNAPSHOT, 0, 0);
    EXPECT_TRUE(uitest::PumpUntil([&] { return count() == before + 1; }, 10000)) << "a snapshot of the second wall";
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "CSnapnotTipWnd" && w->isVisible())
            if (auto* tip = dynamic_cast<CWindowWnd*>(CWindowWnd::FromWidget(w)))
                tip->Close(1);
    bool playbackShown = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* playback = dynamic_cast<CRemoveQuery*>(CWindowWnd::FromWidget(w)); playback && w->isVisible()) {
                look.stop();
                playbackShown = Main()->CurDeviceId() == "kv100103";
                uitest::Click(playback->FindControl(QStringLiteral("IDC_CLOSE")));
                return;
            }
    });
    look.start(50);
    ::PostMessage(window->GetHWND(), WM_CELL_PLAYBACK, 2, 0);
    EXPECT_TRUE(uitest::PumpUntil([&] { return playbackShown; }, 10000)) << "the playback of the second wall's cell";
    look.stop();
    uitest::Pump(200);

    std::vector<int> players;
    for (int cell : {1, 2})
        players.push_back(second->Panel(cell)->Inner()->PlayerId());
    window->close();
    uitest::Pump(200);
    EXPECT_TRUE(Views()->OpenWindows().empty());
    for (int cell : {1, 2}) {
        EXPECT_FALSE(second->Panel(cell)->IsBusy()) << "cell " << cell;
        EXPECT_FALSE(PlayerManager::IsActiveState(PlayerManager::Instance()->GetState(players[cell - 1])));
    }
    const int mainNow = Painted(Wall(), 7);
    uitest::Pump(1000);
    EXPECT_GT(Painted(Wall(), 7), mainNow) << "the main wall plays on";
    EXPECT_TRUE(Plays(Wall(), 1, "kv100102"));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();

    // Opened again, the closed window serves the next view.
    ClickWidget(OpenChooser()->WindowButton("值班"));
    ASSERT_EQ(Views()->OpenWindows().size(), 1u);
    EXPECT_EQ(Views()->OpenWindows().front(), window);
    EXPECT_TRUE(uitest::PumpUntil([&] { return Plays(second, 7, "kv100105"); }, 20000)) << CellsOf(second);
    window->close();
    uitest::Pump(100);
}

TEST_F(SavedViewsEndToEnd, ACameraTheAccountNoLongerHasLeavesItsCellEmpty)
{
    uitest::MsgTipRecorder boxes;
    // As the next log-in finds it: a view naming a camera that was unbound meanwhile.
    WriteAll(ViewsFile(), R"({"version": 1, "restoreAtLogin": false, "lastView": "",
  "views": [{"name": "旧", "layout": 4, "cells": [{"cell": 0, "camera": "kv999999"}, {"cell": 3, "camera": "kv100101"}]}]})");
    Views()->Load();
    ClickWidget(OpenChooser()->RestoreButton("旧"));
    ASSERT_TRUE(uitest::PumpUntil([] { return Plays(Wall(), 3, "kv100101"); }, 15000)) << CellsOf(Wall());
    EXPECT_FALSE(Wall()->Panel(0)->IsBusy());
    EXPECT_EQ(Wall()->Panel(0)->DeviceId(), "");
    ASSERT_TRUE(uitest::PumpUntil([&] { return !boxes.texts.isEmpty(); }));
    EXPECT_TRUE(boxes.texts.front().contains("kv999999")) << boxes.texts.join('|').toStdString();

    ClickWidget(OpenChooser()->RemoveButton("旧"));
    uitest::Pump(50);
    EXPECT_EQ(Views()->Panel()->RestoreButton("旧"), nullptr);
    SavedViews stored(ViewsFile());
    ASSERT_EQ(stored.Load(), SavedViews::LoadResult::Loaded);
    EXPECT_TRUE(stored.Views().empty());
}

TEST_F(SavedViewsEndToEnd, AViewsFileThatIsNotViewsIsKeptAsideReportedAndNotOverwritten)
{
    uitest::MsgTipRecorder boxes;
    const std::string garbage = "{\"views\": [{\"name\": \"x\", \"layout\": 4, \"cells\": [";
    WriteAll(ViewsFile(), garbage);
    Views()->Load();
    ASSERT_TRUE(uitest::PumpUntil([&] { return !boxes.texts.isEmpty(); }));
    const std::string aside = ViewsFile() + ".bad";
    EXPECT_TRUE(boxes.texts.front().contains(QString::fromStdString(aside))) << boxes.texts.join('|').toStdString();
    EXPECT_EQ(ReadAll(aside), garbage);
    EXPECT_FALSE(fs::exists(ViewsFile()));
    EXPECT_TRUE(Views()->Views().Views().empty());
    SavedViewsPanel* panel = OpenChooser();
    EXPECT_EQ(panel->RestoreButton("旧"), nullptr) << "no views listed";

    // The client carries on: a new view goes to a new file, the one kept aside stays as it was.
    SaveAs(QStringLiteral("新"));
    EXPECT_NE(Views()->Panel()->RestoreButton("新"), nullptr);
    EXPECT_EQ(ReadAll(aside), garbage);
    SavedViews stored(ViewsFile());
    EXPECT_EQ(stored.Load(), SavedViews::LoadResult::Loaded);
    EXPECT_NE(stored.Find("新"), nullptr);
    EXPECT_EQ(boxes.texts.size(), 1) << boxes.texts.join('|').toStdString();
}
