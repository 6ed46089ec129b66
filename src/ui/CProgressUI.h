#pragma once

#include "ui/CLabelUI.h"

// A progress bar (QProgressBar); base of the slider. Attributes "min", "max", "value".
class CProgressUI : public CLabelUI {
public:
    CProgressUI();
    explicit CProgressUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("ProgressUI"); }
    void SetAttribute(const QString& name, const QString& value) override;

    int GetValue() const;
    void SetValue(int value);
    int GetMinValue() const;
    void SetMinValue(int value);
    int GetMaxValue() const;
    void SetMaxValue(int value);
};
