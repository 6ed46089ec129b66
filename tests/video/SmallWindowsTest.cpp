#include "WallEnvironment.h"

#include "app/IniFile.h"
#include "ui/CControlUI.h"
#include "ui/COptionUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CWindowWnd.h"
#include "ui/ShowMsgTip.h"
#include "ui/WindowImplBase.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CCaptureTipWnd.h"
#include "video/CPopWnd.h"
#include "video/CSettingWnd.h"
#include "video/CaptureTips.h"
#include "video/CvyrProDlg.h"
#include "video/FileManager.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <fstream>

using namespace walltest;

namespace {

void Click(WindowImplBase* window, const char* name)
{
    CControlUI* control = window->FindControl(name);
    ASSERT_NE(nullptr, control) << name;
    QWidget* widget = control->GetWidget();
    // A check box reacts on its box and text only, not on the rest of its width.
    const QPoint at = qobject_cast<QCheckBox*>(widget) != nullptr ? QPoint(8, widget->height() / 2) : widget->rect().center();
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

// Runs the settings window modally; `script` acts on it from inside its loop.
void RunSettings(const std::function<void(WindowImplBase*)>& script)
{
    QTimer::singleShot(0, [script] {
        WindowImplBase* settings = nullptr;
        PumpUntil([&] { return (settings = WindowOf(TopLevel("CSettingWnd"))) != nullptr; });
        ASSERT_NE(nullptr, settings);
        script(settings);
        if (WindowImplBase* left = WindowOf(TopLevel("CSettingWnd")))
            left->Close(1);  // a failed script must not leave the modal loop running
    });
    CSettingWnd::ShowSettings(nullptr);
}

std::string ConfigValue(const char* key)
{
    IniFile ini;
    ini.Bind(LocalConfig::Instance()->GetConfigFilePath());
    std::string value;
    ini.ReadString("config", key, "", value);
    return value;
}

}  // namespace

TEST(CaptureTips, ShowThePathInTheCornerAndOpenTheFolder)
{
    std::vector<std::string> opened;
    FileManager::SetLauncher([&](const std::string& folder) { opened.push_back(folder); });
    const std::string path = (WallEnvironment::folder / "REC" / "2016_3_9_14_5_7_42.flv").string();
    ASSERT_NE(nullptr, ShowRecordTip(path));
    WindowImplBase* tip = WindowOf(TopLevel("CRecrodTipWnd"));
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(QString::fromStdString(path), tip->FindControl("dir")->GetText());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect at = tip->GetWidget()->frameGeometry();
    EXPECT_EQ(screen.right() - 10, at.right());
    EXPECT_EQ(screen.bottom() - 10, at.bottom());
    HWND handle = tip->GetHWND();
    Click(tip, "dir");
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(handle); }));
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(path, opened[0]) << "the file manager is asked to show the file itself";

    ASSERT_NE(nullptr, ShowSnapshotTip("/tmp/x.png"));
    ASSERT_NE(nullptr, ShowRecordTip("/tmp/y.flv"));  // several tips at once
    WindowImplBase* snap = WindowOf(TopLevel("CSnapnotTipWnd"));
    ASSERT_NE(nullptr, snap);
    EXPECT_EQ(QString("/tmp/x.png"), snap->FindControl("picdisplay")->GetAttribute("bkimage"));
    handle = snap->GetHWND();
    Click(snap, "close");
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(handle); }));
    EXPECT_NE(nullptr, TopLevel("CRecrodTipWnd"));
    WindowOf(TopLevel("CRecrodTipWnd"))->Close(1);

    EXPECT_EQ(nullptr, ShowRecordTip(""));  // nothing to announce
    Pump(50);
    EXPECT_EQ(nullptr, TopLevel("CRecrodTipWnd"));
    EXPECT_EQ(1u, opened.size());
}

