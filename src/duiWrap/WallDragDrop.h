#pragma once

#include "video/WallDragItem.h"

#include <optional>

class CDuiFrameWnd;
class CellDropTarget;
class DeviceNode;
class RowDragSource;

// The main window's drag and drop onto its wall: cameras and nodes of the device tree and cameras
// of the recently-watched list are dragged onto cells, and cells onto each other. A dropped camera
// plays in that cell as its double click would play it (the tree's is recorded in the history); a
// dropped node fills the free cells from that one on as its double click would. Created by the main
// window once its lists and wall exist; the pieces it makes are children of the lists and the wall.
class WallDragDrop {
public:
    explicit WallDragDrop(CDuiFrameWnd& main);

    // What dragging this row carries: nothing for the account row without id, history days and rows
    // without an id.
    static std::optional<WallDragItem> ItemOfRow(const DeviceNode& node, bool recentList);

    RowDragSource* TreeSource() const { return treeSource_; }
    RowDragSource* RecentSource() const { return recentSource_; }
    CellDropTarget* DropTarget() const { return dropTarget_; }

private:
    RowDragSource* treeSource_ = nullptr;
    RowDragSource* recentSource_ = nullptr;
    CellDropTarget* dropTarget_ = nullptr;
};
