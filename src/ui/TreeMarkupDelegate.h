#pragma once

#include <QStyledItemDelegate>

// Draws the rows of a CTreeViewUI whose texts carry the inline markup ("itemshowhtml" = true):
// selection and hover as the style does, then the text through MarkupText (icons and spaces).
class TreeMarkupDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
