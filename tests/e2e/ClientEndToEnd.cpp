#include "ClientEndToEnd.h"

#include "app/LocalConfig.h"
#include "app/RememberedAccounts.h"
#include "app/UserSession.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CLoginFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceNode.h"
#include "duiWrap/RowMarkup.h"
#include "glooxWrap/CIMClient.h"
#include "ui/VideoSurface.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CvyrProDlg.h"
#include "video/VideoSurfaceHost.h"

#include <glog/logging.h>
#include <httplib.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace e2e {

bool CamsimPost(const std::string& deviceId, const std::string& action, const std::string& body)
{
    httplib::Client client("127.0.0.1", 8090);
    auto reply = client.Post(("/cameras/" + deviceId + "/" + action).c_str(), body, "text/plain");
    return reply && reply->status == 200;
}

}  // namespace e2e

using namespace e2e;

CamsimControl ClientEndToEnd::camsim_;
std::string ClientEndToEnd::buildDir_;
std::string ClientEndToEnd::programDir_;

void ClientEndToEnd::SetUpTestSuite()
{
    if (!programDir_.empty())
        return;  // a later suite of the same process: the client is set up already
    FLAGS_minloglevel = google::GLOG_WARNING;
    uitest::EnsureApp();
    InstallVideoSurfaceHost();
    buildDir_ = fs::current_path().string();
    programDir_ = fs::temp_directory_path().string() + "/kelvue-e2e-" + std::to_string(::getpid()) + "/";
    fs::create_directories(programDir_);
    fs::current_path(programDir_);  // log.xml and temp.txt live in the program folder
    LocalConfig::Instance()->InitAt(programDir_, programDir_ + "kelvue");

    // The demo account remembered with its password and automatic log-in on.
    RememberedAccounts accounts;
    ASSERT_TRUE(accounts.EnsureFolder());
    ASSERT_TRUE(accounts.SaveRememberedAccount(kAccount, kPassword, true, true));

    // The demo data and the cameras as it has them, whatever earlier suites changed.
    httplib::Client cloud("127.0.0.1", 8000);
    auto reset = cloud.Post("/sim/reset", "", "application/json");
    ASSERT_TRUE(reset && reset->status == 200) << "cloudsim did not reset its demo data";
    for (const std::string& id : kAllCameras) {
        const bool offline = std::find(kOfflineCameras.begin(), kOfflineCameras.end(), id) != kOfflineCameras.end();
        ASSERT_TRUE(CamsimPost(id, offline ? "offline" : "online")) << id;
    }
}

namespace {

// The client goes with the process, after whichever suite ran last: the players deliver frames
// from their own threads and must stop before the process exits.
class ClientTeardown : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (ClientEndToEnd::programDir_.empty())
            return;
        if (CvyrProDlg* wall = ClientEndToEnd::Main()->VideoWall())
            wall->StopAll();
        CIMClient::Instance()->Disconnect();
        uitest::Pump(500);
        fs::current_path(ClientEndToEnd::buildDir_);
        std::error_code ignored;
        fs::remove_all(ClientEndToEnd::programDir_, ignored);
    }
};

[[maybe_unused]] const ::testing::Environment* const kClientTeardown =
    ::testing::AddGlobalTestEnvironment(new ClientTeardown);

}  // namespace

void ClientEndToEnd::SetUp()
{
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    if (Main()->GetHWND() == nullptr && test != "RememberedAccountLogsInAutomatically" &&
        test != "TreeShowsTheAccountsCamerasWithTheirPresence")
        StartClient();
}

void ClientEndToEnd::StartClient()
{
    if (UserSession::Instance()->Mobile() == kAccount && Main()->GetHWND())
        return;
    uitest::MsgTipRecorder boxes;
    CLoginFrameWnd login;
    login.Create(nullptr, QStringLiteral("LoginWnd"), 0x96C80000, 0x100);
    ASSERT_EQ(uitest::RunModal(login, [] {}), CLoginFrameWnd::kLoggedIn) << boxes.texts.join('|').toStdString();
    ASSERT_NE(Main()->Create(nullptr, QStringLiteral("DUIWnd"), 0x10CF0000, 0x100), nullptr);
    Main()->ShowWindow(true);
    ASSERT_TRUE(PresencesShown(20000)) << "the tree did not show the cameras' presences";
}

CDuiFrameWnd* ClientEndToEnd::Main()
{
    return CDuiFrameWnd::Instance();
}

WindowImplBase* ClientEndToEnd::WindowOfNotice(QWidget* notice)
{
    return dynamic_cast<WindowImplBase*>(CWindowWnd::FromWidget(notice));
}

std::string ClientEndToEnd::ScreenshotDir()
{
    const std::string dir = buildDir_ + "/screenshots";
    fs::create_directories(dir);
    return dir;
}