// The settings window stands for the main window here: both run modally without an owner. The
// tips must stay usable meanwhile (clicks go through the window system's path, where a modal window
// blocks the windows it covers), lie in the corner of the video they came from, and not on each other.
TEST(CaptureTips, UsableBesideAModalWindowWithoutOwnerAndStackedInTheVideosCorner)
{
    std::vector<std::string> shown;
    FileManager::SetLauncher([&](const std::string& file) { shown.push_back(file); });
    QWidget video;
    video.setGeometry(60, 80, 700, 520);
    video.show();
    auto systemClick = [](CCaptureTipWnd* tip, const char* name) {
        QWidget* control = tip->FindControl(name)->GetWidget();
        QWidget* top = control->window();
        QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, control->mapTo(top, control->rect().center()));
    };
    const std::string folder = (WallEnvironment::folder / "REC").string() + "/";
    RunSettings([&](WindowImplBase*) {
        const QRect area(video.mapToGlobal(QPoint(0, 0)), video.size());
        std::vector<CCaptureTipWnd*> tips;
        for (const char* name : {"1.png", "2.flv", "3.flv", "4.png"}) {
            const std::string path = folder + name;
            tips.push_back(path.ends_with(".png") ? ShowSnapshotTip(path, &video) : ShowRecordTip(path, &video));
            ASSERT_NE(nullptr, tips.back());
        }
        std::vector<QRect> at;
        for (CCaptureTipWnd* tip : tips)
            at.push_back(tip->GetWidget()->frameGeometry());
        EXPECT_EQ(QPoint(area.right() - 10, area.bottom() - 10), at[0].bottomRight());
        for (size_t i = 0; i < at.size(); ++i) {
            EXPECT_TRUE(area.contains(at[i])) << i;
            for (size_t j = 0; j < i; ++j)
                EXPECT_FALSE(at[i].intersects(at[j])) << i << " lies on " << j;
        }

        HWND first = tips[0]->GetHWND();
        systemClick(tips[0], "close");
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(first); }, 2000)) << "the × closes its tip";
        HWND second = tips[1]->GetHWND();
        systemClick(tips[1], "dir");
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(second); }, 2000)) << "the link closes its tip";
        EXPECT_EQ(std::vector<std::string>{folder + "2.flv"}, shown) << "the link shows the file";

        CCaptureTipWnd* next = ShowRecordTip(folder + "5.flv", &video);
        ASSERT_NE(nullptr, next);
        EXPECT_EQ(at[0].bottomRight(), next->GetWidget()->frameGeometry().bottomRight()) << "the freed corner";
        CloseAll("CRecrodTipWnd");
        CloseAll("CSnapnotTipWnd");
        Pump(50);
    });
    EXPECT_EQ(nullptr, TopLevel("CRecrodTipWnd"));
}

TEST(Settings, OkSavesFoldersToConfigIniAndCancelWritesNothing)
{
    const std::string chosen = (WallEnvironment::folder / "chosen videos").string();
    std::filesystem::create_directories(chosen);
    QString askedTitle;
    CSettingWnd::SetFolderChooser([&](QWidget*, const QString& title) {
        askedTitle = title;
        return QString::fromStdString(chosen);
    });
    LocalConfig* config = LocalConfig::Instance();
    RunSettings([&](WindowImplBase* settings) {
        EXPECT_EQ(QString::fromStdString(config->GetPicPath()), settings->FindControl("et_picpath")->GetText());
        EXPECT_EQ(QString::fromStdString(config->GetReVideoPath()), settings->FindControl("et_revidoepath")->GetText());
        EXPECT_FALSE(settings->FindControl("ok")->IsEnabled());
        Click(settings, "opt_alarmset");
        EXPECT_EQ(1, dynamic_cast<CTabLayoutUI*>(settings->FindControl("tab_setting"))->GetCurSel());
        Click(settings, "opt_pathset");
        EXPECT_EQ(0, dynamic_cast<CTabLayoutUI*>(settings->FindControl("tab_setting"))->GetCurSel());
        Click(settings, "btn_video");
        EXPECT_EQ(QString::fromStdString(chosen), settings->FindControl("et_videopath")->GetText());
        EXPECT_TRUE(settings->FindControl("ok")->IsEnabled());
        Click(settings, "ok");
    });
    EXPECT_EQ(QString("请选择一个存储目录："), askedTitle);
    EXPECT_EQ(chosen, ConfigValue("videopath")) << "stored as chosen";
    EXPECT_EQ(chosen + "/", config->GetVideoPath()) << "read back with the separator";
    EXPECT_EQ(config->GetPicPath(), ConfigValue("picpath"));
    EXPECT_FALSE(config->IsReceiveAlarm());

    // The alarm option enables ok; cancel then writes nothing.
    RunSettings([&](WindowImplBase* settings) {
        Click(settings, "opt_alarmset");
        Click(settings, "opt_revalarm");
        EXPECT_TRUE(settings->FindControl("ok")->IsEnabled());
        Click(settings, "cancel");
    });
    EXPECT_FALSE(config->IsReceiveAlarm());
    RunSettings([&](WindowImplBase* settings) {
        Click(settings, "opt_alarmset");
        Click(settings, "opt_revalarm");
        Click(settings, "ok");
    });
    EXPECT_TRUE(config->IsReceiveAlarm());
    EXPECT_EQ("1", ConfigValue("revalarm"));
    RunSettings([&](WindowImplBase* settings) {
        EXPECT_TRUE(dynamic_cast<COptionUI*>(settings->FindControl("opt_revalarm"))->IsSelected());
        CSettingWnd::SetFolderChooser([](QWidget*, const QString&) { return QString(); });  // cancelled
        Click(settings, "btn_pic");
        EXPECT_FALSE(settings->FindControl("ok")->IsEnabled());
        Click(settings, "close");
    });
}

