#pragma once

#include "ui/WinDef.h"

#include <QObject>
#include <QHash>

class MessageTarget;
class QTimer;

// The Qt object behind one window handle: posted messages arrive here as events, in the order they
// were posted by each thread, and are handed to the target. Lives on the UI thread.
class MessagePort : public QObject {
public:
    explicit MessagePort(MessageTarget* target);
    ~MessagePort() override;

    static constexpr int kEventType = 1000 + 0x400;  // a QEvent::User offset of our own

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void SetTimer(WPARAM id, unsigned elapseMs);
    void KillTimer(WPARAM id);

protected:
    bool event(QEvent* e) override;

private:
    MessageTarget* target_;
    QHash<WPARAM, QTimer*> timers_;
};
