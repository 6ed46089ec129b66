#pragma once

#include "video/WallDragItem.h"

#include <optional>

class QMimeData;

// A WallDragItem as the data of a drag (its MIME type, plus the id as text for other programs).
class WallDragMime {
public:
    static QMimeData* Make(const WallDragItem& item);
    // The item a drop brings; nothing when it brings none or a malformed one.
    static std::optional<WallDragItem> Read(const QMimeData* data);
};