TEST(Settings, ARefusedWriteIsReportedAndTheWindowStaysOpen)
{
    LocalConfig* config = LocalConfig::Instance();
    const std::filesystem::path ini = config->GetConfigFilePath();
    const std::filesystem::path kept = ini.string() + ".kept";
    std::filesystem::rename(ini, kept);
    std::filesystem::create_directory(ini);  // a config.ini that cannot be read refuses every write
    QStringList shown;
    SetMsgTipHook([&](HWND, const QString& text) {
        shown << text;
        return true;
    });
    CSettingWnd::SetFolderChooser([](QWidget*, const QString&) { return QString("/tmp/elsewhere"); });
    bool open = false;
    RunSettings([&](WindowImplBase* settings) {
        Click(settings, "btn_pic");
        Click(settings, "ok");
        open = WindowOf(TopLevel("CSettingWnd")) != nullptr;
        Click(settings, "cancel");
    });
    SetMsgTipHook({});
    CSettingWnd::SetFolderChooser({});
    std::filesystem::remove(ini);
    std::filesystem::rename(kept, ini);
    EXPECT_EQ(QStringList{"设置保存失败，请检查配置文件config.ini是否可写"}, shown);
    EXPECT_TRUE(open) << "the choices are still there to cancel or try again";
    EXPECT_NE("/tmp/elsewhere/", config->GetPicPath());
}

TEST(SplitChooser, LayoutButtonsReachTheWallThroughTheOwner)
{
    CvyrProDlg wall;
    wall.resize(640, 360);
    MainWindowStub main;
    main.relay = [&](UINT message) { ::SendMessage(wall.GetHWND(), message, 0, 0); };
    auto* chooser = new CPopWnd();
    chooser->SetOwner(main.GetHWND());
    chooser->Create(nullptr, "PopWnd", UI_WNDSTYLE_DIALOG, WS_EX_TOOLWINDOW);
    chooser->ShowWindow(true);
    const std::pair<const char*, int> buttons[] = {{"btn14", 14}, {"btn17", 17}, {"btn1", 1}, {"btn64", 64},
                                                   {"btn6", 6},   {"btn8", 8},   {"btn36", 36}, {"btn9", 9}};
    for (const auto& [name, count] : buttons) {
        Click(chooser, name);
        EXPECT_EQ(count, wall.LayoutCount()) << name;
    }
    EXPECT_TRUE(chooser->GetWidget()->isVisible()) << "the chooser stays open";
    HWND handle = chooser->GetHWND();
    ::SendMessage(handle, WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4 closes only the chooser
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(handle); }));
    EXPECT_TRUE(IsWindow(main.GetHWND()));
    EXPECT_TRUE(IsWindow(wall.GetHWND()));
    delete chooser;  // the main window keeps its chooser for the whole run; the test ends it
}
