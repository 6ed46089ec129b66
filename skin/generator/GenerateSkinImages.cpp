// Draws the skin's PNG pictures: strips of equal pictures side by side (picture k of n is the k-th
// square from the left). Run at build time:
//   GenerateSkinImages <skin folder of the build> [<skin folder of the sources>]
// A picture that the source folder already holds (drawn by a window's own tool) is left alone.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

// The operator theme's palette (also in theme.qss).
const QColor kAccent(0x2d, 0x8c, 0xf0);
const QColor kOnline(0x3c, 0xc8, 0x6e);
const QColor kOffline(0x80, 0x86, 0x90);
const QColor kNode(0xf0, 0xb4, 0x3c);
const QColor kAlert(0xe8, 0x4a, 0x4a);
const QColor kGlyph(0xd8, 0xdc, 0xe2);

using Draw = std::function<void(QPainter&, const QRectF&, int index)>;

QString g_outDir;
QString g_sourceDir;

bool SaveStrip(const QString& relative, int count, int w, int h, const Draw& draw)
{
    if (!g_sourceDir.isEmpty() && QFileInfo::exists(g_sourceDir + relative))
        return true;
    const QString path = g_outDir + relative;
    QImage image(w * count, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < count; ++i) {
        painter.save();
        draw(painter, QRectF(i * w, 0, w, h), i);
        painter.restore();
    }
    painter.end();
    QDir().mkpath(QFileInfo(path).path());
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

void Camera(QPainter& p, const QRectF& r, const QColor& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QRectF body(r.x() + 2, r.y() + 5, r.width() * 0.6, r.height() * 0.45);
    p.drawRoundedRect(body, 2, 2);
    QPolygonF lens;
    lens << QPointF(body.right(), body.center().y()) << QPointF(r.right() - 1, body.top())
         << QPointF(r.right() - 1, body.bottom());
    p.drawPolygon(lens);
    p.drawRect(QRectF(body.center().x() - 1, body.bottom(), 2, 3));
}

void Folder(QPainter& p, const QRectF& r, const QColor& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c.darker(130));
    p.drawRoundedRect(QRectF(r.x() + 1, r.y() + 3, r.width() * 0.45, 4), 1, 1);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(r.x() + 1, r.y() + 5, r.width() - 2, r.height() - 8), 2, 2);
}

// The 18 list icons: 3 offline camera, 4 online camera, 7 node; the others are kept distinct so a
// picture drawn from the wrong place shows.
void GameIcon(QPainter& p, const QRectF& r, int i)
{
    switch (i) {
    case 3: Camera(p, r, kOffline); return;
    case 4: Camera(p, r, kOnline); return;
    case 7: Folder(p, r, kNode); return;
    default: break;
    }
    const QColor c = QColor::fromHsv((i * 37) % 360, 150, 210);
    p.setPen(QPen(c, 1.5));
    p.setBrush(c.darker(160));
    const QRectF in = r.adjusted(3, 3, -3, -3);
    switch (i % 3) {
    case 0: p.drawEllipse(in); break;
    case 1: p.drawRect(in); break;
    default: {
        QPolygonF t;
        t << QPointF(in.center().x(), in.top()) << in.bottomRight() << in.bottomLeft();
        p.drawPolygon(t);
    }
    }
}

void Expander(QPainter& p, const QRectF& r, int i)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kGlyph);
    const QPointF c = r.center();
    QPolygonF t;
    if (i == 0)  // collapsed: points right
        t << QPointF(c.x() - 2, c.y() - 4) << QPointF(c.x() + 3, c.y()) << QPointF(c.x() - 2, c.y() + 4);
    else  // expanded: points down
        t << QPointF(c.x() - 4, c.y() - 2) << QPointF(c.x() + 4, c.y() - 2) << QPointF(c.x(), c.y() + 3);
    p.drawPolygon(t);
}

