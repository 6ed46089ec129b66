#include "ui/WindowWidget.h"

#include "ui/CWindowWnd.h"

#include <QCloseEvent>
#include <QResizeEvent>
#include <QTimer>

namespace {

bool IsMouseButtonEvent(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
}

}  // namespace

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
    // Input given to a child window stays there, as a platform's child window keeps its messages: a
    // press or double click that no control took does not travel on to the widgets it lies in (a
    // play cell would otherwise take a double click on its play window a second time). Decided
    // before the event is handled: a deferred delete ends this widget inside QWidget::event.
    const bool keepInChild = !isWindow() && IsMouseButtonEvent(event->type());
    const bool result = QWidget::event(event);
    if (keepInChild) {
        event->accept();
        return true;
    }
    return result;
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
    // A window manager (or none) may size a window below its minimum; it grows back, so every
    // control of its layout stays reachable.
    if (isWindow() && !isMinimized() && (width() < minimumWidth() || height() < minimumHeight()))
        QTimer::singleShot(0, this, [this] {
            if (!isMinimized())
                resize(size().expandedTo(minimumSize()));
        });
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
