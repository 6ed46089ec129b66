#pragma once

#include <QObject>
#include <QPointer>
#include <QPointF>

class QWidget;

// Application-wide event filter that hands mouse and keyboard input on a toolkit window to that
// window as messages before Qt delivers it to the control under it (the way a Windows window sees
// input first). Installed once, by the first window created. UI thread only.
class WindowEventRouter : public QObject {
public:
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Qt re-delivers ignored input to the parents; the window must see each input only once.
    bool IsPropagation(QWidget* receiver, QEvent* event);
    QPointer<QWidget> lastReceiver_;
    int lastType_ = 0;
    unsigned long lastTimestamp_ = 0;
    QPointF lastGlobal_;
    int lastKey_ = 0;
};
