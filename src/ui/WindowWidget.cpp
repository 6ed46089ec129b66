#include "ui/WindowWidget.h"

#include "ui/CWindowWnd.h"

#include <QCloseEvent>
#include <QResizeEvent>

WindowWidget::WindowWidget(CWindowWnd* window, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , window_(window)
{
    setMouseTracking(true);
}

WindowWidget::~WindowWidget()
{
    // Deleted by Qt (its owner or parent went away) while the window still had it.
    if (CWindowWnd* window = window_) {
        window_ = nullptr;
        window->OnWidgetDestroyed();
    }
}

bool WindowWidget::event(QEvent* event)
{
    if (window_ != nullptr) {
        switch (event->type()) {
        case QEvent::WindowActivate:
            window_->SendMessage(WM_NCACTIVATE, TRUE, 0);
            if (window_)
                window_->SendMessage(WM_SETFOCUS, 0, 0);
            break;
        case QEvent::WindowDeactivate:
            window_->SendMessage(WM_NCACTIVATE, FALSE, 0);
            if (window_)
                window_->SendMessage(WM_KILLFOCUS, 0, 0);
            break;
        case QEvent::Enter:
            window_->SendMessage(WM_MOUSEHOVER, 0, 0);
            break;
        case QEvent::Leave:
            window_->SendMessage(WM_MOUSELEAVE, 0, 0);
            break;
        default:
            break;
        }
    }
    return QWidget::event(event);
}

void WindowWidget::closeEvent(QCloseEvent* event)
{
    // Closing from outside (the window manager, Alt+F4) is the system close command; the window
    // decides, and is destroyed by its own handling if it agrees.
    event->ignore();
    if (window_)
        window_->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void WindowWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (window_) {
        WPARAM kind = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
        window_->SendMessage(WM_SIZE, kind, MAKELPARAM(width(), height()));
    }
}

void WindowWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (window_ && event->type() == QEvent::WindowStateChange) {
        WPARAM kind = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
        window_->SendMessage(WM_SIZE, kind, MAKELPARAM(width(), height()));
    }
}

void WindowWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (window_)
        window_->OnWidgetShown();
}
