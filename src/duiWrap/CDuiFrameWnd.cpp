#include "duiWrap/CDuiFrameWnd.h"

#include "app/LocalConfig.h"
#include "app/RememberedAccounts.h"
#include "app/UserSession.h"
#include "device/AppAlarmNoticeCounter.h"
#include "device/CamParamMgr.h"
#include "device/DeviceReplyRouter.h"
#include "device/DirectCommandSender.h"
#include "device/PtzControl.h"
#include "device/StreamRequestMgr.h"
#include "duiWrap/CAlarmQueryfWnd.h"
#include "duiWrap/CAlarmSettingWnd.h"
#include "duiWrap/CChangePwdWnd.h"
#include "duiWrap/CChildAccountMgrWnd.h"
#include "duiWrap/CLockScreenWnd.h"
#include "duiWrap/CLoginFrameWnd.h"
#include "duiWrap/CamParamPanel.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceListBuilder.h"
#include "duiWrap/DeviceListLoader.h"
#include "duiWrap/ImLinkStatus.h"
#include "duiWrap/MenuCommandRunner.h"
#include "duiWrap/MenuOpener.h"
#include "duiWrap/ProgramRestart.h"
#include "duiWrap/PtzPanel.h"
#include "duiWrap/ScreenLockShield.h"
#include "duiWrap/WallDragDrop.h"
#include "glooxWrap/CIMClient.h"
#include "glooxWrap/ImConnectionThread.h"
#include "glooxWrap/ImEvents.h"
#include "service/AlarmMgr.h"
#include "service/DeviceMgr.h"
#include "ui/CDialogBuilder.h"
#include "ui/COptionUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CWndUI.h"
#include "ui/ModalLoop.h"
#include "ui/ShowMsgTip.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "video/CDlgPanel.h"
#include "video/CPopWnd.h"
#include "video/CvyrProDlg.h"
#include "video/RemotePlayback.h"
#include "video/ViewHistory.h"
#include "video/WallShortcuts.h"
#include "video/WallViews.h"

#include <QDateTime>
#include <QWidget>

#include <glog/logging.h>

namespace {

CDuiFrameWnd* mainWindow = nullptr;
HWND mainHandle = nullptr;

bool IsLayoutMessage(UINT message)
{
    return (message >= WM_LAYOUT_1 && message <= WM_LAYOUT_64) || (message >= WM_LAYOUT_25 && message <= WM_LAYOUT_17);
}

// Tab pages chosen by the options of the side panel.
int TabPageOf(const QString& option)
{
    if (option == "List")
        return 0;
    if (option == "Historyoption")
        return 1;
    if (option == "Control")
        return 2;
    if (option == "Remote")
        return 3;
    return -1;
}

}  // namespace

CDuiFrameWnd* CDuiFrameWnd::Instance()
{
    if (!mainWindow)
        mainWindow = new CDuiFrameWnd;
    return mainWindow;
}

HWND CDuiFrameWnd::MainHandle()
{
    return mainHandle;
}

CDuiFrameWnd::CDuiFrameWnd()
    : CXMLWnd(QStringLiteral("MainWnd.xml")), menus_(std::make_unique<MenuOpener>(*this)),
      menuCommands_(std::make_unique<MenuCommandRunner>(*this, menus_->Selection())),
      playback_(std::make_unique<RemotePlayback>())
{
    menuCommands_->Register();
}

CDuiFrameWnd::~CDuiFrameWnd()
{
    if (mainWindow == this)
        mainWindow = nullptr;
}

void CDuiFrameWnd::OnFinalMessage(HWND)
{
    mainHandle = nullptr;
    delete this;
}

UINT CDuiFrameWnd::Run()
{
    Create(nullptr, QStringLiteral("DUIWnd"), 0x10CF0000, 0x100);
    CenterWindow();
    return ShowModal();
}

bool CDuiFrameWnd::EndImConnection()
{
    return !imThread_ || imThread_->Stop();
}

