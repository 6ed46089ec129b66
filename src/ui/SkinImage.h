#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>

// An image description of the layouts and the code, e.g. "file='Toolbar/gj_ico_9.png'
// source='0,0,22,22' dest='0,0,22,22'" or "file='tree_top.png' corner='2,1,2,1' fade='100'";
// a bare file name is a description too. Files are looked up under the resource path.
struct SkinImage {
    QString file;
    QRect source;  // part of the file to draw; null = all of it
    QRect dest;    // where to draw it inside the control; null = the whole control
    int cornerLeft = 0, cornerTop = 0, cornerRight = 0, cornerBottom = 0;  // nine-patch borders
    int fade = 255;

    static SkinImage Parse(const QString& description);
    bool IsNull() const { return file.isEmpty(); }
    // The picture to draw (the source part of the file); null when the file cannot be read.
    QPixmap Picture() const;
    // Draws into `target` (dest taken relative to it, corners kept unscaled).
    void Draw(class QPainter& painter, const QRect& target) const;

    // Loads a file of the skin, cached (SVG files are rendered at their own size).
    static QPixmap Load(const QString& file);
    // Picture `index` (from 0) of `count` equal pictures side by side in `file`.
    static QPixmap Piece(const QString& file, int count, int index);
    static void ClearCache();
};
