#include "ui/CWindowWnd.h"

#include "ui/BusyCursor.h"
#include "ui/MenuCommand.h"
#include "ui/ModalLoop.h"
#include "ui/RequestRunner.h"
#include "ui/WidgetHandles.h"
#include "ui/WindowEventRouter.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"
#include "ui/WindowWidget.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

struct CWindowWnd::ModalState {
    ModalLoop loop;
    UINT result = 0;
    bool destroyed = false;
};

CWindowWnd::CWindowWnd()
    : MessageTarget(NoHandle{})
    , alive_(std::make_shared<bool>(true))
{
}

CWindowWnd::~CWindowWnd()
{
    *alive_ = false;
    if (widget_) {
        WindowWidget* widget = widget_;
        widget->Detach();
        widget_ = nullptr;
        widget->hide();
        widget->deleteLater();
    }
    if (GetHWND())
        WidgetHandles::Unbind(GetHWND());
    if (modal_)
        modal_->loop.End();
}

HWND CWindowWnd::Create(HWND hwndParent, const QString& name, DWORD style, DWORD exStyle, const RECT& rc)
{
    return Create(hwndParent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

HWND CWindowWnd::Create(HWND hwndParent, const QString& name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy)
{
    if (widget_)
        return GetHWND();
    WindowEventRouter::Install();
    BusyCursor::Install();
    QWidget* parent = hwndParent ? WidgetHandles::Widget(hwndParent) : nullptr;
    const bool child = (style & WS_CHILD) != 0 && parent != nullptr;
    Qt::WindowFlags flags = Qt::Widget;
    if (!child) {
        flags = Qt::Window | Qt::FramelessWindowHint;
        if (popup_)
            flags = Qt::Popup | Qt::FramelessWindowHint;
        else if ((exStyle & WS_EX_TOOLWINDOW) != 0)
            flags |= Qt::Tool;
        if (parent)
            parent = parent->window();
    }
    widget_ = new WindowWidget(this, parent, flags);
    widget_->setObjectName(GetWindowClassName());
    widget_->setWindowTitle(name);
    AcquireHandle();
    WidgetHandles::Bind(GetHWND(), widget_);
    if (cx > 0 && cy > 0)
        widget_->resize(cx, cy);

    std::shared_ptr<bool> alive = alive_;
    SendMessage(WM_CREATE, 0, 0);
    if (!*alive || !widget_)
        return nullptr;
    if (x != CW_USEDEFAULT && y != CW_USEDEFAULT)
        widget_->move(x, y);
    if ((style & WS_VISIBLE) != 0)
        widget_->show();
    return GetHWND();
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus)
{
    if (!widget_)
        return;
    widget_->setVisible(show);
    if (show && takeFocus && widget_->isWindow())
        widget_->activateWindow();
}

UINT CWindowWnd::ShowModal()
{
    if (!widget_ || IsQuitPending())
        return 0;
    auto state = std::make_shared<ModalState>();
    modal_ = state;
    // A modal window blocks its owner only, as a platform's modal loop disables only the owner: a
    // window without owner (the log-in and main windows) leaves the other windows usable, the
    // notices it shows included.
    if (widget_->isWindow() && widget_->parentWidget() != nullptr && widget_->windowModality() == Qt::NonModal) {
        // Qt takes the modality when a window is shown: a window made visible by Create is shown again.
        widget_->hide();
        widget_->setWindowModality(Qt::WindowModal);
    }
    widget_->show();
    widget_->raise();
    widget_->activateWindow();
    state->loop.Run();
    // The window may be gone (and this object deleted by OnFinalMessage): only `state` is safe here.
    if (!state->destroyed && modal_ == state)
        modal_.reset();
    return state->destroyed ? state->result : 0;
}

void CWindowWnd::Close(UINT nRet)
{
    PostMessage(WM_CLOSE, nRet, 0);
}

void CWindowWnd::CenterWindow()
{
    if (!widget_ || !widget_->isWindow())
        return;
    QRect area;
    if (QWidget* owner = widget_->parentWidget(); owner && owner->isVisible())
        area = owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    QRect frame = widget_->frameGeometry();
    frame.moveCenter(area.center());
    widget_->move(frame.topLeft());
}

void CWindowWnd::SetIcon(UINT)
{
    // The program's icon is the application icon (set once at start-up); nothing per window.
}

void CWindowWnd::ResizeClient(int cx, int cy)
{
    if (!widget_)
        return;
    widget_->resize(cx < 0 ? widget_->width() : cx, cy < 0 ? widget_->height() : cy);
}

QString CWindowWnd::GetWindowText() const
{
    return widget_ ? widget_->windowTitle() : QString();
}

void CWindowWnd::SetWindowText(const QString& text)
{
    if (widget_)
        widget_->setWindowTitle(text);
}

bool CWindowWnd::IsZoomed() const
{
    return widget_ && widget_->isMaximized();
}

bool CWindowWnd::IsIconic() const
{
    return widget_ && widget_->isMinimized();
}

LRESULT CWindowWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return GetHWND() ? ::SendMessage(GetHWND(), uMsg, wParam, lParam) : 0;
}

bool CWindowWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return GetHWND() && ::PostMessage(GetHWND(), uMsg, wParam, lParam);
}

