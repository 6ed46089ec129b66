#include "ui/CListUI.h"

#include "ui/CListElementUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/ListModel.h"
#include "ui/ListRowDelegate.h"
#include "ui/ListView.h"

#include <QHeaderView>
#include <QScrollBar>

namespace {

// The parent control of a list's rows.
class CListBodyUI : public CControlUI {
public:
    explicit CListBodyUI(CControlUI* list) { parent_ = list; }
    QString GetClass() const override { return QStringLiteral("ListBodyUI"); }
};

}  // namespace

CListUI::CListUI()
    : CVerticalLayoutUI(new ListView(this))
    , model_(new ListModel(this))
    , body_(new CListBodyUI(this))
{
    ListView* view = View();
    model_->setParent(view);
    view->setModel(model_);
    view->setItemDelegate(new ListRowDelegate(this, view));
}

CListUI::~CListUI()
{
    if (ListView* view = View()) {
        // The view outlives the rows for a moment (it is deleted by the base class): let it forget them.
        view->Detach();
        view->setModel(nullptr);
    }
    for (CListElementUI* item : items_)
        delete item;
    delete body_;
}

ListView* CListUI::View() const
{
    return static_cast<ListView*>(GetWidget());
}

CListElementUI* CListUI::ElementAt(int index) const
{
    return index >= 0 && index < static_cast<int>(items_.size()) ? items_[static_cast<size_t>(index)] : nullptr;
}

void CListUI::SetAttribute(const QString& name, const QString& value)
{
    if (name == "itemshowhtml")
        SetShowHtml(value == "true");
    else if (name == "itemheight")
        SetItemHeight(value.toInt());
    else if (name == "header") {
        QStringList titles;
        QList<int> widths;
        for (const QString& column : value.split('|')) {
            titles.append(column.section(':', 0, 0));
            widths.append(column.section(':', 1, 1).toInt());
        }
        SetHeaderColumns(titles, widths);
    }
    CVerticalLayoutUI::SetAttribute(name, value);
}

void CListUI::DoEvent(TEventUI& event)
{
    if (event.Type == UIEVENT_SCROLLWHEEL) {
        if (event.wParam == SB_LINEUP)
            LineUp();
        else
            LineDown();
        return;
    }
    CVerticalLayoutUI::DoEvent(event);
}

void CListUI::OnAttached()
{
    if (manager_ == nullptr)
        return;
    body_->SetManager(manager_, this);
    for (CListElementUI* item : items_)
        item->SetManager(manager_, body_);
    QObject::connect(View()->selectionModel(), &QItemSelectionModel::currentRowChanged, manager_->Hub(),
                     [this](const QModelIndex& current, const QModelIndex& previous) {
                         manager_->SendNotify(this, QStringLiteral("itemselect"), static_cast<WPARAM>(current.row()),
                                              previous.row());
                     });
}

int CListUI::GetCount() const
{
    return static_cast<int>(items_.size());
}

CControlUI* CListUI::GetItemAt(int index) const
{
    return ElementAt(index);
}

int CListUI::GetItemIndex(CControlUI* control) const
{
    auto* element = dynamic_cast<CListElementUI*>(control);
    if (element == nullptr || element->GetOwner() != this)
        return -1;
    return element->GetIndex();
}

bool CListUI::Add(CControlUI* control)
{
    return AddAt(control, GetCount());
}

bool CListUI::AddAt(CControlUI* control, int index)
{
    auto* element = dynamic_cast<CListElementUI*>(control);
    if (element == nullptr || index < 0 || index > GetCount())
        return false;
    model_->BeginInsert(index);
    items_.insert(items_.begin() + index, element);
    hidden_.insert(hidden_.begin() + index, false);
    element->SetOwner(this);
    element->SetManager(manager_, body_);
    Reindex(index);
    model_->EndInsert();
    if (!element->IsVisible()) {
        hidden_[static_cast<size_t>(index)] = true;
        View()->setRowHidden(index, {}, true);
    }
    return true;
}

bool CListUI::Remove(CControlUI* control)
{
    return RemoveAt(GetItemIndex(control));
}

bool CListUI::RemoveAt(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    CListElementUI* element = items_[static_cast<size_t>(index)];
    model_->BeginRemove(index);
    items_.erase(items_.begin() + index);
    hidden_.erase(hidden_.begin() + index);
    Reindex(index);
    model_->EndRemove();
    element->SetOwner(nullptr);
    delete element;
    return true;
}

void CListUI::RemoveAll()
{
    ReplaceAll({});
}