void CDuiFrameWnd::SetMenuHandler(const QString& itemName, MenuHandler handler)
{
    menuHandlers_[itemName] = std::move(handler);
}

CControlUI* CDuiFrameWnd::CreateControl(const CDuiString& pstrClass)
{
    if (pstrClass == "Dialog") {
        auto* host = new CWndUI;
        videoWall_ = new CvyrProDlg(nullptr);
        videoWall_->SetMainWindow(GetHWND());
        videoWall_->SetNodeMembership([](const std::string& nodeId, const std::string& deviceId) {
            return DeviceMgr::Instance()->NodeHasDevice(nodeId, deviceId);
        });
        // Cells that lost their stream ask for the address again and reopen with the announced one.
        videoWall_->SetAddressRequest([](const std::string& id) { StreamRequestMgr::Instance()->ReqPlayUrl(id, false); });
        StreamRequestMgr::Instance()->SetAddressListener([this](const std::string& id, const std::string& url) {
            videoWall_->OfferAddress(id, url);
            if (wallViews_)
                wallViews_->OfferAddress(id, url);
        });
        host->Attach(videoWall_->GetHWND());
        return host;
    }
    if (pstrClass == "skinBottom" || pstrClass == "skinMainMenu") {
        CDialogBuilder builder;
        return builder.Create(pstrClass + QStringLiteral(".xml"), QString(), this, &m_PaintManager);
    }
    if (pstrClass == "MonitorLis")
        return new CamListUI;
    return nullptr;
}

void CDuiFrameWnd::InitWindow()
{
    ShowLoginInfo();

    ptzPanel_ = std::make_unique<PtzPanel>(m_PaintManager, *CamParamMgr::Instance(), *CIMClient::Instance(),
                                           [this](const std::string& deviceId, const std::string& text) {
                                               if (!imClient_)
                                                   ConnectImServer();
                                               if (!imLink_->RefuseCommand())
                                                   SendCmdDirect(deviceId, text);
                                           });
    ptzPanel_->Init(GetHWND());
    paramPanel_ = std::make_unique<CamParamPanel>(
        m_PaintManager, GetHWND(), *CamParamMgr::Instance(), *StreamRequestMgr::Instance(), *CIMClient::Instance(),
        [this](const std::string& deviceId) {
            if (videoWall_)
                videoWall_->SuspendCamera(deviceId);
            if (wallViews_)
                wallViews_->SuspendCamera(deviceId);
        });
    paramPanel_->ShowCamera(curDeviceId_);

    mainHandle = GetHWND();
    alarmBadge_ = FindControl(QStringLiteral("IDC_BTN_TOOLTIP_ALARM"));
    imLink_ = std::make_unique<ImLinkStatus>(GetHWND(), FindControl(QStringLiteral("IDC_LAB_IMSTATUS")),
                                             [this] { RebuildTree(); });
    ApplyRights();
    // While the screen is locked, every press and key anywhere asks for the lock screen instead.
    screenLockShield_ = std::make_unique<ScreenLockShield>(GetHWND());
    SetMenuHandler(QStringLiteral("ID_CHANGEPASSWORD"), [this](const MenuCommand&) { CChangePwdWnd::Show(GetHWND()); });
    SetMenuHandler(QStringLiteral("ID_CHILDRENUSER_ADD"), [this](const MenuCommand&) { CChildAccountMgrWnd::Show(GetHWND()); });

    SetIcon(2000);
    SetWindowText(QStringLiteral("远程监控"));

    deviceList_ = m_PaintManager.FindControlAs<CamListUI>(QStringLiteral("gamelist"));
    if (!deviceList_)
        return;
    deviceList_->SetContextMenuUsed(false);
    recentList_ = m_PaintManager.FindControlAs<CamListUI>(QStringLiteral("loglist"));
    deviceRoot_ = DeviceListBuilder::AddAccountRoot(deviceList_->Rows(), UserSession::Instance()->Mobile());
    wallDragDrop_ = std::make_unique<WallDragDrop>(*this);
    if (videoWall_)
        new WallShortcuts(videoWall_, GetWidget());  // a child of the wall

    LOG(INFO) << "InitWindow  " << "FunQueryDeviceList S";
    DeviceListLoader::Load(GetHWND());
    LOG(INFO) << "InitWindow  " << "FunQueryDeviceList e";
    if (videoWall_)
        CreateWallViews();
    // "刷新": the tree fetched again; a list that cannot be loaded leaves the shown tree as it is.
    SetMenuHandler(QStringLiteral("ID_FLASH"), [this](const MenuCommand&) {
        if (DeviceListLoader::Load(GetHWND()))
            RebuildTree();
    });
    SetMenuHandler(QStringLiteral("ID_ALARMCONTROL"), [this](const MenuCommand&) { CAlarmSettingWnd::Open(GetHWND()); });

    if (!imClient_)
        ConnectImServer();
    // The wall's first cells are made while the IM connection is set up on its own thread, instead
    // of after the wait when the window is shown.
    if (videoWall_)
        videoWall_->BuildLayoutCells();
    // Up to kImWaitMs for the connection; a first attempt that failed ends the wait (the window then
    // says so) rather than holding the window back for the whole time.
    imClient_->FirstAttemptGate().WaitFor(std::chrono::milliseconds(kImWaitMs));
}

