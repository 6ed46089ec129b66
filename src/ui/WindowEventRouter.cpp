#include "ui/WindowEventRouter.h"

#include "ui/CWindowWnd.h"
#include "ui/WindowWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

namespace {

WPARAM VirtualKey(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<WPARAM>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<WPARAM>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + static_cast<WPARAM>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    default:
        return 0;
    }
}

LPARAM ClientPoint(CWindowWnd* window, const QPointF& global)
{
    QPoint p = window->GetWidget()->mapFromGlobal(global.toPoint());
    return MAKELPARAM(p.x(), p.y());
}

}  // namespace

void WindowEventRouter::Install()
{
    static WindowEventRouter* router = nullptr;
    if (router == nullptr && QApplication::instance() != nullptr) {
        router = new WindowEventRouter;
        router->setParent(QApplication::instance());
        QApplication::instance()->installEventFilter(router);
    }
}

bool WindowEventRouter::IsPropagation(QWidget* receiver, QEvent* event)
{
    auto* input = static_cast<QInputEvent*>(event);
    QPointF global;
    if (auto* mouse = dynamic_cast<QSinglePointEvent*>(event))
        global = mouse->globalPosition();
    int key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
    bool same = lastReceiver_ && lastType_ == event->type() && lastTimestamp_ == input->timestamp()
                && lastGlobal_ == global && lastKey_ == key && receiver->isAncestorOf(lastReceiver_);
    lastReceiver_ = receiver;
    lastType_ = event->type();
    lastTimestamp_ = input->timestamp();
    lastGlobal_ = global;
    lastKey_ = key;
    return same;
}

bool WindowEventRouter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick
        && type != QEvent::MouseMove && type != QEvent::Wheel && type != QEvent::KeyPress)
        return false;
    if (!watched->isWidgetType())
        return false;
    auto* receiver = static_cast<QWidget*>(watched);
    CWindowWnd* window = CWindowWnd::FromWidget(receiver);
    if (window == nullptr || window->GetWidget() == nullptr)
        return false;
    if (IsPropagation(receiver, event))
        return false;

    if (type == QEvent::KeyPress) {
        WPARAM vk = VirtualKey(static_cast<QKeyEvent*>(event)->key());
        return vk != 0 && window->DispatchInput(WM_KEYDOWN, vk, 0);
    }
    if (type == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        return window->DispatchInput(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<std::uint32_t>(delta & 0xFFFF) << 16),
                                     ClientPoint(window, wheel->globalPosition()));
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    const LPARAM point = ClientPoint(window, mouse->globalPosition());
    const bool left = mouse->button() == Qt::LeftButton;
    const bool right = mouse->button() == Qt::RightButton;
    switch (type) {
    case QEvent::MouseButtonPress:
        if (left) {
            // A press in the caption area drags the window instead of reaching a control.
            QPoint global = mouse->globalPosition().toPoint();
            if (window->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(global.x(), global.y())) == HTCAPTION) {
                if (QWidget* top = window->GetWidget(); top->isWindow() && top->windowHandle())
                    top->windowHandle()->startSystemMove();
                return true;
            }
            return window->DispatchInput(WM_LBUTTONDOWN, 0, point);
        }
        return right && window->DispatchInput(WM_RBUTTONDOWN, 0, point);
    case QEvent::MouseButtonRelease:
        if (left)
            return window->DispatchInput(WM_LBUTTONUP, 0, point);
        return right && window->DispatchInput(WM_RBUTTONUP, 0, point);
    case QEvent::MouseButtonDblClick:
        return left && window->DispatchInput(WM_LBUTTONDBLCLK, 0, point);
    case QEvent::MouseMove:
        return window->DispatchInput(WM_MOUSEMOVE, 0, point);
    default:
        return false;
    }
}
