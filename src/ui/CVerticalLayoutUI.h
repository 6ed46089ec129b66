#pragma once

#include "ui/CContainerUI.h"

// A container whose children stand one above the other (a widget with a QVBoxLayout).
class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI();
    explicit CVerticalLayoutUI(QWidget* widget) : CContainerUI(widget) {}
    QString GetClass() const override { return QStringLiteral("VerticalLayoutUI"); }
};
