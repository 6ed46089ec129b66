// The log-in window against a service that answers slowly: the window stays drawn and shows that it
// works, refuses a second log-in meanwhile, and stays safe when it is closed or the program quits
// while the request is under way.
#include "UiTestKit.h"

#include "app/LocalConfig.h"
#include "app/RememberedAccounts.h"
#include "app/UserSession.h"
#include "duiWrap/CLoginFrameWnd.h"
#include "service/FakeService.h"
#include "ui/ModalLoop.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kLogInReply =
    "{\"code\":0,\"msg\":\"\",\"result\":{\"clientInfoId\":\"C1\",\"orgId\":\"O1\",\"isSonAccount\":0,"
    "\"imPassword\":\"imp\",\"clientRoleId\":\"R1\",\"im_server_ip\":\"127.0.0.1\",\"im_server_port\":5222}}";

// What the window looked like while its request was under way, sampled by a timer of the UI thread.
struct Sample {
    int ticks = 0;            // timer ticks handled while the service had not answered
    int frames = 0;           // pictures of the window drawn meanwhile
    bool visible = false;
    bool waitCursor = false;
    QString buttonText;
    bool buttonEnabled = true;
};

class SlowServiceLogin : public ::testing::Test {
protected:
    void SetUp() override
    {
        uitest::EnsureApp();
        dir_ = fs::temp_directory_path().string() + "/kelvue-slowlogin-" + std::to_string(::getpid()) + "/";
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        LocalConfig::Instance()->InitAt(dir_, dir_ + "kelvue");
        service_.UseAsService();
        service_.SetHandler([this](const FakeService::Request&) {
            answered_.store(true);
            return kLogInReply;
        });
        service_.SetDelay(1500ms);
    }
    void TearDown() override
    {
        if (login_ && login_->GetHWND())
            login_->DestroyWindow();
        login_.reset();
        ResetQuit();
        fs::remove_all(dir_);
    }

    void RememberForAutoLogIn()
    {
        RememberedAccounts accounts;
        ASSERT_TRUE(accounts.EnsureFolder());
        accounts.LoadRememberedAccounts();
        ASSERT_TRUE(accounts.SaveRememberedAccount("13800000000", "pw", true, true));
    }
    void Create()
    {
        login_ = std::make_unique<CLoginFrameWnd>();
        login_->Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
    }

    // Samples the window every 20 ms while the service holds one request it has not answered.
    void StartSampling()
    {
        sampler_.setInterval(20);
        QObject::connect(&sampler_, &QTimer::timeout, [this] {
            if (service_.RequestCount() != 1 || answered_.load())
                return;
            ++sample_.ticks;
            QWidget* window = login_ ? login_->GetWidget() : nullptr;
            sample_.visible = window && window->isVisible();
            if (sample_.visible && !window->grab().isNull())
                ++sample_.frames;
            sample_.waitCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            CControlUI* button = login_->FindControl(QStringLiteral("ButtonLogin"));
            sample_.buttonText = button->GetText();
            sample_.buttonEnabled = button->IsEnabled();
        });
        sampler_.start();
    }

    std::string dir_;
    std::atomic<bool> answered_{false};  // set by the service's thread when it answers
    FakeService service_;
    std::unique_ptr<CLoginFrameWnd> login_;
    uitest::MsgTipRecorder boxes_;
    QTimer sampler_;
    Sample sample_;
};

