// Renders the application icon (an SVG drawn by the project) into the PNG sizes of the hicolor icon
// theme. Run at build time:
//   RenderIcon <icon.svg> <icons folder> <size>...
// writes <icons folder>/<size>x<size>/apps/kelvue.png for each size.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    // Only shapes are drawn (no text), so no application object and no display are needed.
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <icon.svg> <icons folder> <size>...\n", argv[0]);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "RenderIcon: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString outDir = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0) {
            std::fprintf(stderr, "RenderIcon: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        if (!QDir().mkpath(folder) || !image.save(folder + QStringLiteral("/kelvue.png"))) {
            std::fprintf(stderr, "RenderIcon: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
