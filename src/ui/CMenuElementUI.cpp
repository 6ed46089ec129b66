#include "ui/CMenuElementUI.h"

#include "ui/SkinButton.h"

#include <QPushButton>

CMenuElementUI::CMenuElementUI()
    : CButtonUI(new SkinButton<QPushButton>)
{
    auto* button = static_cast<QPushButton*>(GetWidget());
    button->setFlat(true);
    button->setProperty("menuItem", true);
    button->setFocusPolicy(Qt::NoFocus);
}

void CMenuElementUI::SetAttribute(const QString& name, const QString& value)
{
    if (name == "checkitem") {
        checkItem_ = value == "true";
        static_cast<QPushButton*>(GetWidget())->setCheckable(checkItem_);
    } else if (name == "checked") {
        SetChecked(value == "true");
    }
    CButtonUI::SetAttribute(name, value);
}

bool CMenuElementUI::GetChecked() const
{
    auto* button = qobject_cast<QPushButton*>(GetWidget());
    return button && button->isChecked();
}

void CMenuElementUI::SetChecked(bool checked)
{
    if (auto* button = qobject_cast<QPushButton*>(GetWidget()); button && button->isCheckable())
        button->setChecked(checked);
}
