#include "video/WallDragMime.h"

#include <QMimeData>

QMimeData* WallDragMime::Make(const WallDragItem& item)
{
    auto* data = new QMimeData;
    data->setData(WallDragItem::kMimeType, QByteArray::fromStdString(item.Encode()));
    if (!item.id.empty())
        data->setText(QString::fromStdString(item.id));
    return data;
}

std::optional<WallDragItem> WallDragMime::Read(const QMimeData* data)
{
    if (data == nullptr || !data->hasFormat(WallDragItem::kMimeType))
        return std::nullopt;
    return WallDragItem::Decode(data->data(WallDragItem::kMimeType).toStdString());
}
