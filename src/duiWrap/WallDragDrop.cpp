#include "duiWrap/WallDragDrop.h"

#include "duiWrap/CDuiFrameWnd.h"
#include "duiWrap/CamListUI.h"
#include "duiWrap/DeviceNode.h"
#include "ui/RowDragSource.h"
#include "video/CellDragSource.h"
#include "video/CellDropTarget.h"
#include "video/CvyrProDlg.h"
#include "video/WallDragMime.h"

namespace {

RowDragSource* SourceFor(CamListUI* list, bool recentList)
{
    if (list == nullptr)
        return nullptr;
    return new RowDragSource(list, [list, recentList](int row) -> QMimeData* {
        const DeviceNode* node = list->NodeAt(row);
        const auto item = node != nullptr ? WallDragDrop::ItemOfRow(*node, recentList) : std::nullopt;
        return item ? WallDragMime::Make(*item) : nullptr;
    });
}

}  // namespace

WallDragDrop::WallDragDrop(CDuiFrameWnd& main)
{
    treeSource_ = SourceFor(main.DeviceList(), false);
    recentSource_ = SourceFor(main.RecentList(), true);
    CvyrProDlg* wall = main.VideoWall();
    if (wall == nullptr)
        return;
    CellDropTarget::Actions actions;
    actions.playCamera = [&main](const std::string& deviceId, int cell, bool recordInHistory) {
        main.PlayCamera(deviceId, recordInHistory, cell);
    };
    actions.playNode = [&main](const std::string& nodeId, int cell) {
        if (main.OpenAllReady())  // as the double click: not before the roster has settled
            main.PlayNode(nodeId, cell);
    };
    dropTarget_ = new CellDropTarget(wall, std::move(actions));
    new CellDragSource(wall);  // a child of the wall
}

std::optional<WallDragItem> WallDragDrop::ItemOfRow(const DeviceNode& node, bool recentList)
{
    if (recentList) {
        // A history row is a camera labelled with its id; its day rows are groups.
        if (node.isGroup || node.label.empty())
            return std::nullopt;
        return WallDragItem::RecentCamera(node.label);
    }
    if (node.id.empty())
        return std::nullopt;
    return node.isGroup ? WallDragItem::Node(node.id) : WallDragItem::Camera(node.id);
}
