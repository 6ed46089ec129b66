#include "ui/CMenuWnd.h"

#include "ui/CMenuElementUI.h"
#include "ui/MenuCommand.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cstring>

namespace {

void CopyText(char* target, size_t size, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::strncpy(target, bytes.constData(), size - 1);
    target[size - 1] = '\0';
}

}  // namespace

CMenuWnd* CMenuWnd::CreateMenu(CMenuElementUI*, const QString& xml, POINT point, CPaintManagerUI* mainManager,
                               std::map<CDuiString, bool>* checkInfo, DWORD alignment)
{
    auto* menu = new CMenuWnd;
    menu->xml_ = xml;
    menu->point_ = point;
    menu->alignment_ = alignment;
    menu->owner_ = mainManager ? mainManager->GetPaintWindow() : nullptr;
    menu->checkInfo_ = checkInfo;
    menu->SetPopup(true);
    if (menu->Create(menu->owner_, QStringLiteral("MenuWnd"), WS_POPUP, WS_EX_TOOLWINDOW) == nullptr)
        return nullptr;  // deleted by its OnFinalMessage
    menu->ResizeMenu();
    menu->ShowWindow(true);
    return menu;
}

CMenuUI* CMenuWnd::GetMenuUI() const
{
    return dynamic_cast<CMenuUI*>(m_PaintManager.GetRoot());
}

CMenuElementUI* CMenuWnd::FindMenuItem(const QString& name) const
{
    CMenuUI* menu = GetMenuUI();
    for (int i = 0; menu && i < menu->GetCount(); ++i)
        if (auto* item = dynamic_cast<CMenuElementUI*>(menu->GetItemAt(i)); item && item->GetName() == name)
            return item;
    return nullptr;
}

void CMenuWnd::InitWindow()
{
    CMenuUI* menu = GetMenuUI();
    for (int i = 0; menu && checkInfo_ && i < menu->GetCount(); ++i)
        if (auto* item = dynamic_cast<CMenuElementUI*>(menu->GetItemAt(i)); item && item->IsCheckItem()) {
            auto it = checkInfo_->find(item->GetName());
            item->SetChecked(it != checkInfo_->end() && it->second);
        }
}

void CMenuWnd::ResizeMenu()
{
    QWidget* window = GetWidget();
    if (window == nullptr)
        return;
    // Items shown or hidden by code change the layouts only when they run next: run them now, so
    // the size fits the items that remain.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (CMenuUI* menu = GetMenuUI(); menu && menu->GetWidget() && menu->GetWidget() != window)
        menu->GetWidget()->adjustSize();
    window->adjustSize();
    int x = point_.x, y = point_.y;
    if (alignment_ & eMenuAlignment_Right)
        x -= window->width();
    if (alignment_ & eMenuAlignment_Bottom)
        y -= window->height();
    if (QScreen* screen = QGuiApplication::screenAt(QPoint(point_.x, point_.y))) {
        const QRect area = screen->availableGeometry();
        x = qBound(area.left(), x, qMax(area.left(), area.right() - window->width()));
        y = qBound(area.top(), y, qMax(area.top(), area.bottom() - window->height()));
    }
    window->move(x, y);
}

void CMenuWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "click")
        if (auto* item = dynamic_cast<CMenuElementUI*>(msg.pSender); item && item->IsEnabled()) {
            Report(item);
            Close(IDOK);
            return;
        }
    WindowImplBase::Notify(msg);
}

void CMenuWnd::Report(CMenuElementUI* item)
{
    bool checked = item->GetChecked();
    if (item->IsCheckItem() && checkInfo_)
        (*checkInfo_)[item->GetName()] = checked;
    auto* command = new MenuCommand;
    CopyText(command->szName, sizeof command->szName, item->GetName());
    CopyText(command->szUserData, sizeof command->szUserData, item->GetUserData());
    CopyText(command->szText, sizeof command->szText, item->GetText());
    command->bChecked = checked;
    if (!::PostMessage(owner_, WM_MENU_COMMAND, reinterpret_cast<WPARAM>(command), 0))
        delete command;  // no owner any more
}

void CMenuWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
