#pragma once

#include "ui/WindowImplBase.h"

#include <string>

// The rename-node dialog ("skinChangeNode.xml"): the node's new name in "IDC_EDIT_NODENAME". The
// longitude and latitude fields are shown ("0.00000000") but never sent. It closes after the
// request, whatever its outcome, and refreshes the main window's tree after a success. UI thread only.
class CChangeNode : public WindowImplBase {
public:
    CChangeNode(std::string nodeName, std::string nodeId, HWND mainWindow);

    // The menu's "修改节点": runs the dialog modally over the main window and releases it.
    static void ShowChangeNode(HWND mainWindow, const std::string& nodeName, const std::string& nodeId);

    QString GetWindowClassName() const override { return QStringLiteral("ChangeNodeWnd"); }

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("skinChangeNode.xml"); }
    void InitWindow() override;
    void OnClick(TNotifyUI& msg) override;

private:
    void Rename();

    std::string nodeName_;
    std::string nodeId_;
    HWND mainWindow_;
};
