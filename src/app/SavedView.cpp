#include "app/SavedView.h"

#include <algorithm>
#include <array>

bool SavedView::IsLayoutCount(int count)
{
    static constexpr std::array<int, 12> kCounts = {1, 4, 6, 8, 9, 14, 16, 17, 25, 36, 49, 64};
    return std::find(kCounts.begin(), kCounts.end(), count) != kCounts.end();
}

SavedView SavedView::KeepCamerasOf(const std::function<bool(const std::string&)>& hasCamera,
                                   std::vector<std::string>* dropped) const
{
    SavedView kept{name, layoutCount, {}};
    for (const auto& [cell, camera] : cameras) {
        if (hasCamera(camera))
            kept.cameras.emplace(cell, camera);
        else if (dropped != nullptr)
            dropped->push_back(camera);
    }
    return kept;
}
