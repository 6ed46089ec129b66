#include "ui/CTreeViewUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/CTreeNodeUI.h"
#include "ui/TreeRowDelegate.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include <functional>

CTreeViewUI::CTreeViewUI()
    : CContainerUI(new QTreeWidget)
{
    QTreeWidget* tree = Tree();
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    tree->setFrameShape(QFrame::NoFrame);
    tree->setUniformRowHeights(true);
    // Propagation works with or without a window; the notification needs one.
    QObject::connect(tree, &QTreeWidget::itemChanged, tree, [this](QTreeWidgetItem* item) { OnItemChanged(item); });
}

CTreeViewUI::~CTreeViewUI()
{
    const bool widgetGone = GetWidget() == nullptr;
    for (CTreeNodeUI* node : roots_) {
        if (widgetGone)
            node->ForgetItems();  // the tree widget already deleted them
        node->tree_ = nullptr;
        delete node;
    }
}

QTreeWidget* CTreeViewUI::Tree() const
{
    return qobject_cast<QTreeWidget*>(GetWidget());
}

void CTreeViewUI::SetAttribute(const QString& name, const QString& value)
{
    if (name == "visiblecheckbtn")
        SetVisibleCheckBtn(value == "true");
    else if (name == "checkpropagation")
        SetCheckPropagation(value == "true");
    else if (name == "itemshowhtml")
        SetShowHtml(value == "true");
    CContainerUI::SetAttribute(name, value);
}

int CTreeViewUI::GetCount() const
{
    return static_cast<int>(roots_.size());
}

CControlUI* CTreeViewUI::GetItemAt(int index) const
{
    return index >= 0 && index < GetCount() ? roots_[static_cast<size_t>(index)] : nullptr;
}

int CTreeViewUI::GetItemIndex(CControlUI* control) const
{
    auto it = std::find(roots_.begin(), roots_.end(), control);
    return it == roots_.end() ? -1 : static_cast<int>(it - roots_.begin());
}

bool CTreeViewUI::Add(CControlUI* control)
{
    return AddAt(control, GetCount());
}

bool CTreeViewUI::AddAt(CControlUI* control, int index)
{
    auto* node = dynamic_cast<CTreeNodeUI*>(control);
    if (node == nullptr || node->tree_ != nullptr || node->parentNode_ != nullptr || Tree() == nullptr || !node->item_)
        return false;
    index = qBound(0, index, GetCount());
    roots_.insert(roots_.begin() + index, node);
    Tree()->insertTopLevelItem(index, node->item_);
    node->SetTree(this);
    return true;
}

bool CTreeViewUI::Remove(CControlUI* control)
{
    const int index = GetItemIndex(control);
    if (index < 0)
        return false;
    roots_.erase(roots_.begin() + index);
    delete control;
    return true;
}

bool CTreeViewUI::RemoveAt(int index)
{
    return Remove(GetItemAt(index));
}

void CTreeViewUI::RemoveAll()
{
    while (!roots_.empty())
        Remove(roots_.back());
}

void CTreeViewUI::PrepareItem(CTreeNodeUI* node)
{
    QTreeWidgetItem* item = node->item_;
    if (item == nullptr)
        return;
    const bool wasUpdating = updating_;
    updating_ = true;
    if (checkBoxes_) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        if (!item->data(0, Qt::CheckStateRole).isValid())
            item->setCheckState(0, Qt::Unchecked);
    } else {
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setData(0, Qt::CheckStateRole, QVariant());
    }
    updating_ = wasUpdating;
}

void CTreeViewUI::SetVisibleCheckBtn(bool visible)
{
    checkBoxes_ = visible;
    std::function<void(CTreeNodeUI*)> prepare = [&](CTreeNodeUI* node) {
        PrepareItem(node);
        for (CTreeNodeUI* child : node->children_)
            prepare(child);
    };
    for (CTreeNodeUI* node : roots_)
        prepare(node);
}

void CTreeViewUI::SetShowHtml(bool show)
{
    QTreeWidget* tree = Tree();
    if (tree == nullptr || show == (markupDelegate_ != nullptr))
        return;
    // Delegates belong to the tree widget (their parent) and go with it.
    markupDelegate_ = show ? new TreeRowDelegate(tree) : nullptr;
    tree->setItemDelegate(show ? markupDelegate_ : new QStyledItemDelegate(tree));
}

void CTreeViewUI::SetItemCheckBox(bool selected, CTreeNodeUI* node)
{
    if (node == nullptr || node->item_ == nullptr)
        return;
    programmatic_ = true;
    node->item_->setCheckState(0, selected ? Qt::Checked : Qt::Unchecked);
    programmatic_ = false;
}

