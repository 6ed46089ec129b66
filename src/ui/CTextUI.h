#pragma once

#include "ui/CLabelUI.h"

// A label that reads as text, not as decoration (a QLabel with the dynamic property class="TextUI").
class CTextUI : public CLabelUI {
public:
    using CLabelUI::CLabelUI;
    QString GetClass() const override { return QStringLiteral("TextUI"); }
};
