#pragma once

#include "video/WallDragItem.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class CDlgPanel;
class CvyrProDlg;
class QDropEvent;
class QPoint;
class QWidget;

// Takes what is dropped on the cells of one wall: a camera plays in the cell it is dropped on, a
// node's cameras fill the free cells from that one on, and a cell of the same wall swaps with it.
// While something droppable hovers over a cell, that cell is framed. One per wall (a child of it);
// playing cameras and nodes is the owner's business (it knows the addresses and the node tree).
class CellDropTarget : public QObject {
public:
    struct Actions {
        std::function<void(const std::string& deviceId, int cell, bool recordInHistory)> playCamera;
        std::function<void(const std::string& nodeId, int cell)> playNode;
    };

    CellDropTarget(CvyrProDlg* wall, Actions actions);

    // The cell framed as the target of the drag in progress (-1 when none).
    int HoveredCell() const { return hoveredCell_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The cell of this wall shown under a point of the wall (-1 when none).
    int CellAt(const QPoint& pos) const;
    // The cell the item may be dropped on at this point (-1 when it may not).
    int TargetFor(const QDropEvent& event) const;
    void Hover(int cell);
    void Drop(const WallDragItem& item, int cell);

    CvyrProDlg* wall_;
    Actions actions_;
    QPointer<QWidget> frame_;  // drawn over the hovered cell
    int hoveredCell_ = -1;
};