void CDuiFrameWnd::ShowLoginInfo()
{
    if (CControlUI* date = FindControl(QStringLiteral("IDC_LAB_LOAGINDATE"))) {
        const QDateTime now = QDateTime::currentDateTime();
        date->SetText(QString::asprintf("登陆时间:%d-%02d-%02d %02d:%02d:%02d", now.date().year(), now.date().month(),
                                        now.date().day(), now.time().hour(), now.time().minute(), now.time().second()));
    }
    if (CControlUI* user = FindControl(QStringLiteral("IDC_LAB_USERNAME"))) {
        const QString text = user->GetText();
        const qsizetype at = text.indexOf(QStringLiteral("user"));
        const QString caption = at < 0 ? QString() : text.left(at);
        user->SetText(caption + QString::fromStdString(UserSession::Instance()->Mobile()));
    }
}

void CDuiFrameWnd::ApplyRights()
{
    UserSession* session = UserSession::Instance();
    if (!session->IsSonAccount())
        return;
    if (CControlUI* control = FindControl(QStringLiteral("Control")))
        control->SetVisible(session->HasRight("2016031502"));
    if (CControlUI* playback = FindControl(QStringLiteral("VideoPlay")))
        playback->SetVisible(session->HasRight("2016031505"));
}

void CDuiFrameWnd::ConnectImServer()
{
    LOG(INFO) << "ConnectImServer";
    imClient_ = CIMClient::Instance();
    if (!router_) {
        alarmCounter_ = std::make_unique<AppAlarmNoticeCounter>();
        router_ = std::make_unique<DeviceReplyRouter>(*imClient_, *CamParamMgr::Instance(), *StreamRequestMgr::Instance(),
                                                      *alarmCounter_, *this);
        directSender_ = std::make_unique<DirectCommandSender>(*imClient_);
        router_->SetOnlineListener([this](const std::string& deviceId) {
            if (ptzPanel_)
                ptzPanel_->OnDeviceOnline(deviceId);
        });
    }
    imClient_->SetNotifyWnd(GetHWND());
    imThread_ = std::make_unique<ImConnectionThread>(*imClient_);
}

void CDuiFrameWnd::SendCmdDirect(const std::string& deviceId, const std::string& text)
{
    if (directSender_)
        directSender_->SendCmdDirect(deviceId, text);
}

// ---- notifications ----

void CDuiFrameWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "click")
        OnClick(msg);
    else if (msg.sType == "selectchanged")
        OnSelectChanged(msg);
    else if (msg.sType == "itemclick")
        OnItemClick(msg);
    else if (msg.sType == "itemactivate")
        OnItemActivate(msg);
    else if (msg.sType == "valuechanged" && ptzPanel_)
        ptzPanel_->ReadSpeed();
    else if (msg.sType == "menu")
        menus_->OpenContextMenu(msg);
}

void CDuiFrameWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "closebtn") {
        PostQuitMessage(0);
    } else if (name == "minbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == "maxbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == "restorebtn") {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (name == "menubtn") {
        menus_->OpenMainMenu(msg.pSender);
    } else if (name == "IDC_BTN_FULLSCREEN") {
        if (videoWall_)
            ::PostMessage(videoWall_->GetHWND(), WM_TOGGLE_FULLSCREEN, 0, 0);
    } else if (name == "IDC_BTN_LOCKSCREEN") {
        LocalConfig::Instance()->SetScreenLocked(true);
    } else if (name == "IDC_BTN_SPLITSCREEN") {
        ShowSplitChooser(msg.pSender);
    } else if (name == "VideoPlay") {
        if (curDeviceId_.empty())
            ShowMsgTip(GetHWND(), QStringLiteral("请先选定观看的摄像头"));
        else
            OpenPlayback(curDeviceId_);
    } else if (name == "Query_VYR") {
        CAlarmQueryfWnd::Open(GetHWND(), alarmQueryWnd_);
    } else if (name == "SwitchUserBtn") {
        SwitchUser();
    } else if (OnCameraPage(msg.pSender) && imLink_->RefuseCommand()) {
        // Every button of the pan-tilt-zoom and parameter pages is a command to the camera.
    } else if (!(ptzPanel_ && ptzPanel_->OnClick(name, curDeviceId_)) && paramPanel_) {
        paramPanel_->OnClick(name, curDeviceId_);
    }
}

bool CDuiFrameWnd::OnCameraPage(CControlUI* control)
{
    auto* tabs = m_PaintManager.FindControlAs<CTabLayoutUI>(QStringLiteral("skinTab_switch"));
    CControlUI* page = control;
    while (page && page->GetParent() != tabs)
        page = page->GetParent();
    const int index = page && tabs ? tabs->GetItemIndex(page) : -1;
    return index == TabPageOf(QStringLiteral("Control")) || index == TabPageOf(QStringLiteral("Remote"));
}

void CDuiFrameWnd::OnSelectChanged(TNotifyUI& msg)
{
    const int page = TabPageOf(msg.pSender ? msg.pSender->GetName() : QString());
    auto* tabs = m_PaintManager.FindControlAs<CTabLayoutUI>(QStringLiteral("skinTab_switch"));
    if (page >= 0 && tabs && tabs->GetCurSel() != page)
        tabs->SelectItem(page);
}

void CDuiFrameWnd::OnItemClick(TNotifyUI& msg)
{
    CControlUI* body = msg.pSender ? msg.pSender->GetParent() : nullptr;
    auto* list = dynamic_cast<CamListUI*>(body ? body->GetParent() : nullptr);
    if (!list)
        return;
    DeviceNode* node = list->NodeOf(msg.pSender);
    if (!node)
        return;
    if (list == deviceList_) {
        clickedDeviceId_ = node->isGroup ? std::string() : node->id;
        if (!node->isGroup)
            SetCameraNameText(clickedDeviceId_);
        SetCurDeviceId(clickedDeviceId_);
    }
    // A press on the expander toggles the node.
    const int x = msg.ptMouse.x - msg.pSender->GetPos().left;
    const auto [start, end] = CamListUI::ExpanderRange(node);
    if (start <= x && x < end)
        list->SetChildVisible(node, !node->expanded);
}

