#include "video/CPopWnd.h"

#include "ui/CControlUI.h"
#include "ui/WidgetHandles.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <QWidget>

namespace {

struct LayoutButton {
    const char* name;
    UINT message;
};
constexpr LayoutButton kLayoutButtons[] = {
    {"btn1", WM_LAYOUT_1},   {"btn4", WM_LAYOUT_4},   {"btn9", WM_LAYOUT_9},   {"btn16", WM_LAYOUT_16},
    {"btn64", WM_LAYOUT_64}, {"btn25", WM_LAYOUT_25}, {"btn36", WM_LAYOUT_36}, {"btn49", WM_LAYOUT_49},
    {"btn6", WM_LAYOUT_6},   {"btn8", WM_LAYOUT_8},   {"btn14", WM_LAYOUT_14}, {"btn17", WM_LAYOUT_17},
};

}  // namespace

HWND CPopWnd::Owner() const
{
    if (owner_ != nullptr)
        return owner_;
    const QWidget* widget = GetWidget();
    return widget != nullptr ? WidgetHandles::NearestHandle(widget->parentWidget()) : nullptr;
}

void CPopWnd::InitWindow()
{
    closeButton_ = FindControl("closebtn");
    maxButton_ = FindControl("maxbtn");
    restoreButton_ = FindControl("restorebtn");
    minButton_ = FindControl("minbtn");
    menuButton_ = FindControl("menubtn");
}

void CPopWnd::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender->GetName();
    if (name == "closebtn") {
        Close(0);
        return;
    }
    if (name == "minbtn" || name == "maxbtn" || name == "restorebtn") {
        SendMessage(WM_SYSCOMMAND, name == "minbtn" ? SC_MINIMIZE : name == "maxbtn" ? SC_MAXIMIZE : SC_RESTORE, 0);
        return;
    }
    for (const LayoutButton& button : kLayoutButtons) {
        if (name == button.name) {
            ::SendMessage(Owner(), button.message, 0, 0);
            return;
        }
    }
}

void CPopWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "click" && msg.pSender != nullptr) {
        OnClick(msg);
        return;
    }
    WindowImplBase::Notify(msg);
}

LRESULT CPopWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (wParam == SC_CLOSE) {
        bHandled = TRUE;
        Close(0);
        return 0;
    }
    const LRESULT result = WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
    UpdateZoomButtons();
    return result;
}

void CPopWnd::UpdateZoomButtons()
{
    const bool zoomed = IsZoomed();
    if (maxButton_ != nullptr)
        maxButton_->SetVisible(!zoomed);
    if (restoreButton_ != nullptr)
        restoreButton_->SetVisible(zoomed);
}
