#include "ui/TreeRowDelegate.h"

#include "ui/CTreeNodeUI.h"
#include "ui/MarkupText.h"

#include <QApplication>
#include <QPainter>

void TreeRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem row(option);
    initStyleOption(&row, index);
    // The markup draws its own pictures: the plain text's icon would show twice.
    const QVariant given = index.data(CTreeNodeUI::kMarkupRole);
    const QString markup = given.isValid() ? given.toString() : row.text;
    row.text.clear();
    row.icon = QIcon();
    row.features &= ~QStyleOptionViewItem::HasDecoration;
    const QWidget* view = option.widget;
    QStyle* style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &row, painter, view);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &row, view);
    const QColor text = row.palette.color(row.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
    painter->save();
    painter->setFont(row.font);
    MarkupText::Paint(*painter, area, MarkupText::Parse(markup), text, row.palette.color(QPalette::Link));
    painter->restore();
}

QSize TreeRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height(), 22));
    return size;
}
