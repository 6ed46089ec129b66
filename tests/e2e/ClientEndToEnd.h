// The fixture of the whole-client suites: the demo stack of the peers fixture (prosody, cloudsim,
// camsim on loopback), a private program folder with the demo account remembered, and helpers that
// drive the main window as a user would. The main window and the IM connection exist once per
// process, so each area's suites run in a process of their own and in order on one client.
#pragma once

#include "UiTestKit.h"
#include "CamsimControl.h"

#include <gtest/gtest.h>

#include <QString>

#include <functional>
#include <string>
#include <vector>

class CDuiFrameWnd;
class CamListUI;
class CvyrProDlg;
class WindowImplBase;
class QWidget;
struct DeviceNode;

namespace e2e {

inline constexpr const char* kAccount = "13800138000";
inline constexpr const char* kPassword = "kelvue123";
// The demo account's cameras that the demo data has offline.
inline const std::vector<std::string> kOfflineCameras = {"kv100104", "kv100107", "kv100111"};
inline const std::vector<std::string> kAllCameras = {"kv100101", "kv100102", "kv100103", "kv100104",
                                                     "kv100105", "kv100106", "kv100107", "kv100108",
                                                     "kv100109", "kv100110", "kv100111", "kv100112"};

// An action of camsim's control interface on one camera ("offline", "online", "say" ...).
bool CamsimPost(const std::string& deviceId, const std::string& action, const std::string& body = {});

}  // namespace e2e

class ClientEndToEnd : public ::testing::Test {
public:
    static void SetUpTestSuite();
    // A test run alone (a filter) gets the started client that the tests before it would have left;
    // the first two build it themselves, and later ones find it whatever account they left logged in.
    void SetUp() override;

    // Logs the demo account in through the log-in window (automatic log-in), opens the main window
    // and waits until the tree shows every camera's presence. Once per process; later calls return.
    static void StartClient();

    static CDuiFrameWnd* Main();
    static WindowImplBase* WindowOfNotice(QWidget* notice);
    // Screenshots go to screenshots/ in the test's build folder.
    static std::string ScreenshotDir();
    // Row index of the node with this id in a list (-1 when absent).
    static int RowOf(CamListUI* list, const std::string& id, bool isGroup);
    // True once every camera of the demo account shows its presence icon in the tree.
    static bool PresencesShown(int timeoutMs);
    // Waits until no camera has come online for a while: each one rebuilds the tree, collapsing it.
    static void WaitForSettledTree();
    // After the tree settled, expands the ancestors of the first row that matches and double-clicks it.
    static bool ActivateRow(const std::function<bool(const DeviceNode*)>& match);
    static bool ActivateCamera(const std::string& deviceId);
    // The camera as the current one, activated from the tree unless it is already.
    static bool MakeCurrent(const std::string& deviceId);
    // The first cell after `after` that draws frames of this camera (-1 when none), on the main wall
    // or on the one given.
    // The first cell that draws frames of this camera, which is activated from the tree when no cell
    // plays it yet (-1 when none does within 20 s).
    static int PlayingCell(const std::string& deviceId);
    static int CellPlaying(const std::string& deviceId, int after = -1, CvyrProDlg* wall = nullptr);
    // What the first cells show, for failure messages.
    static std::string WallState();
    // The first n commands the camera received from `from` on that begin with `prefix`
    // (subscription lines left out).
    static std::vector<std::string> CameraGot(const std::string& deviceId, size_t n, size_t from = 0,
                                              const std::string& prefix = "{");
    static QString Text(const char* name);

    static std::string buildDir_;
    static std::string programDir_;
    static CamsimControl camsim_;
};