// Four states of a toolbar or window button: normal, hot, pushed, disabled.
QColor StateColor(int state)
{
    switch (state) {
    case 1: return QColor(0xff, 0xff, 0xff);
    case 2: return kAccent;
    case 3: return QColor(0x5a, 0x60, 0x68);
    default: return kGlyph;
    }
}

void StateBackground(QPainter& p, const QRectF& r, int state)
{
    if (state == 1 || state == 2) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, state == 1 ? 40 : 24));
        p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 3, 3);
    }
}

Draw Glyph(const std::function<void(QPainter&, const QRectF&)>& glyph)
{
    return [glyph](QPainter& p, const QRectF& r, int state) {
        StateBackground(p, r, state);
        const QColor c = StateColor(state);
        p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(c);
        glyph(p, r.adjusted(5, 5, -5, -5));
    };
}

void Bars(QPainter& p, const QRectF& r, int bars)
{
    const double w = r.width() / 5;
    for (int b = 0; b < 3; ++b) {
        const double h = r.height() * (b + 1) / 3;
        QRectF bar(r.left() + b * 2 * w, r.bottom() - h, w, h);
        if (b < bars)
            p.drawRect(bar);
        else {
            p.save();
            p.setBrush(Qt::NoBrush);
            p.drawRect(bar);
            p.restore();
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // Only shapes are drawn (no text), so no application object and no display are needed.
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <skin folder>\n", argv[0]);
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]) + '/';
    if (argc >= 3)
        g_sourceDir = QString::fromLocal8Bit(argv[2]) + '/';
    bool ok = SaveStrip("gameicons.png", 18, 16, 16, GameIcon);
    ok &= SaveStrip("tree_expand.png", 2, 16, 16, Expander);
    // The bullet of a chosen node in the merge window's list.
    ok &= SaveStrip("Icon/list_icon_b.png", 1, 12, 12, [](QPainter& p, const QRectF& r, int) {
        p.setPen(Qt::NoPen);
        p.setBrush(kNode);
        p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 2, 2);
    });
    ok &= SaveStrip("tree_top.png", 1, 8, 8, [](QPainter& p, const QRectF& r, int) {
        p.fillRect(r, QColor(0x26, 0x2c, 0x36));
        p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), QColor(0x3a, 0x42, 0x4e));
    });

    struct Named {
        const char* file;
        std::function<void(QPainter&, const QRectF&)> glyph;
    };
    const Named buttons[] = {
        {"sys_close.png", [](QPainter& p, const QRectF& r) { p.drawLine(r.topLeft(), r.bottomRight()); p.drawLine(r.topRight(), r.bottomLeft()); }},
        {"sys_min.png", [](QPainter& p, const QRectF& r) { p.drawLine(QPointF(r.left(), r.bottom()), r.bottomRight()); }},
        {"sys_max.png", [](QPainter& p, const QRectF& r) { p.setBrush(Qt::NoBrush); p.drawRect(r); }},
        {"sys_restore.png", [](QPainter& p, const QRectF& r) { p.setBrush(Qt::NoBrush); p.drawRect(r.adjusted(0, 3, -3, 0)); p.drawPolyline(QPolygonF{{r.left() + 3, r.top() + 3}, {r.left() + 3, r.top()}, r.topRight(), {r.right(), r.bottom() - 3}, {r.right() - 3, r.bottom() - 3}}); }},
        {"sys_menu.png", [](QPainter& p, const QRectF& r) { for (int i = 0; i < 3; ++i) p.drawLine(QPointF(r.left(), r.top() + i * r.height() / 2), QPointF(r.right(), r.top() + i * r.height() / 2)); }},
        {"Toolbar/btn_play.png", [](QPainter& p, const QRectF& r) { p.drawPolygon(QPolygonF{r.topLeft(), {r.right(), r.center().y()}, r.bottomLeft()}); }},
        {"Toolbar/btn_stop.png", [](QPainter& p, const QRectF& r) { p.drawRect(r.adjusted(1, 1, -1, -1)); }},
        {"Toolbar/btn_record.png", [](QPainter& p, const QRectF& r) { p.setBrush(kAlert); p.drawEllipse(r.adjusted(1, 1, -1, -1)); }},
        {"Toolbar/btn_audio.png", [](QPainter& p, const QRectF& r) { p.drawPolygon(QPolygonF{{r.left(), r.top() + 4}, {r.left() + 4, r.top() + 4}, {r.left() + 8, r.top()}, {r.left() + 8, r.bottom()}, {r.left() + 4, r.bottom() - 4}, {r.left(), r.bottom() - 4}}); p.setBrush(Qt::NoBrush); p.drawArc(r.adjusted(4, 2, 0, -2), -60 * 16, 120 * 16); }},
        {"Toolbar/btn_snapshot.png", [](QPainter& p, const QRectF& r) { p.setBrush(Qt::NoBrush); p.drawRoundedRect(r.adjusted(0, 2, 0, 0), 2, 2); p.drawEllipse(r.center() + QPointF(0, 1), 3, 3); }},
        {"Toolbar/btn_speak.png", [](QPainter& p, const QRectF& r) { p.drawRoundedRect(QRectF(r.center().x() - 2.5, r.top(), 5, r.height() * 0.6), 2.5, 2.5); p.drawLine(QPointF(r.center().x(), r.bottom() - 2), QPointF(r.center().x(), r.bottom())); }},
        {"Toolbar/btn_fullscreen.png", [](QPainter& p, const QRectF& r) { p.setBrush(Qt::NoBrush); p.drawPolyline(QPolygonF{{r.left(), r.top() + 4}, r.topLeft(), {r.left() + 4, r.top()}}); p.drawPolyline(QPolygonF{{r.right() - 4, r.bottom()}, r.bottomRight(), {r.right(), r.bottom() - 4}}); p.drawPolyline(QPolygonF{{r.right() - 4, r.top()}, r.topRight(), {r.right(), r.top() + 4}}); p.drawPolyline(QPolygonF{{r.left(), r.bottom() - 4}, r.bottomLeft(), {r.left() + 4, r.bottom()}}); }},
        {"Toolbar/btn_playback.png", [](QPainter& p, const QRectF& r) { p.setBrush(Qt::NoBrush); p.drawEllipse(r); p.drawLine(r.center(), QPointF(r.center().x(), r.top() + 2)); p.drawLine(r.center(), QPointF(r.right() - 3, r.center().y())); }},
        {"Toolbar/gj_ico_9.png", [](QPainter& p, const QRectF& r) { Bars(p, r, 1); }},
        {"Toolbar/gj_ico_10.png", [](QPainter& p, const QRectF& r) { Bars(p, r, 2); }},
        {"Toolbar/gj_ico_11.png", [](QPainter& p, const QRectF& r) { Bars(p, r, 3); }},
        {"ptz_up.png", [](QPainter& p, const QRectF& r) { p.drawPolygon(QPolygonF{{r.center().x(), r.top()}, r.bottomRight(), r.bottomLeft()}); }},
        {"ptz_down.png", [](QPainter& p, const QRectF& r) { p.drawPolygon(QPolygonF{r.topLeft(), r.topRight(), {r.center().x(), r.bottom()}}); }},
        {"ptz_left.png", [](QPainter& p, const QRectF& r) { p.drawPolygon(QPolygonF{r.topRight(), r.bottomRight(), {r.left(), r.center().y()}}); }},
        {"ptz_right.png", [](QPainter& p, const QRectF& r) { p.drawPolygon(QPolygonF{r.topLeft(), {r.right(), r.center().y()}, r.bottomLeft()}); }},
    };
    for (const Named& b : buttons)
        ok &= SaveStrip(b.file, 4, 22, 22, Glyph(b.glyph));
    return ok ? 0 : 1;
}
