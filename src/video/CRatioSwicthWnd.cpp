#include "video/CRatioSwicthWnd.h"

#include "ui/CControlUI.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace {

struct Level {
    const char* button;
    int width;
    int height;
};
constexpr Level kLevels[] = {
    {"IDC_BTN_GAOQING", 1280, 960},
    {"IDC_BTN_JUNHENG", 640, 360},
    {"IDC_BTN_LIUCHANG", 320, 180},
};

// A child window gets no deactivation of its own: the chooser holds the keyboard focus and closes
// when it goes elsewhere (a click on another cell or control).
class FocusLossCloser : public QObject {
public:
    FocusLossCloser(QWidget* watched, CRatioSwicthWnd* chooser) : QObject(watched), chooser_(chooser)
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut)
            chooser_->Close(0);
        return false;
    }

private:
    CRatioSwicthWnd* chooser_;
};

}  // namespace

void CRatioSwicthWnd::Open(HWND cell)
{
    cell_ = cell;
    Create(cell, "RatioSwicthWnd", WS_CHILD, 0);
    QWidget* chooser = GetWidget();
    CWindowWnd* owner = CWindowWnd::FromHandle(cell);
    if (chooser == nullptr || owner == nullptr || owner->GetWidget() == nullptr)
        return;
    const QWidget* area = owner->GetWidget();
    chooser->move(area->width() - chooser->width(), area->height() - chooser->height() - 30);
    ShowWindow(true, true);
    chooser->raise();
    chooser->setFocusPolicy(Qt::StrongFocus);
    chooser->setFocus();
    new FocusLossCloser(chooser, this);
}

void CRatioSwicthWnd::InitWindow()
{
    for (const Level& level : kLevels) {
        for (const QString& name : {QString(level.button), QString(level.button) + "_Lab"})
            if (CControlUI* control = FindControl(name))
                control->SetEnabled(true);
    }
}

void CRatioSwicthWnd::Notify(TNotifyUI& msg)
{
    if ((msg.sType == "click" || msg.sType == "itemclick") && msg.pSender != nullptr) {
        const QString name = msg.pSender->GetName();
        for (const Level& level : kLevels) {
            if (name == level.button) {
                Choose(level.width, level.height);
                return;
            }
        }
    }
    WindowImplBase::Notify(msg);
}

void CRatioSwicthWnd::Choose(int width, int height)
{
    ::PostMessage(cell_, WM_SWITCH_STREAM, static_cast<WPARAM>(width), height);
    Close(0);
}

// The whole row of a level is its button: the icon, its word ("高清", "均衡", "流畅") and the space
// between them, across the chooser's width.
bool CRatioSwicthWnd::ChooseRowAt(const POINT& pt)
{
    const QWidget* chooser = GetWidget();
    if (chooser == nullptr)
        return false;
    for (const Level& level : kLevels) {
        CControlUI* button = FindControl(level.button);
        CControlUI* label = FindControl(QString(level.button) + "_Lab");
        if (button == nullptr || !button->IsEnabled())
            continue;
        const RECT b = button->GetPos();
        const RECT l = label != nullptr ? label->GetPos() : b;
        const int top = std::min(b.top, l.top);
        const int bottom = std::max(b.bottom, l.bottom);
        if (pt.y >= top && pt.y < bottom && pt.x >= 0 && pt.x < chooser->width()) {
            Choose(level.width, level.height);
            return true;
        }
    }
    return false;
}

LRESULT CRatioSwicthWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_KILLFOCUS || uMsg == WM_MOUSELEAVE) {
        Close(0);
        return 0;
    }
    if (uMsg == WM_LBUTTONDOWN && ChooseRowAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
        return 0;
    return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CRatioSwicthWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
