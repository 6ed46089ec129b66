#include "duiWrap/MenuCommandRunner.h"

#include "device/CamParamMgr.h"
#include "device/CommandTexts.h"
#include "device/StreamRequestMgr.h"
#include "duiWrap/CAlertDevnameWnd.h"
#include "duiWrap/CAlertUserInofWnd.h"
#include "duiWrap/CChangeNode.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CMergenodeWnd.h"
#include "duiWrap/CMoveNodeWnd.h"
#include "duiWrap/CRegistDevice.h"
#include "duiWrap/TreeRefresh.h"
#include "service/DeviceMgr.h"
#include "ui/ShowMsgTip.h"
#include "ui/WindowMessages.h"
#include "video/CSettingWnd.h"
#include "video/CvyrProDlg.h"
#include "video/ViewHistory.h"
#include "video/WallViews.h"

void MenuCommandRunner::Register()
{
    auto on = [this](const char* name, CDuiFrameWnd::MenuHandler handler) {
        main_.SetMenuHandler(QString::fromUtf8(name), std::move(handler));
    };
    on("ID_SPLITNODE", [this](const MenuCommand& command) { SplitNode(command); });
    on("ID_ROOT_ADD_NODE", [this](const MenuCommand&) { CAlertUserInofWnd::ShowAddNode(main_.GetHWND(), selection_.nodeId); });
    on("ID_NODE_ADD_NODE", [this](const MenuCommand&) { CAlertUserInofWnd::ShowAddNode(main_.GetHWND(), selection_.nodeId); });
    on("ID_NODE_DEL_NODE", [this](const MenuCommand&) { DeleteNode(); });
    on("ID_CLOSEAALLVIEW", [this](const MenuCommand&) { StopAll(); });
    on("ID_CLOSENOTEALLVIEW", [this](const MenuCommand&) { StopNode(); });
    on("ID_NODE_ALTER_USERINFO", [this](const MenuCommand&) {
        CChangeNode::ShowChangeNode(main_.GetHWND(), selection_.nodeName, selection_.nodeId);
    });
    on("ID_NODE_ADD_DVR", [this](const MenuCommand&) { CRegistDevice::ShowRegister(main_.GetHWND(), selection_.nodeId); });
    on("ID_DEL_CAMERA", [this](const MenuCommand&) { DeleteCamera(); });
    on("logdevlist_delete", [this](const MenuCommand&) { DeleteRecentRow(); });
    on("ID_REBOOT_CAMERA", [this](const MenuCommand&) { RebootCamera(); });
    on("ID_NODE_MOVE_NODE", [this](const MenuCommand&) {
        if (!selection_.nodeId.empty())
            CMoveNodeWnd::ShowMoveNodeWindow(main_.GetHWND(), selection_.nodeId);
    });
    on("ID_ALTER_CAMERA", [this](const MenuCommand&) {
        if (!main_.CurDeviceId().empty())
            CAlertDevnameWnd::ShowRenameCamera(main_.GetHWND(), main_.CurDeviceId());
    });
    on("ID_MERGE_NODE", [this](const MenuCommand&) { CMergenodeWnd::ShowMerge(main_.GetHWND()); });
    on("ID_SET", [this](const MenuCommand&) { CSettingWnd::ShowSettings(main_.GetHWND()); });
}

// The view windows' cells stop with the main wall's. A camera double-clicked (or of "open all") whose
// address is still asked for has no cell yet: its waiting play is cancelled, else the address would
// start it after the stop.
void MenuCommandRunner::StopAll()
{
    if (CvyrProDlg* wall = main_.VideoWall())
        wall->StopAll();
    if (WallViews* views = main_.SavedWallViews())
        views->StopAll();
    StreamRequestMgr::Instance()->CancelPending([](const std::string&) { return true; });
}

void MenuCommandRunner::StopNode()
{
    const std::string& nodeId = selection_.nodeId;
    CvyrProDlg* wall = main_.VideoWall();
    if (wall)
        wall->StopNode(nodeId);
    if (WallViews* views = main_.SavedWallViews())
        views->StopNode(nodeId);
    // Such plays open on the main wall only; its membership decides, as for its cells.
    if (wall && wall->GetNodeMembership()) {
        const CvyrProDlg::NodeMembership& underNode = wall->GetNodeMembership();
        StreamRequestMgr::Instance()->CancelPending([&](const std::string& id) { return underNode(nodeId, id); });
    }
}

void MenuCommandRunner::Report(int result, const char* done)
{
    if (result != 0) {
        ShowMsgTip(main_.GetHWND(), QString::fromStdString(DeviceMgr::Instance()->ErrorText()));
        return;
    }
    TreeRefresh::AfterChange(main_.GetHWND());
    ShowMsgTip(main_.GetHWND(), QString::fromUtf8(done));
}

void MenuCommandRunner::SplitNode(const MenuCommand& command)
{
    Report(DeviceMgr::Instance()->SplitNode(command.szUserData), "拆分成功");
}

void MenuCommandRunner::DeleteNode()
{
    Report(DeviceMgr::Instance()->DeleteUserNode(selection_.nodeId), "删除结点成功！");
}

void MenuCommandRunner::DeleteCamera()
{
    const std::string& deviceId = main_.CurDeviceId();
    DeviceMgr* devices = DeviceMgr::Instance();
    // From the camera's row: unbound from the node of that row, which for a camera bound under
    // several nodes need not be the first one the tree lists it in.
    const bool fromItsRow = !selection_.cameraNodeId.empty() && selection_.nodeId == deviceId;
    Report(fromItsRow ? devices->DeleteNodeIpc(selection_.cameraNodeId, deviceId) : devices->DeleteNodeIpc(deviceId),
           "删除成功！");
}

void MenuCommandRunner::DeleteRecentRow()
{
    const MenuSelection::RecentRow& row = selection_.recentRow;
    if (!row.chosen)
        return;
    ViewHistory* history = ViewHistory::Instance();
    if (row.parentLabel.empty())
        history->ClearAll();
    else if (row.hasChildren)
        history->RemoveGroup(row.label);
    else
        history->RemoveEntry(row.parentLabel, row.label);
    main_.PostMessage(WM_REFRESH_RECENT, 0, 0);
}

void MenuCommandRunner::RebootCamera()
{
    CamParamMgr::Instance()->PostCmd(main_.CurDeviceId(), CommandTexts::Reboot());
}
