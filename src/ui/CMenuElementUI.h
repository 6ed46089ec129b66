#pragma once

#include "ui/CButtonUI.h"

// An item of a popup menu (class "MenuElementUI" in menu layouts, or made by code and added to the
// menu with CMenuWnd::GetMenuUI()->Add). Its name is the command reported to the menu's owner; its
// user data travels with it. Attribute "checkitem" = true makes it a check item (state from the
// menu's check map).
class CMenuElementUI : public CButtonUI {
public:
    CMenuElementUI();
    QString GetClass() const override { return QStringLiteral("MenuElementUI"); }
    void SetAttribute(const QString& name, const QString& value) override;
    bool IsCheckItem() const { return checkItem_; }
    bool GetChecked() const;
    void SetChecked(bool checked);

private:
    bool checkItem_ = false;
};
