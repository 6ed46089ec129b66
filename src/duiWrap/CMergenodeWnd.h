#pragma once

#include "ui/WindowImplBase.h"

#include <string>
#include <vector>

class CListUI;
class CTreeViewUI;

// The merge window ("skinMergeNode.xml"): the account's tree on the left ("inputNodeList"), the
// nodes chosen for the merge on the right ("outputNodeList", in the order they were added), the new
// node's name below. It refuses cameras, the account row, a node chosen twice and a node above or
// below one already chosen; a merge needs a name and at least two nodes. It stays open after a
// merge (several merges in one run; its own tree shows the state from its opening) and deletes
// itself once its window is gone. UI thread only.
class CMergenodeWnd : public WindowImplBase {
public:
    // The menu's "合并节点": runs the window modally over the main window.
    static void ShowMerge(HWND mainWindow);

    QString GetWindowClassName() const override { return QStringLiteral("CMergenodeWnd"); }

protected:
    CDuiString GetSkinFile() override { return QStringLiteral("skinMergeNode.xml"); }
    void InitWindow() override;
    void OnClick(TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    explicit CMergenodeWnd(HWND mainWindow) : mainWindow_(mainWindow) {}
    void AddChosen();
    void RemoveChosen();
    void Merge();
    std::vector<std::string> ChosenIds() const;

    HWND mainWindow_;
    CListUI* chosenList_ = nullptr;
    CTreeViewUI* nodeTree_ = nullptr;
    CControlUI* newNameEdit_ = nullptr;
};
