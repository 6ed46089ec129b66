// One log-in against the demo stack, timed from the log-in request to the device tree shown with
// every camera's presence; run once per process (the session, the IM connection and the main window
// exist once per process). Prints the milliseconds.
//   login_bench client      the log-in window's log-in, then the main window until its tree is complete
//   login_bench reference   the same protocol work without windows (log-in request, device-list query,
//                           IM connection until the roster and the presences have arrived) plus one bare
//                           window of the main window's size shown (exposed and painted)
//   login_bench shots DIR   the client's run, writing screenshots to DIR: the log-in window, the main
//                           window with the wall at 4 and at 16 cells, the password and settings dialogs
#include "app/LocalConfig.h"
#include "app/UserSession.h"
#include "duiWrap/CChangePwdWnd.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CLoginFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/RowMarkup.h"
#include "glooxWrap/CIMClient.h"
#include "glooxWrap/ImConnection.h"
#include "glooxWrap/ImEvents.h"
#include "service/CurlLibrary.h"
#include "service/DeviceMgr.h"
#include "ui/MessageTarget.h"
#include "ui/ModalLoop.h"
#include "ui/UIlib.h"
#include "ui/WindowMessages.h"
#include "video/CSettingWnd.h"
#include "video/CvyrProDlg.h"
#include "video/VideoSurfaceHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <glog/logging.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

namespace {

constexpr const char* kAccount = "13800138000";
constexpr const char* kPassword = "kelvue123";
constexpr size_t kCameras = 12;  // cameras of the demo account (one of them bound under two nodes)
constexpr size_t kOnline = 9;

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Receives the IM events for the reference run.
class ImEventSink : public MessageTarget {
public:
    std::set<std::string> online;
    bool roster = false;
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_IM_ROSTER)
            roster = true;
        else if (message == WM_IM_PRESENCE && wParam == 0)
            online.insert(TakePresenceId(lParam));
        else if (message == WM_IM_PRESENCE)
            TakePresenceId(lParam);
        else if (message == WM_IM_MESSAGE)
            TakeImMessage(lParam);
        return 0;
    }
};

int RunReference()
{
    QElapsedTimer timer;
    timer.start();
    QWidget bare;
    bare.setWindowTitle(QStringLiteral("bare"));
    bare.resize(1000, 700);
    bare.show();
    if (UserSession::Instance()->Login(kAccount, kPassword) != 0 || DeviceMgr::Instance()->FunQueryDeviceList() != 1)
        return -1;
    ImEventSink sink;
    CIMClient* im = CIMClient::Instance();
    im->SetNotifyWnd(sink.GetHWND());
    std::thread([im] { RunImConnection(*im); }).detach();
    const auto exposed = [&] { return bare.windowHandle() != nullptr && bare.windowHandle()->isExposed(); };
    if (!PumpUntil([&] { return sink.roster && sink.online.size() >= kOnline && exposed(); }, 20000))
        return -1;
    QApplication::processEvents();  // its first paint
    return static_cast<int>(timer.elapsed());
}

void Pump(int ms)
{
    PumpUntil([] { return false; }, ms);
}

QWidget* TopLevel(const QString& className)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == className && w->isVisible())
            return w;
    return nullptr;
}

bool Save(QWidget* widget, const std::string& file)
{
    const bool saved = widget != nullptr && widget->grab().save(QString::fromStdString(file));
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "FAILED", file.c_str());
    return saved;
}

// Screenshots of the windows whose look the theme decides, once the tree is complete.
bool Shoot(CLoginFrameWnd& login, const std::string& dir)
{
    if (dir.empty())
        return true;
    return Save(login.GetWidget(), dir + "/login.png");
}

bool Shoot(CDuiFrameWnd& main, const std::string& dir)
{
    if (dir.empty())
        return true;
    Pump(300);
    bool ok = Save(main.GetWidget(), dir + "/main-wall4.png");
    ::SendMessage(main.VideoWall()->GetHWND(), WM_LAYOUT_16, 0, 0);
    Pump(300);
    ok &= Save(main.GetWidget(), dir + "/main-wall16.png");
    CChangePwdWnd::Show(main.GetHWND());
    Pump(300);
    QWidget* password = TopLevel(QStringLiteral("ChangePwdWnd"));
    ok &= Save(password, dir + "/change-password.png");
    if (password != nullptr)
        password->close();
    QTimer::singleShot(500, [&] {
        QWidget* settings = TopLevel(QStringLiteral("CSettingWnd"));
        ok &= Save(settings, dir + "/settings.png");
        if (settings != nullptr)
            settings->close();
    });
    CSettingWnd::ShowSettings(main.GetHWND());
    return ok;
}

int RunClient(const std::string& shotDir)
{
    QElapsedTimer timer;
    CLoginFrameWnd login;
    login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
    login.ShowWindow(true);
    QApplication::processEvents();
    login.FindControl(QStringLiteral("EditAccount"))->SetText(QString::fromUtf8(kAccount));
    login.FindControl(QStringLiteral("EditPassword"))->SetText(QString::fromUtf8(kPassword));
    if (!Shoot(login, shotDir))
        return -1;
    timer.start();
    if (!login.DoLogin())
        return -1;
    login.DestroyWindow();
    CDuiFrameWnd* main = CDuiFrameWnd::Instance();
    main->Create(nullptr, QStringLiteral("DUIWnd"), 0x10CF0000, 0x100);
    main->ShowWindow(true);
    auto complete = [&] {
        CamListUI* tree = main->DeviceList();
        std::set<std::string> cameras, online;
        for (int i = 0; tree && i < tree->GetCount(); ++i) {
            const DeviceNode* node = tree->NodeAt(i);
            if (node->isGroup)
                continue;
            cameras.insert(node->id);
            if (node->text.rfind(RowMarkup::kCameraOnlineIcon, 0) == 0)
                online.insert(node->id);
        }
        return cameras.size() == kCameras && online.size() == kOnline;
    };
    if (!PumpUntil(complete, 20000))
        return -1;
    const int ms = static_cast<int>(timer.elapsed());
    return Shoot(*main, shotDir) ? ms : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    FLAGS_minloglevel = google::GLOG_WARNING;
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::string shotDir = mode == "shots" && argc > 2 ? std::filesystem::absolute(argv[2]).string() : "";
    const std::string folder = std::filesystem::temp_directory_path().string() + "/kelvue-login-bench-" +
                               std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    LocalConfig::Instance()->InitAt(folder, folder + "kelvue");
    // libcurl loaded, as in the program by the time its user can click (main() loads it once the
    // log-in window shows), so that neither run times loading it.
    CurlLibrary::Get();
    int ms = -1;
    if (mode == "reference") {
        ms = RunReference();
    } else if (mode == "client" || !shotDir.empty()) {
        CPaintManagerUI::SetResourcePath(QString::fromUtf8(KELVUE_SKIN_DIR));
        InstallVideoSurfaceHost();
        ms = RunClient(shotDir);
    } else {
        std::fprintf(stderr, "usage: login_bench client|reference|shots DIR\n");
        return 2;
    }
    std::filesystem::remove_all(folder);
    std::printf("%d\n", ms);
    std::fflush(stdout);
    std::_Exit(ms < 0 ? 1 : 0);  // the IM connection runs until the process ends
}