int ClientEndToEnd::RowOf(CamListUI* list, const std::string& id, bool isGroup)
{
    for (int i = 0; i < list->GetCount(); ++i) {
        DeviceNode* node = list->NodeAt(i);
        if (node && node->id == id && node->isGroup == isGroup)
            return i;
    }
    return -1;
}

bool ClientEndToEnd::PresencesShown(int timeoutMs)
{
    CamListUI* tree = Main()->DeviceList();
    // The roster rebuilds the tree; each camera coming online rebuilds it again with its online icon.
    auto iconOf = [&](const std::string& id) {
        const int row = RowOf(tree, id, false);
        return row < 0 ? std::string()
                       : tree->NodeAt(row)->text.substr(0, std::string(RowMarkup::kCameraOnlineIcon).size());
    };
    return tree && uitest::PumpUntil(
                       [&] {
                           for (const std::string& id : kAllCameras) {
                               const bool offline = std::find(kOfflineCameras.begin(), kOfflineCameras.end(), id) !=
                                                    kOfflineCameras.end();
                               if (iconOf(id) != (offline ? RowMarkup::kCameraOfflineIcon : RowMarkup::kCameraOnlineIcon))
                                   return false;
                           }
                           return true;
                       },
                       timeoutMs);
}

void ClientEndToEnd::WaitForSettledTree()
{
    const DeviceNode* root = Main()->DeviceRoot();
    for (int quiet = 0; quiet < 40;) {
        uitest::Pump(50);
        quiet = Main()->DeviceRoot() == root ? quiet + 1 : 0;
        root = Main()->DeviceRoot();
    }
}

bool ClientEndToEnd::ActivateRow(const std::function<bool(const DeviceNode*)>& match)
{
    WaitForSettledTree();
    CamListUI* tree = Main()->DeviceList();
    int row = -1;
    for (int i = 0; i < tree->GetCount() && row < 0; ++i)
        if (match(tree->NodeAt(i)))
            row = i;
    if (row < 0)
        return false;
    // Ancestors from the top down: a node expanded under a collapsed one stays hidden.
    std::vector<DeviceNode*> chain;
    for (DeviceNode* n = tree->NodeAt(row)->parent; n && !n->IsRoot(); n = n->parent)
        chain.insert(chain.begin(), n);
    for (DeviceNode* n : chain)
        tree->SetChildVisible(n, true);
    tree->EnsureVisible(row);
    uitest::DoubleClickRow(tree, row);
    return true;
}

bool ClientEndToEnd::ActivateCamera(const std::string& deviceId)
{
    return ActivateRow([&](const DeviceNode* n) { return !n->isGroup && n->id == deviceId; });
}

bool ClientEndToEnd::MakeCurrent(const std::string& deviceId)
{
    return Main()->CurDeviceId() == deviceId || (ActivateCamera(deviceId) && Main()->CurDeviceId() == deviceId);
}

int ClientEndToEnd::PlayingCell(const std::string& deviceId)
{
    if (CellPlaying(deviceId) < 0 && ActivateCamera(deviceId))
        uitest::PumpUntil([&] { return CellPlaying(deviceId) >= 0; }, 20000);
    return CellPlaying(deviceId);
}

int ClientEndToEnd::CellPlaying(const std::string& deviceId, int after, CvyrProDlg* wall)
{
    if (wall == nullptr)
        wall = Main()->VideoWall();
    for (int i = after + 1; i < CvyrProDlg::kCellCount; ++i) {
        CDlgPanel* panel = wall->Panel(i);
        if (panel->IsBusy() && panel->DeviceId() == deviceId && panel->Inner() && panel->Inner()->Surface() &&
            panel->Inner()->Surface()->FramesPainted() > 0)
            return i;
    }
    return -1;
}

std::string ClientEndToEnd::WallState()
{
    std::string out;
    for (int i = 0; i < 4; ++i) {
        CDlgPanel* panel = Main()->VideoWall()->Panel(i);
        VideoSurface* surface = panel->Inner() ? panel->Inner()->Surface() : nullptr;
        out += "cell " + std::to_string(i) + ": " + (panel->IsBusy() ? "busy " : "free ") + panel->DeviceId() +
               " presented " + std::to_string(surface ? surface->FramesPresented() : -1) + " painted " +
               std::to_string(surface ? surface->FramesPainted() : -1) + "\n";
    }
    return out;
}

std::vector<std::string> ClientEndToEnd::CameraGot(const std::string& deviceId, size_t n, size_t from,
                                                   const std::string& prefix)
{
    std::vector<std::string> got;
    uitest::PumpUntil(
        [&] {
            got.clear();
            const auto all = camsim_.Received(deviceId);
            for (size_t i = from; i < all.size(); ++i)
                if (all[i].rfind(prefix, 0) == 0)
                    got.push_back(all[i]);
            return got.size() >= n;
        },
        10000);
    return got;
}

QString ClientEndToEnd::Text(const char* name)
{
    return Main()->FindControl(QString::fromUtf8(name))->GetText();
}