void CTreeViewUI::SetItemPartlyChecked(CTreeNodeUI* node)
{
    if (node == nullptr || node->item_ == nullptr)
        return;
    const bool wasUpdating = updating_;
    updating_ = true;
    node->item_->setCheckState(0, Qt::PartiallyChecked);
    updating_ = wasUpdating;
}

void CTreeViewUI::SetItemExpand(bool expanded, CTreeNodeUI* node)
{
    if (node)
        node->SetExpanded(expanded);
}

CTreeNodeUI* CTreeViewUI::GetSelectedNode() const
{
    return Tree() ? CTreeNodeUI::FromItem(Tree()->currentItem()) : nullptr;
}

bool CTreeViewUI::SelectNode(CTreeNodeUI* node)
{
    if (node == nullptr || node->tree_ != this || Tree() == nullptr)
        return false;
    Tree()->setCurrentItem(node->item_);
    return true;
}

void CTreeViewUI::OnItemChanged(QTreeWidgetItem* item)
{
    if (updating_ || !item->data(0, Qt::CheckStateRole).isValid())
        return;
    const bool user = !programmatic_;
    Qt::CheckState state = item->checkState(0) == Qt::Unchecked ? Qt::Unchecked : Qt::Checked;
    updating_ = true;
    if (propagate_) {
        std::function<void(QTreeWidgetItem*)> down = [&](QTreeWidgetItem* parent) {
            for (int i = 0; i < parent->childCount(); ++i) {
                parent->child(i)->setCheckState(0, state);
                down(parent->child(i));
            }
        };
        item->setCheckState(0, state);
        down(item);
        UpdateAncestors(item);
    }
    updating_ = false;
    if (user && managerAlive_)
        if (CTreeNodeUI* node = CTreeNodeUI::FromItem(item))
            manager_->SendNotify(node, QStringLiteral("itemclickcheck"), state == Qt::Checked ? 1 : 0, 0);
}

void CTreeViewUI::UpdateAncestors(QTreeWidgetItem* item)
{
    for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent()) {
        int checked = 0, partial = 0;
        for (int i = 0; i < parent->childCount(); ++i) {
            Qt::CheckState s = parent->child(i)->checkState(0);
            checked += s == Qt::Checked;
            partial += s == Qt::PartiallyChecked;
        }
        Qt::CheckState state = checked == parent->childCount() ? Qt::Checked
                               : checked + partial > 0        ? Qt::PartiallyChecked
                                                              : Qt::Unchecked;
        parent->setCheckState(0, state);
    }
}

void CTreeViewUI::OnAttached()
{
    QTreeWidget* tree = Tree();
    if (tree == nullptr || manager_ == nullptr)
        return;
    std::function<void(CTreeNodeUI*)> attach = [&](CTreeNodeUI* node) {
        node->manager_ = manager_;
        for (CTreeNodeUI* child : node->children_)
            attach(child);
    };
    for (CTreeNodeUI* node : roots_)
        attach(node);
    QObject* hub = manager_->Hub();
    QObject::connect(tree, &QTreeWidget::itemClicked, hub, [this](QTreeWidgetItem* item) {
        if (CTreeNodeUI* node = CTreeNodeUI::FromItem(item))
            manager_->SendNotify(node, QStringLiteral("itemclick"));
    });
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, hub, [this](QTreeWidgetItem* item) {
        if (CTreeNodeUI* node = CTreeNodeUI::FromItem(item))
            manager_->SendNotify(node, QStringLiteral("itemactivate"));
    });
    QObject::connect(tree, &QTreeWidget::currentItemChanged, hub, [this](QTreeWidgetItem* current) {
        manager_->SendNotify(this, QStringLiteral("itemselect"), reinterpret_cast<WPARAM>(CTreeNodeUI::FromItem(current)), 0);
    });
    QObject::connect(tree, &QWidget::customContextMenuRequested, hub, [this, tree](const QPoint& pos) {
        CTreeNodeUI* node = CTreeNodeUI::FromItem(tree->itemAt(pos));
        TEventUI menu;
        menu.Type = UIEVENT_CONTEXTMENU;
        QWidget* root = manager_->GetRootWidget();
        const QPoint p = root && root->isAncestorOf(tree->viewport()) ? tree->viewport()->mapTo(root, pos) : pos;
        menu.ptMouse.x = p.x();
        menu.ptMouse.y = p.y();
        if (node) {
            manager_->SendNotify(node, QStringLiteral("itemrclick"), 0, 0, menu.ptMouse);
            menu.pSender = node;
            node->DoEvent(menu);
        } else {
            menu.pSender = this;
            DoEvent(menu);
        }
    });
}
