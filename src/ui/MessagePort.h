#pragma once

#include "ui/WinDef.h"

#include <QHash>
#include <QObject>

class MessageTarget;
class QTimer;

// The Qt object behind one window handle: posted messages arrive here as events, in the order they
// were posted by each thread, and are handed to the target. Lives on the UI thread.
class MessagePort : public QObject {
public:
    explicit MessagePort(MessageTarget* target);
    ~MessagePort() override;

    static constexpr int kEventType = 1000 + 0x400;      // a posted message
    static constexpr int kSendEventType = 1000 + 0x401;  // a message sent from another thread

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void SetTimer(WPARAM id, unsigned elapseMs);
    void KillTimer(WPARAM id);
    // The target is going away: stop the timers and drop every later delivery.
    void Detach();

protected:
    bool event(QEvent* e) override;

private:
    MessageTarget* target_;
    QHash<WPARAM, QTimer*> timers_;
};
