#include "ui/CButtonUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/SkinButton.h"

#include <QPushButton>

CButtonUI::CButtonUI()
    : CButtonUI(new SkinButton<QPushButton>)
{
}

CButtonUI::CButtonUI(QWidget* widget)
    : CLabelUI(widget)
{
}

SkinButtonState* CButtonUI::Skin() const
{
    return dynamic_cast<SkinButtonState*>(GetWidget());
}

void CButtonUI::SetAttribute(const QString& name, const QString& value)
{
    if (SkinButtonState* skin = Skin()) {
        SkinImage image = SkinImage::Parse(value);
        if (name == "normalimage")
            skin->normal = image;
        else if (name == "hotimage")
            skin->hot = image;
        else if (name == "pushedimage")
            skin->pushed = image;
        else if (name == "disabledimage")
            skin->disabled = image;
        else if (name == "selectedimage")
            skin->selected = image;
        else if (name == "foreimage")
            skin->fore = image;
    }
    CLabelUI::SetAttribute(name, value);
}

void CButtonUI::OnAttached()
{
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    if (button == nullptr || manager_ == nullptr)
        return;
    QObject::connect(button, &QAbstractButton::clicked, manager_->Hub(), [this] {
        if (IsEnabled())
            manager_->SendNotify(this, QStringLiteral("click"));
    });
}