QWidget* CWindowWnd::GetWidget() const
{
    return widget_;
}

CWindowWnd* CWindowWnd::FromHandle(HWND hwnd)
{
    auto* widget = dynamic_cast<WindowWidget*>(WidgetHandles::Widget(hwnd));
    return widget ? widget->Window() : nullptr;
}

CWindowWnd* CWindowWnd::FromWidget(const QWidget* widget)
{
    for (; widget != nullptr; widget = widget->parentWidget())
        if (auto* w = dynamic_cast<const WindowWidget*>(widget))
            return w->Window();
    return nullptr;
}

LRESULT CWindowWnd::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(wParam));
        return 0;
    }
    std::unique_ptr<MenuCommand> menuCommand;
    if (message == WM_MENU_COMMAND)
        menuCommand.reset(reinterpret_cast<MenuCommand*>(wParam));
    if (message == WM_CLOSE)
        closeCode_ = static_cast<UINT>(wParam);
    return HandleMessage(message, wParam, lParam);
}

bool CWindowWnd::PreTranslate(UINT, WPARAM, LPARAM)
{
    return false;
}

bool CWindowWnd::DispatchInput(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<bool> alive = alive_;
    if (PreTranslate(uMsg, wParam, lParam))
        return true;
    if (!*alive || !GetHWND())
        return true;
    const bool outer = passToQt_;
    passToQt_ = false;
    HandleMessage(uMsg, wParam, lParam);
    if (!*alive)
        return true;
    const bool consumed = !passToQt_;
    passToQt_ = outer;
    return consumed;
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM)
{
    switch (uMsg) {
    case WM_CLOSE:
        if (RequestRunner::Busy()) {
            // The caller of the request may be code of this window: it closes once that caller has its reply.
            const HWND hwnd = GetHWND();
            const UINT code = closeCode_;
            RequestRunner::WhenIdle([hwnd, code] { ::PostMessage(hwnd, WM_CLOSE, code, 0); });
            return 0;
        }
        DestroyWindow();
        return 0;
    case WM_SYSCOMMAND:
        if (!widget_)
            return 0;
        if (wParam == SC_CLOSE)
            SendMessage(WM_CLOSE, 0, 0);
        else if (wParam == SC_MINIMIZE)
            widget_->showMinimized();
        else if (wParam == SC_MAXIMIZE)
            widget_->showMaximized();
        else if (wParam == SC_RESTORE)
            widget_->showNormal();
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
        passToQt_ = true;
        return 0;
    default:
        return 0;
    }
}

void CWindowWnd::OnFinalMessage(HWND) {}

void CWindowWnd::OnWidgetShown()
{
    if (shownOnce_)
        return;
    shownOnce_ = true;
    OnFirstShow();
}

void CWindowWnd::DestroyWindow()
{
    if (!widget_ || destroying_)
        return;
    destroying_ = true;
    HWND hwnd = GetHWND();
    std::shared_ptr<bool> alive = alive_;
    HandleMessage(WM_DESTROY, 0, 0);
    if (!*alive)
        return;
    WindowWidget* widget = widget_;
    widget_ = nullptr;
    if (widget) {
        widget->Detach();
        widget->hide();
        widget->deleteLater();  // may be the widget whose event is being handled
    }
    FinishDestroy(hwnd);
}

void CWindowWnd::OnWidgetDestroyed()
{
    if (destroying_)
        return;
    destroying_ = true;
    widget_ = nullptr;
    HWND hwnd = GetHWND();
    std::shared_ptr<bool> alive = alive_;
    HandleMessage(WM_DESTROY, 0, 0);
    if (*alive)
        FinishDestroy(hwnd);
}

void CWindowWnd::FinishDestroy(HWND hwnd)
{
    WidgetHandles::Unbind(hwnd);
    ReleaseHandle();
    if (std::shared_ptr<ModalState> state = std::move(modal_)) {
        state->destroyed = true;
        state->result = closeCode_;
        state->loop.End();
    }
    destroying_ = false;
    shownOnce_ = false;
    OnFinalMessage(hwnd);
}
