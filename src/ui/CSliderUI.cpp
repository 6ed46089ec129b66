#include "ui/CSliderUI.h"

#include "ui/CPaintManagerUI.h"

#include <QSlider>

CSliderUI::CSliderUI()
    : CSliderUI(new QSlider(Qt::Horizontal))
{
}

CSliderUI::CSliderUI(QWidget* widget)
    : CProgressUI(widget)
{
}

void CSliderUI::OnAttached()
{
    auto* slider = qobject_cast<QAbstractSlider*>(GetWidget());
    if (slider == nullptr || manager_ == nullptr)
        return;
    QObject::connect(slider, &QAbstractSlider::valueChanged, manager_->Hub(), [this, slider](int value) {
        if (!slider->isSliderDown())
            manager_->SendNotify(this, QStringLiteral("valuechanged"), static_cast<WPARAM>(value), 0);
    });
    QObject::connect(slider, &QAbstractSlider::sliderReleased, manager_->Hub(),
                     [this, slider] { manager_->SendNotify(this, QStringLiteral("valuechanged"), static_cast<WPARAM>(slider->value()), 0); });
}
