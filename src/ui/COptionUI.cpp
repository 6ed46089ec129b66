#include "ui/COptionUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/SkinButton.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QSignalBlocker>

COptionUI::COptionUI()
    : COptionUI(new SkinButton<QPushButton>)
{
}

COptionUI::COptionUI(QWidget* widget)
    : CButtonUI(widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setCheckable(true);
}

void COptionUI::SetAttribute(const QString& name, const QString& value)
{
    if (name == "group")
        SetGroup(value);
    else if (name == "selected")
        Selected(value == "true");
    CButtonUI::SetAttribute(name, value);
}

void COptionUI::SetGroup(const QString& group)
{
    group_ = group;
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    if (button == nullptr || manager_ == nullptr)
        return;
    if (button->group())
        button->group()->removeButton(button);
    if (!group.isEmpty())
        manager_->GetOptionGroup(group)->addButton(button);
}

bool COptionUI::IsSelected() const
{
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    return button && button->isChecked();
}

void COptionUI::Selected(bool selected, bool triggerEvent)
{
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    if (button == nullptr || button->isChecked() == selected)
        return;
    QSignalBlocker blocker(triggerEvent ? nullptr : button);
    // An exclusive group refuses to clear its checked button; clearing is allowed here.
    QButtonGroup* group = button->group();
    if (!selected && group && group->exclusive()) {
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(true);
    } else {
        button->setChecked(selected);
    }
}

void COptionUI::OnAttached()
{
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    if (button == nullptr || manager_ == nullptr)
        return;
    if (!group_.isEmpty())
        SetGroup(group_);
    if (auto* skin = Skin())
        skin->beforeToggle = [this] {
            clickSent_ = true;
            manager_->SendNotify(this, QStringLiteral("click"));
        };
    QObject::connect(button, &QAbstractButton::clicked, manager_->Hub(), [this] {
        // A click that changed nothing (the checked option of a group) still reports "click".
        if (!clickSent_)
            manager_->SendNotify(this, QStringLiteral("click"));
        clickSent_ = false;
    });
    QObject::connect(button, &QAbstractButton::toggled, manager_->Hub(),
                     [this](bool checked) { manager_->SendNotify(this, QStringLiteral("selectchanged"), checked ? 1 : 0, 0); });
}
