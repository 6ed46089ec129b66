#pragma once

#include <string>

// What the last context menu was opened on; the menu commands read it (a command from the main
// menu addresses the node of the last context menu). The current camera is the main window's.
struct MenuSelection {
    std::string nodeId;    // node row: its id; camera row: the camera's id; account row: ""
    std::string nodeName;  // node row: its label; camera row: the label of the camera's node
    // Camera row: the id of the node it is listed under (a camera may be bound under several); "" after
    // an account or node row.
    std::string cameraNodeId;

    // The recently-watched row the menu was opened on, kept by value: the list may be rebuilt while
    // the menu is open, and the delete command must not reach into a row that is gone.
    struct RecentRow {
        bool chosen = false;
        std::string label;
        std::string parentLabel;  // "" for the top row
        bool hasChildren = false;
    } recentRow;
};
