#pragma once

#include <QObject>
#include <QPoint>

class CDlgPanel;
class CvyrProDlg;
class QPixmap;
class QWidget;

// Starts a drag from a playing cell of one wall: a press on the cell's picture followed by a move of
// the drag distance carries the cell (WallDragItem::Cell) with a small picture of it, for
// CellDropTarget to swap it with the cell it is dropped on. Presses on the cell's toolbar, on a cell
// out in full screen, on an idle cell or while the screen is locked start nothing. One per wall (a
// child of it); it watches the application's mouse events and keeps to those of its own wall's cells.
class CellDragSource : public QObject {
public:
    explicit CellDragSource(CvyrProDlg* wall);
    ~CellDragSource() override;

    // The picture a drag of this cell shows under the cursor: the cell, scaled down.
    static QPixmap DragPicture(CDlgPanel* panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The playing cell of this wall whose picture (not toolbar) holds the widget; null otherwise.
    CDlgPanel* DraggableCellOf(QWidget* widget) const;
    void StartDrag(CDlgPanel* panel);

    CvyrProDlg* wall_;
    int pressedCell_ = -1;
    QPoint pressedAt_;
};
