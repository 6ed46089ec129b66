#include "duiWrap/MenuOpener.h"

#include "app/UserSession.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceNode.h"
#include "service/DeviceMgr.h"
#include "ui/CControlUI.h"
#include "ui/CMenuElementUI.h"
#include "ui/CMenuWnd.h"
#include "ui/WindowRegistry.h"

#include <QWidget>

namespace {

// The resource of a sub-account's role that allows rebooting cameras.
constexpr const char* kRebootRight = "20160315011";

// The list a row belongs to (row → body → list).
CamListUI* ListOfRow(CControlUI* row)
{
    CControlUI* body = row ? row->GetParent() : nullptr;
    return dynamic_cast<CamListUI*>(body ? body->GetParent() : nullptr);
}

}  // namespace

CMenuWnd* MenuOpener::OpenMenu() const
{
    return lastMenu_ && ::IsWindow(lastMenu_) ? dynamic_cast<CMenuWnd*>(CWindowWnd::FromHandle(lastMenu_)) : nullptr;
}

CMenuWnd* MenuOpener::Open(const QString& layout, POINT clientPoint)
{
    CPaintManagerUI* manager = main_.GetPaintManager();
    QWidget* root = manager->GetRootWidget();
    const QPoint screen = root ? root->mapToGlobal(QPoint(clientPoint.x, clientPoint.y))
                               : QPoint(clientPoint.x, clientPoint.y);
    CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, layout, POINT{screen.x(), screen.y()}, manager, &menuCheckMap_,
                                          CMenuWnd::eMenuAlignment_Left | CMenuWnd::eMenuAlignment_Top);
    lastMenu_ = menu ? menu->GetHWND() : nullptr;
    return menu;
}

void MenuOpener::OpenMainMenu(CControlUI* button)
{
    if (button == nullptr || UserSession::Instance()->IsSonAccount())
        return;
    const RECT pos = button->GetPos();
    Open(QStringLiteral("menuxml/MainMenu.xml"), POINT{pos.left, pos.bottom});
}

void MenuOpener::OpenContextMenu(const TNotifyUI& msg)
{
    CamListUI* list = ListOfRow(msg.pSender);
    if (list == nullptr)
        return;
    if (list == main_.DeviceList())
        OpenTreeMenu(list->NodeOf(msg.pSender), msg.ptMouse);
    else if (list == main_.RecentList())
        OpenRecentMenu(msg.ptMouse);
}

void MenuOpener::OpenTreeMenu(DeviceNode* node, POINT point)
{
    if (node == nullptr)
        return;
    selection_.cameraNodeId.clear();
    if (node->level == 0) {
        selection_.nodeId.clear();
        Open(QStringLiteral("menuxml/menu0-1.xml"), point);
    } else if (node->isGroup) {
        selection_.nodeName = node->label;
        selection_.nodeId = node->id;
        CMenuWnd* menu = Open(QStringLiteral("menuxml/menu1-0.xml"), point);
        if (menu && DeviceMgr::Instance()->IsMergedNode(node->id))
            if (CMenuElementUI* split = menu->FindMenuItem(QStringLiteral("ID_SPLITNODE"))) {
                split->SetVisible(true);
                split->SetUserData(QString::fromStdString(node->id));
                menu->ResizeMenu();
            }
    } else {
        selection_.nodeName = node->parent ? node->parent->label : std::string();
        selection_.nodeId = node->id;
        selection_.cameraNodeId = node->parent ? node->parent->id : std::string();
        main_.SetCurDeviceId(node->id);
        CMenuWnd* menu = Open(QStringLiteral("menuxml/menu2-1.xml"), point);
        UserSession* session = UserSession::Instance();
        if (menu && session->IsSonAccount())
            if (CMenuElementUI* reboot = menu->FindMenuItem(QStringLiteral("ID_REBOOT_CAMERA"))) {
                reboot->SetVisible(session->HasRight(kRebootRight));
                menu->ResizeMenu();
            }
    }
}

void MenuOpener::OpenRecentMenu(POINT point)
{
    CamListUI* recent = main_.RecentList();
    DeviceNode* row = recent ? recent->NodeAt(recent->GetCurSel()) : nullptr;
    if (row == nullptr)
        return;
    selection_.recentRow = {true, row->label, row->parent ? row->parent->label : std::string(), !row->children.empty()};
    CMenuWnd* menu = Open(QStringLiteral("menuxml/LogCamMenu.xml"), point);
    if (menu == nullptr)
        return;
    auto* remove = new CMenuElementUI;
    remove->SetName(QStringLiteral("logdevlist_delete"));
    remove->SetText(QStringLiteral("删除"));
    remove->SetUserData(QStringLiteral("logdevlist_delete"));
    menu->GetMenuUI()->Add(remove);
    menu->ResizeMenu();
}
