#pragma once

#include <QPointer>
#include <QString>

class CControlUI;
class QWidget;

// Marks the control that started a request as working while the mark lives: disabled, with another
// text (the log-in button reads "登录中…"). The control gets its text and state back when the mark
// ends, unless it was destroyed meanwhile. UI thread only.
class BusyMark {
public:
    BusyMark(CControlUI* control, const QString& busyText);
    ~BusyMark();
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    QPointer<QWidget> widget_;
    QString text_;
    bool enabled_ = true;
};
