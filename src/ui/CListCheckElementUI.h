#pragma once

#include "ui/CListTextElementUI.h"

// A list row with a check box before its first column ("listex_item_style" rows); the owner decides
// when a click ticks it.
class CListCheckElementUI : public CListTextElementUI {
public:
    QString GetClass() const override { return QStringLiteral("ListCheckElementUI"); }
    bool GetCheck() const { return checked_; }
    void SetCheck(bool checked)
    {
        checked_ = checked;
        Invalidate();
    }

private:
    bool checked_ = false;
};
