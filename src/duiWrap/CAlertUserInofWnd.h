#pragma once

#include "ui/WindowImplBase.h"

#include <string>

// The add-node dialog ("AlterUserInfo.xml"): the name typed in "edit1" becomes a new node under the
// given parent (a top node when the parent is empty). It closes after the request, whatever its
// outcome, and refreshes the main window's tree after a success. UI thread only.
class CAlertUserInofWnd : public WindowImplBase {
public:
    CAlertUserInofWnd(QString captionText, std::string parentId, HWND mainWindow);

    // The menu's "新增节点": runs the dialog modally over the main window and releases it.
    static void ShowAddNode(HWND mainWindow, const std::string& parentId);

    QString GetWindowClassName() const override { return QStringLiteral("AlterUserInfoWnd"); }

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("AlterUserInfo.xml"); }
    void InitWindow() override;
    void OnClick(TNotifyUI& msg) override;

private:
    void AddNode();

    QString captionText_;
    std::string parentId_;
    HWND mainWindow_;
};
