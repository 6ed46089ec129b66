#include "ui/BusyCursor.h"

#include "ui/RequestRunner.h"

#include <QCursor>
#include <QGuiApplication>

void BusyCursor::Install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    RequestRunner::SetBusyObserver([](bool busy) {
        if (busy)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QGuiApplication::restoreOverrideCursor();
    });
}
