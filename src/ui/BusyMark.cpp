#include "ui/BusyMark.h"

#include "ui/CControlUI.h"

BusyMark::BusyMark(CControlUI* control, const QString& busyText)
{
    if (control == nullptr)
        return;
    widget_ = control->GetWidget();
    text_ = control->GetText();
    enabled_ = control->IsEnabled();
    control->SetText(busyText);
    control->SetEnabled(false);
}

BusyMark::~BusyMark()
{
    if (CControlUI* control = CControlUI::FromWidget(widget_)) {
        control->SetText(text_);
        control->SetEnabled(enabled_);
    }
}
