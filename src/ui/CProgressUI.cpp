#include "ui/CProgressUI.h"

#include <QAbstractSlider>
#include <QProgressBar>

CProgressUI::CProgressUI()
    : CProgressUI(new QProgressBar)
{
}

CProgressUI::CProgressUI(QWidget* widget)
    : CLabelUI(widget)
{
}

void CProgressUI::SetAttribute(const QString& name, const QString& value)
{
    if (name == "min")
        SetMinValue(value.toInt());
    else if (name == "max")
        SetMaxValue(value.toInt());
    else if (name == "value")
        SetValue(value.toInt());
    CLabelUI::SetAttribute(name, value);
}

int CProgressUI::GetValue() const
{
    if (auto* s = qobject_cast<QAbstractSlider*>(GetWidget()))
        return s->value();
    if (auto* p = qobject_cast<QProgressBar*>(GetWidget()))
        return p->value();
    return 0;
}

void CProgressUI::SetValue(int value)
{
    if (auto* s = qobject_cast<QAbstractSlider*>(GetWidget()))
        s->setValue(value);
    else if (auto* p = qobject_cast<QProgressBar*>(GetWidget()))
        p->setValue(value);
}

int CProgressUI::GetMinValue() const
{
    if (auto* s = qobject_cast<QAbstractSlider*>(GetWidget()))
        return s->minimum();
    if (auto* p = qobject_cast<QProgressBar*>(GetWidget()))
        return p->minimum();
    return 0;
}

void CProgressUI::SetMinValue(int value)
{
    if (auto* s = qobject_cast<QAbstractSlider*>(GetWidget()))
        s->setMinimum(value);
    else if (auto* p = qobject_cast<QProgressBar*>(GetWidget()))
        p->setMinimum(value);
}

int CProgressUI::GetMaxValue() const
{
    if (auto* s = qobject_cast<QAbstractSlider*>(GetWidget()))
        return s->maximum();
    if (auto* p = qobject_cast<QProgressBar*>(GetWidget()))
        return p->maximum();
    return 0;
}

void CProgressUI::SetMaxValue(int value)
{
    if (auto* s = qobject_cast<QAbstractSlider*>(GetWidget()))
        s->setMaximum(value);
    else if (auto* p = qobject_cast<QProgressBar*>(GetWidget()))
        p->setMaximum(value);
}
