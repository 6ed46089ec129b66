#pragma once

#include <QAbstractTableModel>

class CListUI;

// The rows of a CListUI as Qt sees them: text per column (markup included), tooltip, check box.
class ListModel : public QAbstractTableModel {
public:
    explicit ListModel(CListUI* list) : list_(list) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetHeader(const QStringList& titles);
    void BeginInsert(int row) { beginInsertRows({}, row, row); }
    void EndInsert() { endInsertRows(); }
    void BeginRemove(int row) { beginRemoveRows({}, row, row); }
    void EndRemove() { endRemoveRows(); }
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void RowChanged(int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); }

private:
    CListUI* list_;
    QStringList header_;
};
