// The second start-up reference: the bare window with one line of Chinese text, titled "text". It pays
// what any window with text pays before it shows and the empty window does not: fontconfig, the CJK
// font, and Qt's accessibility bridge, which the first text set starts (with its session bus).
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("text"));
    window.resize(400, 270);
    auto* label = new QLabel(QStringLiteral("账号 密码 记住密码 自动登录"), &window);
    label->move(20, 20);
    window.show();
    return QApplication::exec();
}
