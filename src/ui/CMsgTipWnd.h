#pragma once

#include "ui/WindowImplBase.h"

// The program's message box: "skinMessageBox.xml" with the label "contentLabel" (the text) and the
// button "closebtn" (closes with 1, as Escape does; Enter does nothing). The system close command
// closes only this box, with 1.
class CMsgTipWnd : public WindowImplBase {
public:
    explicit CMsgTipWnd(const QString& text) : text_(text) {}
    QString GetWindowClassName() const override { return QStringLiteral("MsgTipWnd"); }
    QString GetText() const { return text_; }

protected:
    void InitWindow() override;
    CDuiString GetSkinFile() override { return QStringLiteral("skinMessageBox.xml"); }
    CDuiString GetSkinFolder() override { return QStringLiteral("skin\\"); }
    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    QString text_;
};
