#include "ui/ListRowDelegate.h"

#include "ui/CListElementUI.h"
#include "ui/CListUI.h"
#include "ui/MarkupText.h"
#include "ui/SkinImage.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

void ListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    CListElementUI* element = list_->ElementAt(index.row());
    if (element == nullptr)
        return;
    painter->save();
    const QPalette& palette = option.palette;
    const QString background = element->GetAttribute("bkimage");
    if (!background.isEmpty())
        SkinImage::Parse(background).Draw(*painter, option.rect);
    if (option.state & QStyle::State_Selected)
        painter->fillRect(option.rect, palette.color(QPalette::Highlight));
    else if (option.state & QStyle::State_MouseOver) {
        // A tint of the selection colour: the row's text stays readable on light and dark themes alike.
        QColor hover = palette.color(QPalette::Highlight);
        hover.setAlpha(60);
        painter->fillRect(option.rect, hover);
    }
    painter->setFont(option.font);
    const QColor textColor = palette.color(element->IsEnabled() ? QPalette::Active : QPalette::Disabled,
                                           option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
    const QString text = index.data(Qt::DisplayRole).toString();
    QRect area = option.rect.adjusted(index.column() == 0 ? 0 : 4, 0, -2, 0);
    if (index.column() == 0 && element->IsCheckable()) {
        // The box where the style puts an item view's check indicator.
        QStyleOptionViewItem box = option;
        initStyleOption(&box, index);
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        box.rect = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &box, view);
        box.state = (box.state & ~(QStyle::State_On | QStyle::State_Off)) |
                    (element->GetCheck() ? QStyle::State_On : QStyle::State_Off);
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, view);
        area.setLeft(box.rect.right() + 5);
    }
    if (list_->IsShowHtml() && index.column() == 0) {
        MarkupText::Paint(*painter, area, MarkupText::Parse(text), textColor, palette.color(QPalette::Link));
    } else {
        painter->setPen(textColor);
        painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, option.fontMetrics.elidedText(text, Qt::ElideRight, area.width()));
    }
    painter->restore();
}

QSize ListRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(list_->GetItemHeight());
    return size;
}
