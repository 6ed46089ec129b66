#pragma once

#include "ui/CContainerUI.h"

// A container whose children stand side by side (a widget with a QHBoxLayout).
class CHorizontalLayoutUI : public CContainerUI {
public:
    CHorizontalLayoutUI();
    explicit CHorizontalLayoutUI(QWidget* widget) : CContainerUI(widget) {}
    QString GetClass() const override { return QStringLiteral("HorizontalLayoutUI"); }
};
