#pragma once

#include <memory>
#include <string>
#include <vector>

// One row of a tree-shaped device list (plus the invisible root of each list). A node owns its
// children: deleting a node deletes its whole subtree. The row's own state (its markup text and
// whether collapsing hid it) lives here too; the list control only draws it. UI thread only.
class DeviceNode {
public:
    DeviceNode(DeviceNode* parent, int level, bool expanded, bool isGroup, std::string id, std::string text);

    DeviceNode* parent;
    std::vector<std::unique_ptr<DeviceNode>> children;
    int level;          // -1 for the root, parent's level + 1 otherwise
    bool expanded;      // children shown
    bool isGroup;       // a node (with an expander) rather than a camera
    std::string id;     // node id or camera device id; "" for the account row, history days and the root
    std::string label;  // text without the icon markup
    std::string text;   // icon markup followed by the label

    std::string rowText;      // what the row draws: indentation, expander, text
    bool rowVisible = true;   // false while an ancestor is collapsed

    bool IsRoot() const { return parent == nullptr; }

    // The deepest last child (the node's last row in display order); the node itself without children.
    DeviceNode* LastDescendant();

    void SetText(std::string newText);
    void RefreshRowText();

private:
    friend class DeviceNodeRows;
    size_t rowHint_ = 0;  // row index when last known; checked before it is trusted
};
