// The main window when the device list cannot be loaded: the user is told so (a failed list must
// not look like an account without cameras), and a tree that was shown stays. The main window exists
// once per process; the tests run in order on it. No IM server: the window's wait for the IM
// connection runs out once (10 s).
#include "UiTestKit.h"

#include "app/LocalConfig.h"
#include "app/UserSession.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceListLoader.h"
#include "service/FakeService.h"
#include "support/LoopbackPort.h"
#include "ui/MenuCommand.h"
#include "ui/WindowMessages.h"
#include "video/CvyrProDlg.h"
#include "video/VideoSurfaceHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

const std::string kGoodList =
    "{\"code\":0,\"result\":[{\"nodeId\":\"n1\",\"nodeName\":\"一楼\",\"nodeType\":1,\"childDevices\":["
    "{\"deviceId\":\"cam1\",\"alias\":\"大门\",\"nodeType\":2},{\"deviceId\":\"cam2\",\"alias\":\"后门\",\"nodeType\":2}],"
    "\"childNodes\":[{\"nodeId\":\"n2\",\"nodeName\":\"仓库\",\"nodeType\":1}]}]}";

class DeviceListFailure : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        uitest::EnsureApp();
        InstallVideoSurfaceHost();
        buildDir_ = fs::current_path().string();
        dir_ = fs::temp_directory_path().string() + "/kelvue-listfail-" + std::to_string(::getpid()) + "/";
        fs::create_directories(dir_);
        fs::current_path(dir_);  // temp.txt goes to the program folder
        LocalConfig::Instance()->InitAt(dir_, dir_ + "kelvue");
        service_ = std::make_unique<FakeService>();
        service_->UseAsService();
        // The IM server of the log-in reply is a port where nothing listens.
        service_->SetReply("{\"code\":0,\"msg\":\"\",\"result\":{\"clientInfoId\":\"C1\",\"orgId\":\"O1\",\"isSonAccount\":0,"
                           "\"imPassword\":\"imp\",\"clientRoleId\":\"R1\",\"im_server_ip\":\"127.0.0.1\","
                           "\"im_server_port\":" +
                           std::to_string(FreeLoopbackPort()) + "}}");
        ASSERT_EQ(UserSession::Instance()->Login("13800000000", "pw"), 0);
    }
    static void TearDownTestSuite()
    {
        if (CvyrProDlg* wall = Main()->VideoWall())
            wall->StopAll();
        Main()->DestroyWindow();
        uitest::Pump(100);
        service_.reset();
        fs::current_path(buildDir_);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    static CDuiFrameWnd* Main() { return CDuiFrameWnd::Instance(); }
    static QStringList Rows()
    {
        QStringList rows;
        CamListUI* tree = Main()->DeviceList();
        for (int i = 0; i < tree->GetCount(); ++i)
            rows << QString::fromStdString(tree->NodeAt(i)->text);
        return rows;
    }
    // The "刷新" menu command, as the main menu sends it.
    static void Refresh()
    {
        auto* command = new MenuCommand;
        std::strcpy(command->szName, "ID_FLASH");
        ASSERT_TRUE(Main()->PostMessage(WM_MENU_COMMAND, reinterpret_cast<WPARAM>(command), 0));
    }

    static std::string buildDir_;
    static std::string dir_;
    static std::unique_ptr<FakeService> service_;
};

std::string DeviceListFailure::buildDir_;
std::string DeviceListFailure::dir_;
std::unique_ptr<FakeService> DeviceListFailure::service_;

TEST_F(DeviceListFailure, AListThatCannotBeLoadedAtStartIsReported)
{
    uitest::MsgTipRecorder boxes;
    service_->SetReply("<html><body>Internal Server Error</body></html>", 500);
    ASSERT_NE(Main()->Create(nullptr, QStringLiteral("DUIWnd"), 0x10CF0000, 0x100), nullptr);
    Main()->ShowWindow(true);
    ASSERT_TRUE(uitest::PumpUntil([&] { return !boxes.texts.isEmpty(); }));
    EXPECT_EQ(boxes.texts, QStringList{DeviceListLoader::FailureText("总控服务器的应答无法解析")});
    EXPECT_EQ(boxes.owners.front(), Main()->GetHWND());
    EXPECT_EQ(Rows().size(), 1);  // the account row only
    uitest::SaveScreenshot(*Main(), QString::fromStdString(buildDir_ + "/screenshots/device-list-failed.png"));
}

TEST_F(DeviceListFailure, TheLastGoodTreeStaysWhenARefreshFails)
{
    ASSERT_NE(Main()->GetHWND(), nullptr) << "needs the main window of the previous test";
    uitest::MsgTipRecorder boxes;
    service_->SetReply(kGoodList);
    Refresh();
    ASSERT_TRUE(uitest::PumpUntil([] { return Rows().size() == 5; }));  // account, 2 nodes, 2 cameras
    ASSERT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
    CamListUI* tree = Main()->DeviceList();
    tree->SetChildVisible(tree->NodeAt(1), true);  // the user opened the node: it stays open
    const QStringList shown = Rows();

    struct Case {
        const char* what;
        std::string reply;
        int status;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"malformed", "{\"code\":0,\"result\":[", 200, "总控服务器的应答无法解析"},
        {"wrongly typed", "{\"code\":0,\"result\":[{\"nodeId\":17}]}", 200, "总控服务器的应答格式不正确"},
        {"too deep", "{\"code\":0,\"result\":" + std::string(5000, '[') + std::string(5000, ']') + "}", 200,
         "总控服务器的应答无法解析"},
        {"HTTP 500", "<html>Internal Server Error</html>", 500, "总控服务器的应答无法解析"},
        {"refused", "{\"code\":3,\"msg\":\"会话已过期\"}", 200, "会话已过期"},
    };
    for (const Case& c : cases) {
        boxes.texts.clear();
        service_->SetReply(c.reply, c.status);
        Refresh();
        EXPECT_TRUE(uitest::PumpUntil([&] { return !boxes.texts.isEmpty(); })) << c.what;
        EXPECT_EQ(boxes.texts, QStringList{DeviceListLoader::FailureText(c.reason)}) << c.what;
        EXPECT_EQ(Rows(), shown) << c.what;
    }

    // No service at all (as after a time-out): the connection failure, and the tree stays.
    boxes.texts.clear();
    SetServiceEndpointForTesting("127.0.0.1", static_cast<std::uint16_t>(FreeLoopbackPort()));
    Refresh();
    EXPECT_TRUE(uitest::PumpUntil([&] { return !boxes.texts.isEmpty(); }));
    EXPECT_EQ(boxes.texts, QStringList{DeviceListLoader::FailureText("连接总控服务器失败")});
    EXPECT_EQ(Rows(), shown);
    service_->UseAsService();
}

}  // namespace
