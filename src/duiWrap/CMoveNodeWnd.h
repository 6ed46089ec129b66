#pragma once

#include "ui/WindowImplBase.h"

#include <string>

class CTreeViewUI;

// The move window ("skinMoveNode.xml"): moves the given node under the node picked in the
// account's tree ("movenode_tree"). Cameras, the node itself and nodes holding cameras (directly or
// below them) cannot be picked; the account row picks nothing. A refused move leaves the window open
// with the service's reason; a success refreshes the main window's tree and closes. The object
// deletes itself once its window is gone. UI thread only.
class CMoveNodeWnd : public WindowImplBase {
public:
    // The menu's "移动节点": runs the window for that node modally over `owner` (the main window).
    static void ShowMoveNodeWindow(HWND owner, const std::string& nodeId);

    QString GetWindowClassName() const override { return QStringLiteral("MoveNodeWnd"); }
    void Notify(TNotifyUI& msg) override;

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("skinMoveNode.xml"); }
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;

private:
    CMoveNodeWnd(std::string sourceNodeId, HWND mainWindow);
    void PickTarget(CControlUI* item);
    void Move();
    void SetField(const char* name, const std::string& text);
    std::string Field(const char* name) const;

    std::string sourceNodeId_;
    HWND mainWindow_;
    CTreeViewUI* nodeTree_ = nullptr;
};
