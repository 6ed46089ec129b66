#include "ui/RowDragSource.h"

#include "ui/CListUI.h"
#include "ui/ListView.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>

RowDragSource::RowDragSource(CListUI* list, DataForRow dataForRow)
    : QObject(list->View()), list_(list), dataForRow_(std::move(dataForRow))
{
    list_->View()->viewport()->installEventFilter(this);
}

QPixmap RowDragSource::RowPicture(int row) const
{
    ListView* view = list_->View();
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    return rect.isEmpty() ? QPixmap() : view->viewport()->grab(rect);
}

bool RowDragSource::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* press = static_cast<QMouseEvent*>(event);
        pressedRow_ = -1;
        if (press->button() == Qt::LeftButton) {
            pressedRow_ = list_->View()->indexAt(press->position().toPoint()).row();
            pressedAt_ = press->position().toPoint();
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* move = static_cast<QMouseEvent*>(event);
        if (pressedRow_ < 0 || !(move->buttons() & Qt::LeftButton) ||
            (move->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance())
            return false;
        const int row = pressedRow_;
        pressedRow_ = -1;
        StartDrag(row);
        return true;
    }
    case QEvent::MouseButtonRelease:
        pressedRow_ = -1;
        return false;
    default:
        return false;
    }
}

void RowDragSource::StartDrag(int row)
{
    QMimeData* data = DataFor(row);
    if (data == nullptr)
        return;
    auto* drag = new QDrag(list_->View());
    drag->setMimeData(data);
    const QPixmap picture = RowPicture(row);
    if (!picture.isNull()) {
        drag->setPixmap(picture);
        drag->setHotSpot(QPoint(picture.width() / 4, picture.height() / 2));
    }
    drag->exec(Qt::CopyAction);
}
