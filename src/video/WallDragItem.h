#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What can be dragged onto a wall cell: a camera of the device tree, a camera of the recently-watched
// list (played without being recorded in the history again, as its double click), a node of the tree
// (its cameras), or a cell of a wall (to swap two cells). Carried as the data of
// the MIME type kMimeType, so it is read back from whatever a drop brings and refused when malformed.
struct WallDragItem {
    enum class Kind { Camera, RecentCamera, Node, Cell };

    static constexpr const char* kMimeType = "application/x-kelvue-wall-item";

    Kind kind = Kind::Camera;
    std::string id;          // camera or node id (Camera, RecentCamera, Node)
    std::uintptr_t wall = 0; // the wall the cell belongs to (Cell): a cell swaps only within its wall
    int cell = -1;           // the cell's index (Cell)

    static WallDragItem Camera(std::string deviceId) { return {Kind::Camera, std::move(deviceId), 0, -1}; }
    static WallDragItem RecentCamera(std::string deviceId) { return {Kind::RecentCamera, std::move(deviceId), 0, -1}; }
    static WallDragItem Node(std::string nodeId) { return {Kind::Node, std::move(nodeId), 0, -1}; }
    static WallDragItem Cell(std::uintptr_t wall, int cell) { return {Kind::Cell, {}, wall, cell}; }

    std::string Encode() const;
    // Nothing for data that is not an item: an unknown kind, an empty id, a cell index out of 0..63.
    static std::optional<WallDragItem> Decode(const std::string& data);

    bool operator==(const WallDragItem&) const = default;
};
