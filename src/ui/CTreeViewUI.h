#pragma once

#include "ui/CContainerUI.h"

#include <vector>

class CTreeNodeUI;
class QAbstractItemDelegate;
class QTreeWidget;
class QTreeWidgetItem;

// A tree of CTreeNodeUI rows (class "TreeViewUI" in the layouts), optionally with check boxes
// ("visiblecheckbtn" = true). With check propagation on ("checkpropagation" = true, the default), a
// ticked or cleared node carries its subtree along and each ancestor shows ticked when all its
// children are, partly ticked when some are; with it off every box stands alone. Node texts use the
// inline markup of MarkupText when "itemshowhtml" = true.
// Notifications: "itemclick", "itemactivate" (double click), "itemrclick" then "menu" (right click;
// "menu" when the node's context menu is on) with the node as sender; "itemselect" (sender = tree);
// "itemclickcheck" (sender = node, wParam = 1 ticked / 0 cleared) when the user clicks a box.
class CTreeViewUI : public CContainerUI {
public:
    CTreeViewUI();
    ~CTreeViewUI() override;
    QString GetClass() const override { return QStringLiteral("TreeViewUI"); }
    void SetAttribute(const QString& name, const QString& value) override;

    int GetCount() const override;
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    // Top-level nodes only (anything else is refused); the tree owns them.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    void SetVisibleCheckBtn(bool visible);
    bool GetVisibleCheckBtn() const { return checkBoxes_; }
    void SetCheckPropagation(bool on) { propagate_ = on; }
    // Texts with the inline markup of the lists ("{x 4}{i gameicons.png 18 7}..."), attribute "itemshowhtml".
    void SetShowHtml(bool show);
    bool IsShowHtml() const { return markupDelegate_ != nullptr; }
    bool GetCheckPropagation() const { return propagate_; }
    void SetItemCheckBox(bool selected, CTreeNodeUI* node);
    // Shows the node's box partly ticked (something below it is), without propagation or notification.
    void SetItemPartlyChecked(CTreeNodeUI* node);
    void SetItemExpand(bool expanded, CTreeNodeUI* node);
    CTreeNodeUI* GetSelectedNode() const;
    bool SelectNode(CTreeNodeUI* node);

    QTreeWidget* Tree() const;

protected:
    void OnAttached() override;

private:
    friend class CTreeNodeUI;
    void PrepareItem(CTreeNodeUI* node);
    void OnItemChanged(QTreeWidgetItem* item);
    void UpdateAncestors(QTreeWidgetItem* item);
    std::vector<CTreeNodeUI*> roots_;
    QAbstractItemDelegate* markupDelegate_ = nullptr;
    bool checkBoxes_ = false;
    bool propagate_ = true;
    bool updating_ = false;
    bool programmatic_ = false;
};
