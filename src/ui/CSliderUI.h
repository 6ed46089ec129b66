#pragma once

#include "ui/CProgressUI.h"

// A slider (QSlider in the layouts). Sends "valuechanged" when the user moved it (on release when
// dragged) or code changed its value.
class CSliderUI : public CProgressUI {
public:
    CSliderUI();
    explicit CSliderUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("SliderUI"); }
    void OnAttached() override;
};
