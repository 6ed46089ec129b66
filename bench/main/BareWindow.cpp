// The start-up reference: a plain Qt Widgets program that shows one empty window titled "bare".
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(400, 270);
    window.show();
    return QApplication::exec();
}
