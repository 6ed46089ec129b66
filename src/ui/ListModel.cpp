#include "ui/ListModel.h"

#include "ui/CListTextElementUI.h"
#include "ui/CListUI.h"

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