void CDuiFrameWnd::OnItemActivate(TNotifyUI& msg)
{
    if (!deviceList_)
        return;
    CControlUI* body = msg.pSender ? msg.pSender->GetParent() : nullptr;
    auto* list = dynamic_cast<CamListUI*>(body ? body->GetParent() : nullptr);
    DeviceNode* node = list ? list->NodeOf(msg.pSender) : nullptr;
    if (!node)
        return;
    if (list == recentList_) {
        if (!node->isGroup && !node->label.empty()) {
            SetCurDeviceId(node->label);
            PlayCamera(curDeviceId_, false);
        }
        return;
    }
    if (list != deviceList_)
        return;
    // The node's id is copied first: a rebuild during the play below would delete the node.
    const std::string id = node->id;
    const bool isGroup = node->isGroup;
    list->SetChildVisible(node, !node->expanded);
    if (!isGroup) {
        SetCurDeviceId(id);
        if (!curDeviceId_.empty())
            SetCameraNameText(clickedDeviceId_);
        PlayCamera(curDeviceId_, true);
    } else if (openAllReady_) {
        PlayNode(id);
    }
}

void CDuiFrameWnd::PlayCamera(const std::string& deviceId, bool recordInHistory, int cell)
{
    if (imLink_->RefuseCommand())
        return;
    // An offline camera cannot send its address: say so, and count no play that would open a cell
    // whenever it comes back.
    if (!CIMClient::Instance()->IsOnline(deviceId)) {
        ShowMsgTip(GetHWND(), QStringLiteral("摄像头不在线"));
        return;
    }
    std::string url;
    const bool known = StreamRequestMgr::Instance()->GetPlayUrl(deviceId, url);
    if (!known && (!videoWall_ || cell < 0)) {
        StreamRequestMgr::Instance()->ReqPlayUrl(deviceId, true);  // opened, and counted, when it comes
        return;
    }
    if (!known) {
        videoWall_->AwaitAddress(cell, deviceId);
        StreamRequestMgr::Instance()->ReqPlayUrl(deviceId, false);
    } else if (videoWall_ && cell >= 0) {
        videoWall_->PlayInCell(cell, deviceId, url);
    } else if (videoWall_) {
        videoWall_->OpenCamera(deviceId, url);
    }
    if (recordInHistory) {
        ViewHistory::Instance()->AddCamera(deviceId);
        PostMessage(WM_REFRESH_RECENT, 0, 0);
    }
}

void CDuiFrameWnd::PlayNode(const std::string& nodeId, int firstCell)
{
    if (imLink_->RefuseCommand())
        return;
    NodeRecord record;
    if (!DeviceMgr::Instance()->FindNode(nodeId, record))
        return;
    std::vector<CameraAddress> cameras;
    for (const DeviceRecord& device : record.childDevices) {
        std::string url;
        if (StreamRequestMgr::Instance()->GetPlayUrl(device.deviceId, url)) {
            cameras.push_back({device.deviceId, url});
            ViewHistory::Instance()->AddCamera(device.deviceId);
        } else {
            StreamRequestMgr::Instance()->ReqPlayUrl(device.deviceId, true);
        }
    }
    if (cameras.empty())
        return;
    PostMessage(WM_REFRESH_RECENT, 0, 0);
    if (videoWall_)
        videoWall_->OpenCameras(cameras, firstCell);
}

void CDuiFrameWnd::SetCurDeviceId(const std::string& deviceId)
{
    curDeviceId_ = deviceId;
    if (paramPanel_)
        paramPanel_->ShowCamera(deviceId);
}

void CDuiFrameWnd::SetCameraNameText(const std::string& text)
{
    if (CControlUI* name = FindControl(QStringLiteral("CameraName")))
        name->SetText(QString::fromStdString(text));
}

// The camera whose recordings are played becomes the current one: the window's speed and seek
// commands are sent to the current camera.
void CDuiFrameWnd::OpenPlayback(const std::string& deviceId)
{
    if (deviceId.empty())  // a cell emptied since its button was pressed
        return;
    SetCurDeviceId(deviceId);
    SetCameraNameText(deviceId);
    playback_->Open(GetHWND(), deviceId);
}

void CDuiFrameWnd::SayNotYetAvailable(const QString& what)
{
    ShowMsgTip(GetHWND(), what + QStringLiteral("尚未提供"));
}

// ---- window messages ----