TEST_F(SlowServiceLogin, ManualLogInKeepsTheWindowDrawnAndRefusesASecondRequest)
{
    Create();
    login_->ShowWindow(true);
    uitest::Type(login_->FindControl(QStringLiteral("EditAccount")), QStringLiteral("13800000000"));
    uitest::Type(login_->FindControl(QStringLiteral("EditPassword")), QStringLiteral("pw"));
    StartSampling();
    // While the first log-in waits: another click and Enter, which would each send a second log-in.
    QTimer::singleShot(300, [this] {
        uitest::SaveScreenshot(*login_, QStringLiteral("screenshots/login-waiting-for-slow-service.png"));
        uitest::Click(login_->FindControl(QStringLiteral("ButtonLogin")));
        uitest::PressKey(*login_, Qt::Key_Return);
    });
    const HWND hwnd = login_->GetHWND();
    uitest::Click(login_->FindControl(QStringLiteral("ButtonLogin")));

    EXPECT_GE(sample_.ticks, 20) << "the UI thread handled no events while the service was silent";
    EXPECT_GE(sample_.frames, 20);
    EXPECT_TRUE(sample_.visible);
    EXPECT_TRUE(sample_.waitCursor);
    EXPECT_EQ(sample_.buttonText, QStringLiteral("登录中…"));
    EXPECT_FALSE(sample_.buttonEnabled);
    EXPECT_EQ(service_.RequestCount(), 1u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(boxes_.texts.isEmpty()) << boxes_.texts.join('|').toStdString();
    // The log-in succeeded: the window closes.
    EXPECT_TRUE(uitest::PumpUntil([hwnd] { return !::IsWindow(hwnd); }));
    std::printf("[figures] log-in window during a 1.5 s reply: %d timer ticks, %d frames drawn\n", sample_.ticks,
                sample_.frames);
}

TEST_F(SlowServiceLogin, AutomaticLogInShowsTheWindowWhileItWaits)
{
    RememberForAutoLogIn();
    Create();
    StartSampling();
    const UINT result = uitest::RunModal(*login_, [] {});
    EXPECT_EQ(result, CLoginFrameWnd::kLoggedIn);
    EXPECT_GE(sample_.ticks, 20);
    EXPECT_TRUE(sample_.visible) << "the window was not on the screen while it logged in";
    EXPECT_GE(sample_.frames, 20);
    EXPECT_EQ(sample_.buttonText, QStringLiteral("登录中…"));
    EXPECT_EQ(service_.RequestCount(), 1u);
}

TEST_F(SlowServiceLogin, QuitDuringTheRequestEndsItWithoutWaitingForTheService)
{
    RememberForAutoLogIn();
    service_.SetDelay(15s);  // within the transport's own time-out
    Create();
    QTimer::singleShot(300, [] { PostQuitMessage(0); });
    const UINT result = uitest::RunModal(*login_, [] {});
    // The window gave up before the service answered, and reported it like any failed request.
    EXPECT_FALSE(answered_.load());
    EXPECT_NE(result, CLoginFrameWnd::kLoggedIn);
    EXPECT_EQ(boxes_.texts, QStringList{QStringLiteral("连接总控服务器失败")});
    EXPECT_EQ(service_.RequestCount(), 1u);
}

TEST_F(SlowServiceLogin, WindowClosedDuringTheRequestClosesOnceItIsAnswered)
{
    Create();
    login_->ShowWindow(true);
    uitest::Type(login_->FindControl(QStringLiteral("EditAccount")), QStringLiteral("13800000000"));
    uitest::Type(login_->FindControl(QStringLiteral("EditPassword")), QStringLiteral("pw"));
    const HWND hwnd = login_->GetHWND();
    bool aliveAfterClose = false;
    QTimer::singleShot(300, [&] {
        ::PostMessage(hwnd, WM_CLOSE, CLoginFrameWnd::kClosed, 0);
        uitest::Pump(50);
        aliveAfterClose = ::IsWindow(hwnd);
    });
    uitest::Click(login_->FindControl(QStringLiteral("ButtonLogin")));
    // DoLogin went on in a live window (it saved the account), and the window closed afterwards.
    EXPECT_TRUE(aliveAfterClose);
    EXPECT_EQ(UserSession::Instance()->Mobile(), "13800000000");
    EXPECT_TRUE(uitest::PumpUntil([hwnd] { return !::IsWindow(hwnd); }));
}

}  // namespace
