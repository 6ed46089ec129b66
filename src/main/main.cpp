// The kelvue program: start-up, the log-in window, then the main window. It reads no command-line
// options of its own (Qt's, such as -platform, are Qt's business).
#include "app/LocalConfig.h"
#include "app/StartupEnvironment.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CLoginFrameWnd.h"
#include "duiWrap/ProgramExit.h"
#include "glooxWrap/CIMClient.h"
#include "glooxWrap/DeviceMessenger.h"
#include "glooxWrap/XmppLibrary.h"
#include "service/CurlLibrary.h"
#include "service/DeviceMgr.h"
#include "ui/AfterFirstPaint.h"
#include "ui/CPaintManagerUI.h"
#include "ui/ModalLoop.h"
#include "video/VideoSurfaceHost.h"

#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// Without its layout (the executable copied away from its skin folder, a damaged installation) the
// log-in window would be built empty and never seen, and the program would seem not to start.
void ReportMissingSkin()
{
    const QString layout = CPaintManagerUI::GetResourcePath() + QStringLiteral("skinLogin.xml");
    std::fprintf(stderr, "kelvue: the log-in window's layout %s cannot be read\n", qPrintable(layout));
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Kelvue"),
                    QStringLiteral("程序的界面文件缺失或损坏：\n%1\n请重新安装程序。").arg(layout), QMessageBox::Ok);
    // Run in the toolkit's modal loop, which a termination signal (a logout) also ends.
    ModalLoop loop;
    QObject::connect(&box, &QMessageBox::finished, [&loop] { loop.End(); });
    box.show();
    loop.Run();
}

}  // namespace

int main(int argc, char** argv)
{
    // A peer that goes away while the client writes to it (the IM server, a camera's stream) must not
    // end the program: the write fails with EPIPE and the connection's own error handling takes over.
    std::signal(SIGPIPE, SIG_IGN);
    StartupEnvironment::NameSessionBus();
    // Fontconfig reads its configuration (some forty files) on the other core while the application
    // connects to the display; the log-in window's first text then finds it read.
    std::thread([] { FcInit(); }).detach();
    QApplication app(argc, argv);
    StartupEnvironment::Prepare(argv[0]);
    ProgramExit::Prepare();
    CPaintManagerUI::SetInstance(nullptr);
    // The skin beside the executable, or the installed one (LocalConfig knows which).
    CPaintManagerUI::SetResourcePath(QString::fromStdString(LocalConfig::Instance()->SkinDirectory()));
    // The menu entry and icon of the installed package (the icon theme's "kelvue").
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvue"));
    InstallVideoSurfaceHost();
    // A camera bound from a dialog is subscribed to at once, unless the roster already holds it.
    DeviceMgr::Instance()->SetCameraSubscriber([](const std::string& deviceId) {
        CIMClient* im = CIMClient::Instance();
        if (!im->IsFriend(deviceId))
            im->Subscribe(DeviceJid(deviceId));
    });

    UINT result = 0;
    {
        CLoginFrameWnd login;
        login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
        if (login.GetPaintManager()->GetRoot() == nullptr) {
            login.ShowWindow(false);  // an empty frame, not a window to show
            ReportMissingSkin();
            return 1;
        }
        login.CenterWindow();
        // What the log-in window does not need waits until the user sees it: the icon theme lookup
        // parses the theme's index, the launcher asks programs for the desktop folder, and libcurl and
        // the IM library are loaded (on a thread, ready for the log-in request and the IM connection
        // after it) with their thirty libraries.
        AfterFirstPaint::Run(login.GetWidget(), [] {
            QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kelvue")));
            StartupEnvironment::RefreshDesktopLauncher();
            std::thread([] {
                CurlLibrary::Get();
                XmppLibrary::Instance().Get();
            }).detach();
        });
        result = login.ShowModal();
    }
    if (result != CLoginFrameWnd::kLoggedIn)
        return 0;  // exit() runs ProgramExit::FinishMainWindow

    CDuiFrameWnd::Instance()->Run();
    // The window is not destroyed: the recordings and the log are finished and its IM connection
    // ended as its destruction would; the command workers run until the process ends.
    ProgramExit::FinishMainWindow();
    std::_Exit(0);
}
