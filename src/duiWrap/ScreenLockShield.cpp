#include "duiWrap/ScreenLockShield.h"

#include "app/LocalConfig.h"
#include "ui/WindowMessages.h"
#include "ui/WindowRegistry.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

}  // namespace

ScreenLockShield::ScreenLockShield(HWND mainWindow) : mainWindow_(mainWindow)
{
    QApplication::instance()->installEventFilter(this);
}

ScreenLockShield::~ScreenLockShield()
{
    if (QApplication::instance())
        QApplication::instance()->removeEventFilter(this);
}

bool ScreenLockShield::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsInput(event->type()) || !watched->isWidgetType() || !LocalConfig::Instance()->IsScreenLocked())
        return false;
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && static_cast<QWidget*>(watched)->window() == modal)
        return false;
    if (!modal && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress))
        ::PostMessage(mainWindow_, WM_SHOW_LOCKSCREEN, 0, 0);
    return true;
}
