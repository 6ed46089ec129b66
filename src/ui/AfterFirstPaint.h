#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Runs a job once a window has painted for the first time. Work the window does not need, queued to
// the event loop's first round, would otherwise run between the window's mapping and its first paint,
// and the user would look at an empty frame meanwhile. The job is dropped when the window goes
// before it painted.
class AfterFirstPaint : public QObject {
public:
    static void Run(QWidget* window, std::function<void()> job);

private:
    AfterFirstPaint(QWidget* window, std::function<void()> job);
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::function<void()> job_;
};
