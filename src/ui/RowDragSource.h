#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class CListUI;
class QMimeData;
class QPixmap;

// Lets the rows of a list be dragged out: a left press on a row followed by a move of the drag
// distance starts a drag carrying what `dataForRow` gives for that row, with a picture of the row
// under the cursor. Rows for which it gives nothing (null) are not dragged. A child of the list's view.
class RowDragSource : public QObject {
public:
    using DataForRow = std::function<QMimeData*(int row)>;

    RowDragSource(CListUI* list, DataForRow dataForRow);

    // The data a drag of this row carries (null: the row is not dragged); the caller owns it.
    QMimeData* DataFor(int row) const { return dataForRow_ ? dataForRow_(row) : nullptr; }
    // The picture shown under the cursor while the row is dragged.
    QPixmap RowPicture(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartDrag(int row);

    CListUI* list_;
    DataForRow dataForRow_;
    int pressedRow_ = -1;
    QPoint pressedAt_;
};
