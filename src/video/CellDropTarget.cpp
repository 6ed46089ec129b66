#include "video/CellDropTarget.h"

#include "video/CDlgPanel.h"
#include "video/CvyrProDlg.h"
#include "video/WallDragMime.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QPainter>
#include <QWidget>

namespace {

// The frame over the cell a drag would drop on: a thick blue border over a light veil; it lets
// every mouse event through.
class DropFrame : public QWidget {
public:
    explicit DropFrame(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        // The picture below must show through: no background of the style sheet or the palette.
        setAttribute(Qt::WA_NoSystemBackground);
        setAutoFillBackground(false);
        setStyleSheet(QStringLiteral("background: transparent;"));
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(45, 140, 240, 60));
        painter.setPen(QPen(QColor(45, 140, 240), kBorder * 2));
        painter.drawRect(rect());
    }

private:
    static constexpr int kBorder = 3;
};

}  // namespace

CellDropTarget::CellDropTarget(CvyrProDlg* wall, Actions actions)
    : QObject(wall), wall_(wall), actions_(std::move(actions)), frame_(new DropFrame(wall))
{
    wall_->setAcceptDrops(true);
    wall_->installEventFilter(this);
}

int CellDropTarget::CellAt(const QPoint& pos) const
{
    // Only the cells that exist: the wall may create its cells when a layout first needs them.
    for (QObject* child : wall_->children()) {
        const auto* panel = dynamic_cast<const CDlgPanel*>(child);
        if (panel != nullptr && panel->isVisible() && panel->geometry().contains(pos))
            return panel->CellIndex();
    }
    return -1;
}

int CellDropTarget::TargetFor(const QDropEvent& event) const
{
    const auto item = WallDragMime::Read(event.mimeData());
    if (!item)
        return -1;
    const int cell = CellAt(event.position().toPoint());
    if (item->kind == WallDragItem::Kind::Cell &&
        (item->wall != reinterpret_cast<std::uintptr_t>(wall_) || item->cell == cell))
        return -1;  // a cell swaps only with another cell of its own wall
    return cell;
}

void CellDropTarget::Hover(int cell)
{
    hoveredCell_ = cell;
    if (frame_ == nullptr)
        return;
    if (cell < 0) {
        frame_->hide();
        return;
    }
    frame_->setGeometry(wall_->Panel(cell)->geometry());
    frame_->show();
    frame_->raise();
}

bool CellDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != wall_)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* move = static_cast<QDragMoveEvent*>(event);
        const int cell = TargetFor(*move);
        Hover(cell);
        if (cell < 0) {
            move->ignore();
            return true;
        }
        const auto item = WallDragMime::Read(move->mimeData());
        move->setDropAction(item->kind == WallDragItem::Kind::Cell ? Qt::MoveAction : Qt::CopyAction);
        move->accept();
        return true;
    }
    case QEvent::DragLeave:
        Hover(-1);
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const int cell = TargetFor(*drop);
        Hover(-1);
        const auto item = WallDragMime::Read(drop->mimeData());
        if (cell < 0 || !item) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(item->kind == WallDragItem::Kind::Cell ? Qt::MoveAction : Qt::CopyAction);
        drop->accept();
        Drop(*item, cell);
        return true;
    }
    default:
        return false;
    }
}

void CellDropTarget::Drop(const WallDragItem& item, int cell)
{
    switch (item.kind) {
    case WallDragItem::Kind::Camera:
    case WallDragItem::Kind::RecentCamera:
        if (actions_.playCamera)
            actions_.playCamera(item.id, cell, item.kind == WallDragItem::Kind::Camera);
        break;
    case WallDragItem::Kind::Node:
        if (actions_.playNode)
            actions_.playNode(item.id, cell);
        break;
    case WallDragItem::Kind::Cell:
        wall_->SwapCells(item.cell, cell);
        break;
    }
}
