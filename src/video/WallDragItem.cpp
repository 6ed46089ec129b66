#include "video/WallDragItem.h"

#include "video/WallLayout.h"

#include <charconv>

namespace {

bool ParseNumber(const std::string& text, std::uintmax_t& value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

}  // namespace

// Lines: the kind, then the id (camera, node) or the wall and the cell index (cell).
std::string WallDragItem::Encode() const
{
    switch (kind) {
    case Kind::Camera:
        return "camera\n" + id;
    case Kind::RecentCamera:
        return "recent\n" + id;
    case Kind::Node:
        return "node\n" + id;
    case Kind::Cell:
        return "cell\n" + std::to_string(wall) + "\n" + std::to_string(cell);
    }
    return {};
}

std::optional<WallDragItem> WallDragItem::Decode(const std::string& data)
{
    const size_t first = data.find('\n');
    if (first == std::string::npos)
        return std::nullopt;
    const std::string kind = data.substr(0, first);
    const std::string rest = data.substr(first + 1);
    if (kind == "camera" || kind == "recent" || kind == "node") {
        if (rest.empty() || rest.find('\n') != std::string::npos)
            return std::nullopt;
        if (kind == "node")
            return Node(rest);
        return kind == "camera" ? Camera(rest) : RecentCamera(rest);
    }
    if (kind != "cell")
        return std::nullopt;
    const size_t second = rest.find('\n');
    std::uintmax_t wall = 0;
    std::uintmax_t cell = 0;
    if (second == std::string::npos || !ParseNumber(rest.substr(0, second), wall) ||
        !ParseNumber(rest.substr(second + 1), cell) || cell >= static_cast<std::uintmax_t>(WallLayout::kCellCount))
        return std::nullopt;
    return Cell(static_cast<std::uintptr_t>(wall), static_cast<int>(cell));
}