LRESULT CDuiFrameWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (IsLayoutMessage(uMsg)) {
        if (videoWall_)
            ::SendMessage(videoWall_->GetHWND(), uMsg, 0, 0);
        return 0;
    }
    // A move pressed while the IM session is lost is refused; its release goes on as usual.
    if (wParam == 1 && PtzControl::MoveOf(uMsg) && imLink_ && imLink_->RefuseCommand())
        return 0;
    if (ptzPanel_ && ptzPanel_->HandleMessage(uMsg, wParam, curDeviceId_))
        return 0;
    switch (uMsg) {
    case WM_IM_DISCONNECTED:
        imLink_->Lost();
        return 0;
    case WM_IM_CONNECTED:
        imLink_->Restored();
        [[fallthrough]];
    case WM_IM_MESSAGE:
    case WM_IM_ROSTER:
    case WM_IM_PRESENCE:
        if (router_) {
            router_->HandleImEvent(uMsg, wParam, lParam);
        } else if (uMsg == WM_IM_MESSAGE) {
            TakeImMessage(lParam);
        } else if (uMsg == WM_IM_PRESENCE) {
            TakePresenceId(lParam);
        }
        return 0;
    case WM_REPLAY_SPEED_CMD:
    case WM_REPLAY_SEEK_CMD:
        if (lParam)
            SendCmdDirect(curDeviceId_, reinterpret_cast<const char*>(lParam));
        return 0;
    case WM_SHOW_LOCKSCREEN:
        ShowLockScreen();
        return 0;
    case WM_LOCK_CHANGED:
        if (auto* lock = m_PaintManager.FindControlAs<COptionUI>(QStringLiteral("IDC_BTN_LOCKSCREEN")))
            lock->Selected(LocalConfig::Instance()->IsScreenLocked(), false);
        return 0;
    case WM_TIMER:
        // Any timer, the roster's one-second timer or a list's glide, opens the "play whole node" gate.
        openAllReady_ = true;
        KillTimer(kOpenAllTimer);
        break;
    default:
        break;
    }
    return CXMLWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT CDuiFrameWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    switch (uMsg) {
    case WM_REFRESH_RECENT:
        RefreshRecentList();
        break;
    case WM_REBUILD_TREE:
        rebuildPosted_ = false;
        RebuildTree();
        break;
    case WM_ALARM_COUNT:
        ShowAlarmCount(AlarmMgr::Instance()->GetUnseen());
        break;
    case WM_CELL_SELECTED:
        SetCurDeviceId(LocalConfig::Instance()->GetCurrentCameraText());
        SetCameraNameText(curDeviceId_);
        break;
    case WM_CELL_PLAYBACK:
        if (videoWall_ && wParam < static_cast<WPARAM>(CvyrProDlg::kCellCount))
            OpenPlayback(videoWall_->Panel(static_cast<int>(wParam))->DeviceId());
        break;
    case WM_SWITCH_STREAM: {
        const std::string deviceId = StreamRequestMgr::Instance()->GetSwitchingDevice();
        if (!deviceId.empty()) {
            if (videoWall_)
                videoWall_->SuspendCamera(deviceId);
            if (wallViews_)
                wallViews_->SuspendCamera(deviceId);
            CamParamMgr::Instance()->ReqSwitchRatio(deviceId, static_cast<int>(wParam));
        }
        break;
    }
    case WM_MENU_COMMAND: {
        const auto* command = reinterpret_cast<const MenuCommand*>(wParam ? wParam : static_cast<WPARAM>(lParam));
        if (!command)
            break;
        const auto handler = menuHandlers_.find(QString::fromUtf8(command->szName));
        if (handler != menuHandlers_.end())
            handler->second(*command);
        else
            SayNotYetAvailable(QString::fromUtf8(command->szText[0] ? command->szText : command->szName));
        break;
    }
    default:
        break;
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CDuiFrameWnd::ResponseDefaultKeyEvent(WPARAM wParam)
{
    if (wParam == VK_ESCAPE) {
        ::PostMessage(LocalConfig::Instance()->GetVideoWallWindow(), WM_EXIT_FULLSCREEN, 0, 0);
        return TRUE;
    }
    return FALSE;
}

LRESULT CDuiFrameWnd::OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    // Activating the main window closes the split chooser; the click that did it must not reopen it.
    if (wParam && splitPopup_ && ::IsWindow(splitPopup_->GetHWND()) && splitPopup_->GetWidget() &&
        splitPopup_->GetWidget()->isVisible()) {
        splitPopup_->Close(0);
        swallowSplitClick_ = true;
    }
    return CXMLWnd::OnNcActivate(uMsg, wParam, lParam, bHandled);
}

