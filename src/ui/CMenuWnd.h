#pragma once

#include "ui/CContainerUI.h"
#include "ui/WindowImplBase.h"

#include <map>

class CMenuElementUI;

// The container of a menu's items (the top widget of a menu layout).
using CMenuUI = CContainerUI;

// A popup menu built from a menu layout (a top widget whose layout holds MenuElementUI items).
// It opens at a screen point, closes on a choice, Escape or a click elsewhere, and reports the chosen
// item to the owner window (the window of `mainManager`) by posting WM_MENU_COMMAND with a
// MenuCommand record (name, user data, text, check state). The menu deletes itself when it closes.
class CMenuWnd : public WindowImplBase {
public:
    enum MenuAlignment {
        eMenuAlignment_Left = 1 << 1,
        eMenuAlignment_Top = 1 << 2,
        eMenuAlignment_Right = 1 << 3,
        eMenuAlignment_Bottom = 1 << 4,
    };

    // `point` in screen coordinates; `checkInfo` (may be null) gives and keeps the state of check items.
    static CMenuWnd* CreateMenu(CMenuElementUI* owner, const QString& xml, POINT point, CPaintManagerUI* mainManager,
                                std::map<CDuiString, bool>* checkInfo = nullptr,
                                DWORD alignment = eMenuAlignment_Left | eMenuAlignment_Top);

    QString GetWindowClassName() const override { return QStringLiteral("MenuWnd"); }
    CMenuUI* GetMenuUI() const;
    // A direct item of the menu by name (null when absent).
    CMenuElementUI* FindMenuItem(const QString& name) const;
    // Fits the menu to its items (after code added or hid some) and places it again at its point.
    void ResizeMenu();
    void Notify(TNotifyUI& msg) override;

protected:
    CDuiString GetSkinFile() override { return xml_; }
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;

private:
    CMenuWnd() = default;
    void Report(CMenuElementUI* item);
    QString xml_;
    POINT point_;
    DWORD alignment_ = 0;
    HWND owner_ = nullptr;
    std::map<CDuiString, bool>* checkInfo_ = nullptr;
};
