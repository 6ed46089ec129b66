#include "ui/SkinDropDown.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWidget>

void PaintDropDownArrow(QWidget& widget)
{
    QStyleOptionComboBox option;
    option.initFrom(&widget);
    const QRect button = widget.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &widget);
    // A 10x10 mark: strokes from (1,3) down to (5,7) and up to (9,3), 1.6 wide with round ends.
    const QPointF corner = QRectF(button).center() - QPointF(5, 5);
    QPainter painter(&widget);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(option.palette.color(QPalette::Text), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF{corner + QPointF(1, 3), corner + QPointF(5, 7), corner + QPointF(9, 3)});
}
