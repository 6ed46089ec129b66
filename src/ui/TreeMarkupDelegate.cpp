#include "ui/TreeMarkupDelegate.h"

#include "ui/MarkupText.h"

#include <QPainter>

void TreeMarkupDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const QPalette& palette = option.palette;
    if (option.state & QStyle::State_Selected)
        painter->fillRect(option.rect, palette.color(QPalette::Highlight));
    else if (option.state & QStyle::State_MouseOver)
        painter->fillRect(option.rect, palette.color(QPalette::Midlight));
    painter->setFont(option.font);
    const bool enabled = option.state & QStyle::State_Enabled;
    const QColor textColor = palette.color(enabled ? QPalette::Active : QPalette::Disabled,
                                           option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
    MarkupText::Paint(*painter, option.rect.adjusted(2, 0, -2, 0),
                      MarkupText::Parse(index.data(Qt::DisplayRole).toString()), textColor,
                      palette.color(QPalette::Link));
    painter->restore();
}

QSize TreeMarkupDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height(), 24));
    return size;
}
