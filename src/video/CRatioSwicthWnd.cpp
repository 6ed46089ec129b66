#include "video/CRatioSwicthWnd.h"

#include "ui/CControlUI.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <QEvent>
#include <QWidget>

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
                ::PostMessage(cell_, WM_SWITCH_STREAM, static_cast<WPARAM>(level.width), level.height);
                Close(0);
                return;
            }
        }
    }
    WindowImplBase::Notify(msg);
}

LRESULT CRatioSwicthWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_KILLFOCUS || uMsg == WM_MOUSELEAVE) {
        Close(0);
        return 0;
    }
    return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CRatioSwicthWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
