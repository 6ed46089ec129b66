#pragma once

#include "ui/CLabelUI.h"

// A date and/or time picker (QDateEdit / QTimeEdit / QDateTimeEdit in the layouts, or the classes
// "DateUI", "TimeUI", "DateTimeUI"; windows may answer their custom picker tags with one). How it
// prints follows QLocale::setDefault. Sends "datetimechanged" when the user changes it.
class CDateTimeUI : public CLabelUI {
public:
    enum Mode { DateOnly, TimeOnly, DateAndTime };
    explicit CDateTimeUI(Mode mode = DateOnly);
    explicit CDateTimeUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("DateTimeUI"); }

    SYSTEMTIME& GetTime();
    void SetTime(const SYSTEMTIME* time);

protected:
    void OnAttached() override;

private:
    SYSTEMTIME time_;
};
