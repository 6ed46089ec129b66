#include "ui/ListModel.h"

#include "ui/CListTextElementUI.h"
#include "ui/CListUI.h"
#include "ui/CPaintManagerUI.h"

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : list_->GetCount();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : qMax(1, static_cast<int>(header_.size()));
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    CListElementUI* element = list_->ElementAt(index.row());
    if (element == nullptr)
        return {};
    if (role == Qt::DisplayRole) {
        if (auto* text = dynamic_cast<CListTextElementUI*>(element))
            return text->GetText(index.column());
        return index.column() == 0 ? element->GetText() : QString();
    }
    if (role == Qt::CheckStateRole && index.column() == 0 && element->IsCheckable())
        return element->GetCheck() ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole && !element->GetToolTip().isEmpty())
        return element->GetToolTip();
    return {};
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    CListElementUI* element = list_->ElementAt(index.row());
    if (element && element->IsCheckable() && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool ListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    CListElementUI* element = list_->ElementAt(index.row());
    if (role != Qt::CheckStateRole || element == nullptr || !element->IsCheckable())
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    element->SetCheck(checked);
    if (CPaintManagerUI* manager = element->GetManager())
        manager->SendNotify(element, QStringLiteral("itemclickcheck"), checked ? 1 : 0, 0);
    return true;
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < header_.size())
        return header_[section];
    return {};
}

void ListModel::SetHeader(const QStringList& titles)
{
    beginResetModel();
    header_ = titles;
    endResetModel();
}
