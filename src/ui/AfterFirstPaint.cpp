#include "ui/AfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

void AfterFirstPaint::Run(QWidget* window, std::function<void()> job)
{
    new AfterFirstPaint(window, std::move(job));
}

AfterFirstPaint::AfterFirstPaint(QWidget* window, std::function<void()> job) : QObject(window), job_(std::move(job))
{
    window->installEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        // Queued, so that it runs after the children paint and the frame reaches the screen.
        QTimer::singleShot(0, std::move(job_));
        watched->removeEventFilter(this);
        deleteLater();
    }
    return false;
}
