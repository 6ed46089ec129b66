#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

// A named arrangement of the video wall: the layout (cell count) and the camera of each cell that
// showed one when it was saved.
struct SavedView {
    static constexpr int kCellCount = 64;

    std::string name;
    int layoutCount = 4;
    std::map<int, std::string> cameras;  // cell index (0..63) -> camera id

    // The wall's layouts: 1, 4, 6, 8, 9, 14, 16, 17, 25, 36, 49, 64.
    static bool IsLayoutCount(int count);

    // The view as it applies to an account today: cells naming a camera the account no longer has
    // are left empty; their cameras are added to `dropped` when given.
    SavedView KeepCamerasOf(const std::function<bool(const std::string& deviceId)>& hasCamera,
                            std::vector<std::string>* dropped = nullptr) const;

    bool operator==(const SavedView&) const = default;
};
