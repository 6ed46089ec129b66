// wall_shots OUTPUT_FOLDER: screenshots of the wall playing the simulated cameras: a 4-cell and a
// 16-cell wall, a cell with its toolbar, and the quality chooser open over a cell. Works offscreen
// and under Xvfb. Also the capture tips, the split chooser and the settings window.
#include "app/LocalConfig.h"
#include "ui/CControlUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/VideoSurface.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CDlgPanel.h"
#include "video/CPopWnd.h"
#include "video/CSettingWnd.h"
#include "video/CaptureTips.h"
#include "video/CPlayInnerWnd.h"
#include "video/CvyrProDlg.h"
#include "video/StreamServer.h"
#include "video/VideoSurfaceHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <filesystem>

namespace {

void Pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

QWidget* TopLevel(const QString& className)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == className && w->isVisible())
            return w;
    return nullptr;
}

bool Save(QWidget* widget, const QString& file)
{
    const bool saved = widget->grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
    return saved;
}

void Play(CvyrProDlg& wall, camsim::StreamServer& server, const char* prefix, int count, int width, int height)
{
    for (int i = 0; i < count; ++i) {
        const std::string id = prefix + std::to_string(i + 1);
        server.SetLiveSize(id, width, height);
        wall.OpenCamera(id, server.LiveUrl(id));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: wall_shots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    std::filesystem::create_directories(argv[1]);
    const std::string folder = std::filesystem::temp_directory_path() / ("kelvue_wall_shots_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    QApplication app(argc, argv);
    CPaintManagerUI::SetResourcePath(QString(KELVUE_SOURCE_DIR) + "/skin/");
    LocalConfig::Instance()->InitAt(folder + "/", folder + "/kelvue");
    InstallVideoSurfaceHost();
    camsim::StreamServer server;
    if (!server.Start())
        return 1;

    bool ok = true;
    {
        CvyrProDlg wall;
        wall.resize(800, 450);
        wall.show();
        Play(wall, server, "CAM", 4, 640, 360);
        ::SendMessage(wall.GetHWND(), WM_SELECT_CELL, 0, 1);
        Pump(4000);
        ok &= Save(&wall, out + "/wall4.png");

        // The toolbar of cell 0, as the mouse over the cell shows it.
        ::SendMessage(wall.Panel(0)->Inner()->GetHWND(), WM_MOUSEHOVER, 0, 0);
        Pump(300);
        ok &= Save(wall.Panel(0), out + "/cell_toolbar.png");

        // The quality chooser opened from the toolbar.
        CControlUI* quality = wall.Panel(0)->Inner()->Toolbar()->FindControl("btn_bitrateswitch");
        QTest::mouseClick(quality->GetWidget(), Qt::LeftButton);
        Pump(300);
        ok &= Save(wall.Panel(0), out + "/quality_chooser.png");

        // A snapshot of cell 1 and its tip, a recording tip, the split chooser and the settings.
        ::PostMessage(wall.Panel(1)->Inner()->GetHWND(), WM_CELL_SNAPSHOT, 0, 0);
        QWidget* tip = nullptr;
        for (int i = 0; i < 300 && (tip = TopLevel("CSnapnotTipWnd")) == nullptr; ++i)
            Pump(10);
        if (tip != nullptr)
            ok &= Save(tip, out + "/snapshot_tip.png");
        ShowRecordTip(LocalConfig::Instance()->GetVideoPath() + "2016_3_9_14_5_7_42.flv");
        Pump(200);
        if (QWidget* record = TopLevel("CRecrodTipWnd"))
            ok &= Save(record, out + "/record_tip.png");
        CPopWnd chooser;
        chooser.Create(nullptr, "PopWnd", UI_WNDSTYLE_DIALOG, WS_EX_TOOLWINDOW);
        chooser.ShowWindow(true);
        Pump(200);
        ok &= Save(chooser.GetWidget(), out + "/split_chooser.png");
        chooser.Close(0);
        QTimer::singleShot(300, [&] {
            if (QWidget* settings = TopLevel("CSettingWnd")) {
                ok &= Save(settings, out + "/settings.png");
                CWindowWnd::FromWidget(settings)->Close(1);
            }
        });
        CSettingWnd::ShowSettings(nullptr);
        wall.StopAll();
    }
    {
        CvyrProDlg wall;
        wall.resize(1280, 720);
        wall.show();
        ::SendMessage(wall.GetHWND(), WM_LAYOUT_16, 0, 0);
        Play(wall, server, "SITE", 16, 320, 180);
        Pump(5000);
        ok &= Save(&wall, out + "/wall16.png");
        wall.StopAll();
    }
    server.Stop();
    std::filesystem::remove_all(folder);
    return ok ? 0 : 1;
}
