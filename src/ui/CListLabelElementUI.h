#pragma once

#include "ui/CListElementUI.h"

// A one-line row of a list or combo; its text may carry inline markup (when the list shows it).
class CListLabelElementUI : public CListElementUI {
public:
    QString GetClass() const override { return QStringLiteral("ListLabelElementUI"); }
};
