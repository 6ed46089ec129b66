#include "ui/CDateTimeUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/SkinDropDown.h"

#include <QDateTimeEdit>

namespace {

QDateTimeEdit* MakePicker(CDateTimeUI::Mode mode)
{
    auto* picker = new SkinDropDown<QDateTimeEdit>(QDateTime::currentDateTime());
    picker->setCalendarPopup(mode != CDateTimeUI::TimeOnly);
    if (mode == CDateTimeUI::DateOnly)
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    else if (mode == CDateTimeUI::TimeOnly)
        picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    else
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return picker;
}

}  // namespace

CDateTimeUI::CDateTimeUI(Mode mode)
    : CLabelUI(MakePicker(mode))
{
}

CDateTimeUI::CDateTimeUI(QWidget* widget)
    : CLabelUI(widget)
{
}

SYSTEMTIME& CDateTimeUI::GetTime()
{
    auto* picker = qobject_cast<QDateTimeEdit*>(GetWidget());
    const QDateTime value = picker ? picker->dateTime() : QDateTime();
    time_.wYear = static_cast<WORD>(value.date().year());
    time_.wMonth = static_cast<WORD>(value.date().month());
    time_.wDay = static_cast<WORD>(value.date().day());
    time_.wDayOfWeek = static_cast<WORD>(value.date().dayOfWeek() % 7);  // Sunday = 0
    time_.wHour = static_cast<WORD>(value.time().hour());
    time_.wMinute = static_cast<WORD>(value.time().minute());
    time_.wSecond = static_cast<WORD>(value.time().second());
    time_.wMilliseconds = static_cast<WORD>(value.time().msec());
    return time_;
}

void CDateTimeUI::SetTime(const SYSTEMTIME* time)
{
    auto* picker = qobject_cast<QDateTimeEdit*>(GetWidget());
    if (picker == nullptr || time == nullptr)
        return;
    const QDate date(time->wYear, time->wMonth, time->wDay);
    const QTime clock(time->wHour, time->wMinute, time->wSecond, time->wMilliseconds);
    if (date.isValid() && clock.isValid())
        picker->setDateTime(QDateTime(date, clock));
}

void CDateTimeUI::OnAttached()
{
    auto* picker = qobject_cast<QDateTimeEdit*>(GetWidget());
    if (picker == nullptr || manager_ == nullptr)
        return;
    QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, manager_->Hub(),
                     [this] { manager_->SendNotify(this, QStringLiteral("datetimechanged")); });
}
