#pragma once

#include "ui/CControlUI.h"

// A text label (QLabel in the layouts). Attributes: "align" (left, center, right), "showhtml".
class CLabelUI : public CControlUI {
public:
    CLabelUI();
    explicit CLabelUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("LabelUI"); }
    void SetAttribute(const QString& name, const QString& value) override;
};
