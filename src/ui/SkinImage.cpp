#include "ui/SkinImage.h"

#include "ui/CPaintManagerUI.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPainter>

#include <png.h>

namespace {

QHash<QString, QPixmap>& Cache()
{
    static QHash<QString, QPixmap> cache;
    return cache;
}

// A PNG picture (as all of the skin's are) read by libpng. Qt's reader, even when told the format,
// first lists its image plugins (reading every plugin file in their folder) and costs the log-in
// window's first paint about a third of a millisecond more. Pictures larger than Qt's reader would
// take are refused like it refuses them.
QImage ReadPng(const QString& path)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, QFile::encodeName(path).constData()))
        return {};
    png.format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;  // QImage::Format_ARGB32
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;  // 0: no limit
    QImage image;
    if (limit == 0 || qint64(PNG_IMAGE_SIZE(png)) <= limit)
        image = QImage(int(png.width), int(png.height), QImage::Format_ARGB32);
    if (image.isNull() || !png_image_finish_read(&png, nullptr, image.bits(), image.bytesPerLine(), nullptr)) {
        png_image_free(&png);
        return {};
    }
    return image;
}

// Read as the name's suffix says first. Told nothing, Qt asks every image plugin whether it reads the
// format before it uses its own PNG reader, which loads them all (with libjpeg and the SVG module)
// at the first picture and delays the log-in window's first paint by milliseconds. A file whose
// content does not match its name is still read by its content.
QImage ReadImage(const QString& path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    QImage image;
    if (suffix == "png") {
        image = ReadPng(path);
    } else {
        QImageReader bySuffix(path, suffix);
        bySuffix.setAutoDetectImageFormat(false);
        image = bySuffix.read();
    }
    return image.isNull() ? QImageReader(path).read() : image;
}

QRect ParseRect(const QString& text)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return {};
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return {};
    }
    return QRect(QPoint(v[0], v[1]), QPoint(v[2] - 1, v[3] - 1));
}

bool IsKeyChar(QChar c)
{
    return c.isLetterOrNumber() || c == '_';
}

// The next key='value' pair at or after `at` (spaces allowed around '='; text between pairs is
// skipped), and `at` moved past it. A hand scan rather than a regular expression: the first layout
// parsed would otherwise compile one while the log-in window is being built.
bool NextPair(QStringView text, qsizetype& at, QStringView& key, QStringView& value)
{
    const auto skipSpaces = [&text](qsizetype p) {
        while (p < text.size() && text[p].isSpace())
            ++p;
        return p;
    };
    while (at < text.size()) {
        if (!IsKeyChar(text[at])) {
            ++at;
            continue;
        }
        qsizetype end = at;
        while (end < text.size() && IsKeyChar(text[end]))
            ++end;
        const qsizetype equals = skipSpaces(end);
        const qsizetype p = equals < text.size() && text[equals] == '=' ? skipSpaces(equals + 1) : text.size();
        if (p >= text.size() || text[p] != '\'') {
            at = end;
            continue;
        }
        const qsizetype close = text.indexOf('\'', p + 1);
        if (close < 0)
            return false;
        key = text.sliced(at, end - at);
        value = text.sliced(p + 1, close - p - 1);
        at = close + 1;
        return true;
    }
    return false;
}

}  // namespace

SkinImage SkinImage::Parse(const QString& description)
{
    SkinImage image;
    const QString text = description.trimmed();
    if (!text.contains('=')) {
        image.file = text;
        return image;
    }
    QStringView key;
    QStringView pairValue;
    for (qsizetype at = 0; NextPair(text, at, key, pairValue);) {
        const QString value = pairValue.toString();
        if (key.compare(u"file", Qt::CaseInsensitive) == 0)
            image.file = value;
        else if (key.compare(u"source", Qt::CaseInsensitive) == 0)
            image.source = ParseRect(value);
        else if (key.compare(u"dest", Qt::CaseInsensitive) == 0)
            image.dest = ParseRect(value);
        else if (key.compare(u"fade", Qt::CaseInsensitive) == 0)
            image.fade = value.toInt();
        else if (key.compare(u"corner", Qt::CaseInsensitive) == 0) {
            const QStringList c = value.split(',');
            if (c.size() == 4) {
                image.cornerLeft = c[0].toInt();
                image.cornerTop = c[1].toInt();
                image.cornerRight = c[2].toInt();
                image.cornerBottom = c[3].toInt();
            }
        }
    }
    return image;
}

QPixmap SkinImage::Load(const QString& file)
{
    auto it = Cache().find(file);
    if (it != Cache().end())
        return it.value();
    const QPixmap pixmap = QPixmap::fromImage(ReadImage(CPaintManagerUI::GetResourceFile(file)));
    Cache().insert(file, pixmap);
    return pixmap;
}

QPixmap SkinImage::Piece(const QString& file, int count, int index)
{
    const QString key = QStringLiteral("%1#%2#%3").arg(file).arg(count).arg(index);
    auto it = Cache().find(key);
    if (it != Cache().end())
        return it.value();
    QPixmap whole = Load(file);
    QPixmap piece;
    if (!whole.isNull() && count > 0 && index >= 0 && index < count) {
        const int w = whole.width() / count;
        piece = whole.copy(index * w, 0, w, whole.height());
    }
    Cache().insert(key, piece);
    return piece;
}

void SkinImage::ClearCache()
{
    Cache().clear();
}

QPixmap SkinImage::Picture() const
{
    QPixmap whole = Load(file);
    if (whole.isNull() || source.isNull())
        return whole;
    return whole.copy(source);
}

void SkinImage::Draw(QPainter& painter, const QRect& target) const
{
    QPixmap picture = Picture();
    if (picture.isNull())
        return;
    painter.save();
    painter.setOpacity(fade / 255.0);
    QRect area = dest.isNull() ? target : dest.translated(target.topLeft());
    if (cornerLeft + cornerTop + cornerRight + cornerBottom == 0) {
        painter.drawPixmap(area, picture);
    } else {
        // Nine patches: corners at their size, edges and middle stretched.
        const int l = cornerLeft, t = cornerTop, r = cornerRight, b = cornerBottom;
        const int pw = picture.width(), ph = picture.height();
        const int aw = area.width(), ah = area.height();
        const int xs[] = {0, l, pw - r, pw}, ys[] = {0, t, ph - b, ph};
        const int xd[] = {0, l, aw - r, aw}, yd[] = {0, t, ah - b, ah};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                QRect s(xs[i], ys[j], xs[i + 1] - xs[i], ys[j + 1] - ys[j]);
                QRect d(area.x() + xd[i], area.y() + yd[j], xd[i + 1] - xd[i], yd[j + 1] - yd[j]);
                if (s.isValid() && d.isValid())
                    painter.drawPixmap(d, picture, s);
            }
    }
    painter.restore();
}