LRESULT CDuiFrameWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (wParam == SC_CLOSE) {
        PostQuitMessage(0);
        bHandled = TRUE;
        return 0;
    }
    const bool wasZoomed = IsZoomed();
    const LRESULT result = CXMLWnd::OnSysCommand(uMsg, wParam, lParam, bHandled);
    if (wasZoomed != IsZoomed())
        UpdateZoomButtons();
    return result;
}

void CDuiFrameWnd::UpdateZoomButtons()
{
    const bool zoomed = IsZoomed();
    if (CControlUI* max = FindControl(QStringLiteral("maxbtn")))
        max->SetVisible(!zoomed);
    if (CControlUI* restore = FindControl(QStringLiteral("restorebtn")))
        restore->SetVisible(zoomed);
}

// ---- actions ----

void CDuiFrameWnd::ShowSplitChooser(CControlUI* button)
{
    const RECT pos = button->GetPos();
    const QPoint anchor(pos.left, pos.top - 220);
    if (!splitPopup_)
        splitPopup_ = std::make_unique<CPopWnd>();
    if (swallowSplitClick_) {
        swallowSplitClick_ = false;
        return;
    }
    if (!::IsWindow(splitPopup_->GetHWND()))
        splitPopup_->Create(GetHWND(), QStringLiteral("透明窗口演示"), 0x90000000, 0x80, 0, 0, 300, 215);
    if (wallViews_)
        wallViews_->AttachPanel(splitPopup_->GetWidget());
    QWidget* root = m_PaintManager.GetRootWidget();
    const QPoint screen = root ? root->mapToGlobal(anchor) : anchor;
    if (QWidget* popup = splitPopup_->GetWidget()) {
        popup->move(screen);
        splitPopup_->ShowWindow(true);
    }
}

void CDuiFrameWnd::CreateWallViews()
{
    WallViews::Setup setup;
    setup.mainWall = videoWall_;
    setup.mainWindow = GetHWND();
    setup.filePath = SavedViews::PathFor(LocalConfig::Instance()->ProgramDirectory(), UserSession::Instance()->Mobile());
    setup.addresses.lookup = [](const std::string& id, std::string& url) {
        return StreamRequestMgr::Instance()->GetPlayUrl(id, url);
    };
    setup.addresses.request = [](const std::string& id) { StreamRequestMgr::Instance()->ReqPlayUrl(id, false); };
    setup.hasCamera = [](const std::string& id) {
        DeviceRecord record;
        return DeviceMgr::Instance()->FindDevice(id, record);
    };
    setup.openPlayback = [this](const std::string& id) { OpenPlayback(id); };
    setup.recordWatched = [this](const std::string& id) { RecordWatched(id); };
    wallViews_ = std::make_unique<WallViews>(std::move(setup));
    wallViews_->Load();
}

void CDuiFrameWnd::SwitchUser()
{
    RememberedAccounts(CLoginFrameWnd::AccountFilePath()).SetUserSwitched(true);
    PostQuitMessage(0);
    ProgramRestart::StartNewInstance();
}

void CDuiFrameWnd::ShowLockScreen()
{
    CLockScreenWnd::Show(GetHWND());
}

// ---- the lists ----

void CDuiFrameWnd::RebuildTree()
{
    if (!deviceList_)
        return;
    DeviceMgr::Instance()->GetTree(topNodes_);
    deviceRoot_ = DeviceListBuilder::RebuildDeviceTree(deviceList_->Rows(), UserSession::Instance()->Mobile(),
                                                       topNodes_, *CIMClient::Instance());
}

