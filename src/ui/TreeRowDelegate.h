#pragma once

#include <QStyledItemDelegate>

// Draws the rows of a CTreeViewUI whose texts carry inline markup ("itemshowhtml" = true): the
// style draws the row and its check box, MarkupText the text.
class TreeRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
