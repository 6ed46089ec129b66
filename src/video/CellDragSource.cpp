#include "video/CellDragSource.h"

#include "app/LocalConfig.h"
#include "video/CCPlayToolBarWnd.h"
#include "video/CDlgPanel.h"
#include "video/CPlayInnerWnd.h"
#include "video/CvyrProDlg.h"
#include "video/WallDragMime.h"

#include <QApplication>
#include <QDrag>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace {
constexpr int kPictureWidth = 160;
}

CellDragSource::CellDragSource(CvyrProDlg* wall) : QObject(wall), wall_(wall)
{
    qApp->installEventFilter(this);
}

CellDragSource::~CellDragSource()
{
    qApp->removeEventFilter(this);
}

CDlgPanel* CellDragSource::DraggableCellOf(QWidget* widget) const
{
    if (widget == nullptr || !wall_->isAncestorOf(widget))
        return nullptr;
    CDlgPanel* panel = nullptr;
    for (QWidget* w = widget; w != nullptr && w != wall_ && panel == nullptr; w = w->parentWidget())
        panel = dynamic_cast<CDlgPanel*>(w);
    if (panel == nullptr || panel->Inner() == nullptr || !panel->IsBusy())
        return nullptr;
    const CCPlayToolBarWnd* toolbar = panel->Inner()->Toolbar();
    if (toolbar != nullptr && toolbar->GetWidget() != nullptr &&
        (toolbar->GetWidget() == widget || toolbar->GetWidget()->isAncestorOf(widget)))
        return nullptr;
    return panel;
}

QPixmap CellDragSource::DragPicture(CDlgPanel* panel)
{
    const QPixmap cell = panel->grab();
    QPixmap picture = cell.isNull() ? QPixmap() : cell.scaledToWidth(std::min(kPictureWidth, cell.width()), Qt::SmoothTransformation);
    if (picture.isNull())
        return picture;
    QPainter painter(&picture);
    painter.setPen(QPen(QColor(45, 140, 240), 2));
    painter.drawRect(picture.rect().adjusted(1, 1, -1, -1));
    return picture;
}

bool CellDragSource::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress: {
        pressedCell_ = -1;
        CDlgPanel* panel = mouse->button() == Qt::LeftButton ? DraggableCellOf(qobject_cast<QWidget*>(watched)) : nullptr;
        if (panel != nullptr && !LocalConfig::Instance()->IsScreenLocked()) {
            pressedCell_ = panel->CellIndex();
            pressedAt_ = mouse->globalPosition().toPoint();
        }
        break;
    }
    case QEvent::MouseMove:
        if (pressedCell_ >= 0 && (mouse->buttons() & Qt::LeftButton) &&
            (mouse->globalPosition().toPoint() - pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
            CDlgPanel* panel = wall_->Panel(pressedCell_);
            pressedCell_ = -1;
            if (panel->IsBusy())
                StartDrag(panel);
            return true;
        }
        break;
    default:
        pressedCell_ = -1;
        break;
    }
    return false;
}

void CellDragSource::StartDrag(CDlgPanel* panel)
{
    auto* drag = new QDrag(panel);
    drag->setMimeData(WallDragMime::Make(WallDragItem::Cell(reinterpret_cast<std::uintptr_t>(wall_), panel->CellIndex())));
    const QPixmap picture = DragPicture(panel);
    if (!picture.isNull()) {
        drag->setPixmap(picture);
        drag->setHotSpot(QPoint(picture.width() / 2, picture.height() / 2));
    }
    drag->exec(Qt::MoveAction);
}