void CDuiFrameWnd::RefreshRecentList()
{
    if (!recentList_)
        return;
    LOG(INFO) << "Camlist refresh s";
    DeviceListBuilder::HistoryGroups groups;
    ViewHistory::Instance()->LoadGroups(groups);
    DeviceListBuilder::RefreshRecentList(recentList_->Rows(), groups);
    LOG(INFO) << "Camlist refresh e";
}

void CDuiFrameWnd::PruneHistory()
{
    DeviceListBuilder::PruneHistory(*ViewHistory::Instance(), [](const std::string& deviceId) {
        DeviceRecord device;
        return DeviceMgr::Instance()->FindDevice(deviceId, device);
    });
}

void CDuiFrameWnd::MarkCameraOffline(const std::string& deviceId)
{
    if (!deviceList_)
        return;
    DeviceRecord device;
    DeviceMgr::Instance()->FindDevice(deviceId, device);
    DeviceListBuilder::MarkCameraOffline(deviceList_->Rows(), deviceId, device.alias);
}

// ---- DeviceReplyView ----

void CDuiFrameWnd::ShowMessageBox(const std::string& text)
{
    ShowMsgTip(GetHWND(), QString::fromStdString(text));
}

void CDuiFrameWnd::ShowDeviceInfo(const std::string& deviceId, const DeviceInfo& info)
{
    if (paramPanel_)
        paramPanel_->ShowDeviceInfo(deviceId, info);
}

void CDuiFrameWnd::ShowImagePanel(const std::string& deviceId)
{
    if (paramPanel_)
        paramPanel_->ShowImagePanel(deviceId);
}

void CDuiFrameWnd::ShowEncodePanel(const std::string& deviceId)
{
    if (paramPanel_)
        paramPanel_->ShowEncodePanel(deviceId);
}

void CDuiFrameWnd::SetAudioChecked(const std::string& deviceId, bool checked)
{
    if (paramPanel_)
        paramPanel_->SetAudioChecked(deviceId, checked);
}

void CDuiFrameWnd::RestartCameraCells(const std::string& deviceId)
{
    if (videoWall_)
        videoWall_->ResumeCamera(deviceId);
    if (wallViews_)
        wallViews_->ResumeCamera(deviceId);
}

void CDuiFrameWnd::OpenCameraInWall(const std::string& deviceId, const std::string& playUrl)
{
    if (videoWall_)
        videoWall_->OpenCamera(deviceId, playUrl);
}

void CDuiFrameWnd::RecordWatched(const std::string& deviceId)
{
    ViewHistory::Instance()->AddCamera(deviceId);
    PostMessage(WM_REFRESH_RECENT, 0, 0);
}

void CDuiFrameWnd::PassPlaybackReply(const std::string& deviceId, const std::string& body)
{
    if (!playback_->PassReply(deviceId, body))
        LOG(INFO) << "recording search reply from " << deviceId << " with no playback window open";
}

void CDuiFrameWnd::ShowAlarmCount(int unseen)
{
    if (!alarmBadge_)
        return;
    alarmBadge_->SetText(QString::number(unseen));
    alarmBadge_->SetVisible(unseen != 0);
}

void CDuiFrameWnd::RebuildDeviceTree()
{
    // Cameras come online in bursts; one pending rebuild serves them all, as each reads the latest state.
    if (!rebuildPosted_)
        rebuildPosted_ = PostMessage(WM_REBUILD_TREE, 0, 0);
}

void CDuiFrameWnd::ShowDeviceOffline(const std::string& deviceId)
{
    MarkCameraOffline(deviceId);
}

void CDuiFrameWnd::RosterArrived(const std::vector<std::string>&)
{
    PruneHistory();
    RefreshRecentList();
    RebuildTree();
    SetTimer(kOpenAllTimer, kOpenAllDelayMs);
    if (wallViews_)
        wallViews_->RestoreAtLogin();
}
