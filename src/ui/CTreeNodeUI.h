#pragma once

#include "ui/CControlUI.h"

#include <vector>

class CTreeViewUI;
class QTreeWidgetItem;

// A node of a CTreeViewUI: a row drawn by the tree, with child nodes and an optional check box.
// A node owns its children; removing a node deletes its subtree. Its text may carry the inline markup
// of MarkupText: the row shows the plain text, with the first picture of the markup as its icon.
class CTreeNodeUI : public CControlUI {
public:
    // Item data role of the node's text as given, markup included (the item's own text is plain).
    static constexpr int kMarkupRole = Qt::UserRole + 1;

    CTreeNodeUI();
    ~CTreeNodeUI() override;
    QString GetClass() const override { return QStringLiteral("TreeNodeUI"); }

    QString GetText() const override;
    void SetText(const QString& text) override;
    QString GetItemText() const { return GetText(); }
    void SetItemText(const QString& text) { SetText(text); }
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetToolTip(const QString& text) override;
    RECT GetPos() const override;
    CControlUI* GetParent() const override;

    bool Add(CTreeNodeUI* child);
    bool AddChildNode(CTreeNodeUI* child) { return Add(child); }
    bool AddAt(CTreeNodeUI* child, int index);
    bool Remove(CTreeNodeUI* child);  // deletes it
    void RemoveAll();
    int GetCountChild() const { return static_cast<int>(children_.size()); }
    CTreeNodeUI* GetChildNode(int index) const;
    CTreeNodeUI* GetParentNode() const { return parentNode_; }
    CTreeViewUI* GetTreeView() const { return tree_; }
    int GetTreeLevel() const;
    bool IsHasChild() const { return !children_.empty(); }

    bool IsCheckBoxSelected() const;
    // Ticks or clears the box; with propagation on, the subtree follows and the ancestors are updated.
    void SetCheckBoxSelected(bool selected);
    bool IsExpanded() const;
    void SetExpanded(bool expanded);

    QTreeWidgetItem* Item() const { return item_; }
    static CTreeNodeUI* FromItem(const QTreeWidgetItem* item);

private:
    friend class CTreeViewUI;
    void SetTree(CTreeViewUI* tree);
    void ForgetItems();  // the tree widget deleted the items
    QTreeWidgetItem* item_;
    CTreeNodeUI* parentNode_ = nullptr;
    CTreeViewUI* tree_ = nullptr;
    std::vector<CTreeNodeUI*> children_;
};
