#pragma once

#include "ui/COptionUI.h"

// A check box (QCheckBox in the layouts).
class CCheckBoxUI : public COptionUI {
public:
    CCheckBoxUI();
    explicit CCheckBoxUI(QWidget* widget);
    QString GetClass() const override { return QStringLiteral("CheckBoxUI"); }
    bool GetCheck() const { return IsSelected(); }
    void SetCheck(bool check, bool triggerEvent = true) { Selected(check, triggerEvent); }
};
