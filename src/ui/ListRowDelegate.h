#pragma once

#include <QStyledItemDelegate>

class CListUI;

// Draws the rows of a CListUI: background picture, selection and hover, and the text (with inline
// markup in the first column when the list shows markup).
class ListRowDelegate : public QStyledItemDelegate {
public:
    ListRowDelegate(CListUI* list, QObject* parent) : QStyledItemDelegate(parent), list_(list) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    CListUI* list_;
};