void CListUI::ReplaceAll(std::vector<CListElementUI*> elements)
{
    model_->BeginReset();
    items_.swap(elements);  // elements now holds the old rows
    hidden_.assign(items_.size(), false);
    for (size_t i = 0; i < items_.size(); ++i) {
        CListElementUI* element = items_[i];
        element->SetOwner(this);
        element->SetManager(manager_, body_);
        element->SetIndex(static_cast<int>(i));
        hidden_[i] = !element->IsVisible();
    }
    model_->EndReset();
    // The view forgets its hidden rows on a reset.
    for (size_t i = 0; i < items_.size(); ++i)
        if (hidden_[i])
            View()->setRowHidden(static_cast<int>(i), {}, true);
    for (CListElementUI* element : elements) {
        element->SetOwner(nullptr);
        delete element;
    }
}

void CListUI::Reindex(int from)
{
    for (size_t i = static_cast<size_t>(from); i < items_.size(); ++i)
        items_[i]->SetIndex(static_cast<int>(i));
}

int CListUI::GetCurSel() const
{
    QModelIndex current = View()->selectionModel() ? View()->selectionModel()->currentIndex() : QModelIndex();
    return current.isValid() && View()->selectionModel()->isSelected(current) ? current.row() : -1;
}

bool CListUI::SelectItem(int index, bool takeFocus)
{
    if (index < 0 || index >= GetCount())
        return false;
    View()->setCurrentIndex(model_->index(index, 0));
    if (takeFocus)
        View()->setFocus();
    return true;
}

void CListUI::EnsureVisible(int index)
{
    if (index >= 0 && index < GetCount())
        View()->scrollTo(model_->index(index, 0));
}

void CListUI::SetShowHtml(bool show)
{
    showHtml_ = show;
    View()->viewport()->update();
}

void CListUI::SetItemHeight(int height)
{
    if (height <= 0)
        return;
    itemHeight_ = height;
    View()->doItemsLayout();
}

void CListUI::SetHeaderColumns(const QStringList& titles, const QList<int>& widths)
{
    model_->SetHeader(titles);
    View()->setHeaderHidden(titles.isEmpty());
    for (int i = 0; i < widths.size(); ++i)
        if (widths[i] > 0)
            View()->header()->resizeSection(i, widths[i]);
}

int CListUI::GetColumnCount() const
{
    return model_->columnCount();
}

SIZE CListUI::GetScrollPos() const
{
    SIZE pos;
    pos.cx = View()->horizontalScrollBar()->value();
    pos.cy = View()->verticalScrollBar()->value();
    return pos;
}

SIZE CListUI::GetScrollRange() const
{
    SIZE range;
    range.cx = View()->horizontalScrollBar()->maximum();
    range.cy = View()->verticalScrollBar()->maximum();
    return range;
}

void CListUI::SetScrollPos(SIZE pos)
{
    View()->horizontalScrollBar()->setValue(pos.cx);
    View()->verticalScrollBar()->setValue(pos.cy);
}

void CListUI::LineUp()
{
    SIZE pos = GetScrollPos();
    pos.cy -= itemHeight_;
    SetScrollPos(pos);
}

void CListUI::LineDown()
{
    SIZE pos = GetScrollPos();
    pos.cy += itemHeight_;
    SetScrollPos(pos);
}

void CListUI::ElementChanged(CListElementUI* element)
{
    const int index = GetItemIndex(element);
    if (index < 0)
        return;
    const bool hide = !element->IsVisible();
    if (hidden_[static_cast<size_t>(index)] != hide) {
        hidden_[static_cast<size_t>(index)] = hide;
        View()->setRowHidden(index, {}, hide);
    }
    model_->RowChanged(index);
}

RECT CListUI::ElementPos(const CListElementUI* element) const
{
    RECT rc;
    const int index = element->GetIndex();
    if (element->GetOwner() != this || index < 0 || View()->isRowHidden(index, {}))
        return rc;
    QRect r = View()->visualRect(model_->index(index, 0));
    if (r.isEmpty())
        return rc;
    r.setLeft(0);
    r.setRight(View()->viewport()->width() - 1);
    QWidget* root = manager_ ? manager_->GetRootWidget() : nullptr;
    QPoint topLeft = root && root->isAncestorOf(View()->viewport()) ? View()->viewport()->mapTo(root, r.topLeft()) : r.topLeft();
    rc.left = topLeft.x();
    rc.top = topLeft.y();
    rc.right = rc.left + r.width();
    rc.bottom = rc.top + r.height();
    return rc;
}
