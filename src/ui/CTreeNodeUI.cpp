#include "ui/CTreeNodeUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/CTreeViewUI.h"
#include "ui/MarkupText.h"
#include "ui/SkinImage.h"

#include <QTreeWidget>

CTreeNodeUI::CTreeNodeUI()
    : item_(new QTreeWidgetItem)
{
    item_->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
}

CTreeNodeUI::~CTreeNodeUI()
{
    for (CTreeNodeUI* child : children_) {
        child->parentNode_ = nullptr;
        delete child;
    }
    delete item_;  // also takes it out of its parent item or tree
}

void CTreeNodeUI::ForgetItems()
{
    item_ = nullptr;
    for (CTreeNodeUI* child : children_)
        child->ForgetItems();
}

CTreeNodeUI* CTreeNodeUI::FromItem(const QTreeWidgetItem* item)
{
    return item ? reinterpret_cast<CTreeNodeUI*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

void CTreeNodeUI::SetTree(CTreeViewUI* tree)
{
    tree_ = tree;
    manager_ = tree ? tree->GetManager() : nullptr;
    if (tree)
        tree->PrepareItem(this);
    for (CTreeNodeUI* child : children_)
        child->SetTree(tree);
}

QString CTreeNodeUI::GetText() const
{
    return item_ ? item_->data(0, kMarkupRole).toString() : QString();
}

void CTreeNodeUI::SetText(const QString& text)
{
    if (!item_)
        return;
    item_->setData(0, kMarkupRole, text);
    item_->setText(0, MarkupText::PlainText(text));
    QIcon icon;
    for (const MarkupText::Run& run : MarkupText::Parse(text)) {
        if (run.kind == MarkupText::Run::Image) {
            icon = QIcon(SkinImage::Piece(run.file, run.count, run.index));
            break;
        }
    }
    item_->setIcon(0, icon);
}

void CTreeNodeUI::SetVisible(bool visible)
{
    visible_ = visible;
    if (item_)
        item_->setHidden(!visible);
}

void CTreeNodeUI::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (item_)
        item_->setDisabled(!enabled);
}

void CTreeNodeUI::SetToolTip(const QString& text)
{
    toolTip_ = text;
    if (item_)
        item_->setToolTip(0, text);
}

RECT CTreeNodeUI::GetPos() const
{
    RECT rc;
    if (!item_ || !tree_ || !tree_->Tree())
        return rc;
    QTreeWidget* tree = tree_->Tree();
    QRect r = tree->visualItemRect(item_);
    QWidget* root = manager_ ? manager_->GetRootWidget() : nullptr;
    QPoint topLeft = root && root->isAncestorOf(tree->viewport()) ? tree->viewport()->mapTo(root, r.topLeft()) : r.topLeft();
    rc.left = topLeft.x();
    rc.top = topLeft.y();
    rc.right = rc.left + r.width();
    rc.bottom = rc.top + r.height();
    return rc;
}

CControlUI* CTreeNodeUI::GetParent() const
{
    if (parentNode_)
        return parentNode_;
    return tree_;
}

bool CTreeNodeUI::Add(CTreeNodeUI* child)
{
    return AddAt(child, GetCountChild());
}

bool CTreeNodeUI::AddAt(CTreeNodeUI* child, int index)
{
    if (child == nullptr || child == this || child->parentNode_ != nullptr || !item_ || !child->item_)
        return false;
    index = qBound(0, index, GetCountChild());
    children_.insert(children_.begin() + index, child);
    child->parentNode_ = this;
    item_->insertChild(index, child->item_);
    child->SetTree(tree_);
    return true;
}

bool CTreeNodeUI::Remove(CTreeNodeUI* child)
{
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end())
        return false;
    children_.erase(it);
    child->parentNode_ = nullptr;
    delete child;
    return true;
}

void CTreeNodeUI::RemoveAll()
{
    while (!children_.empty())
        Remove(children_.back());
}

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const
{
    return index >= 0 && index < GetCountChild() ? children_[static_cast<size_t>(index)] : nullptr;
}

int CTreeNodeUI::GetTreeLevel() const
{
    int level = 0;
    for (CTreeNodeUI* p = parentNode_; p; p = p->parentNode_)
        ++level;
    return level;
}

bool CTreeNodeUI::IsCheckBoxSelected() const
{
    return item_ && item_->checkState(0) == Qt::Checked;
}

void CTreeNodeUI::SetCheckBoxSelected(bool selected)
{
    if (tree_)
        tree_->SetItemCheckBox(selected, this);
    else if (item_)
        item_->setCheckState(0, selected ? Qt::Checked : Qt::Unchecked);
}

bool CTreeNodeUI::IsExpanded() const
{
    return item_ && item_->isExpanded();
}

void CTreeNodeUI::SetExpanded(bool expanded)
{
    if (item_)
        item_->setExpanded(expanded);
}
