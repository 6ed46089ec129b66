// Toolkit costs against plain Qt, measured in the same run (medians of several rounds):
//  1. building a layout of 500 controls: CDialogBuilder (SkinLoader + controls + attributes) against
//     Qt's own loader (QUiLoader) alone on the same file, and against creating the same widgets
//     directly in code;
//  2. a list of 10,000 label rows with inline markup: CListUI filled and drawn (first screen, then the
//     last screen) against a QTreeWidget filled with the same texts and icons and drawn the same way.
// Usage: ui_toolkit_bench [rounds]   (runs offscreen)

#include "ui/UIlib.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtUiTools/QUiLoader>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

double MedianMs(int rounds, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        times.push_back(clock.nsecsElapsed() / 1e6);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// 125 rows of (label, edit, check box, button) with dynamic attributes like the real layouts.
QString FiveHundredControls()
{
    QString xml = R"(<ui version="4.0"><widget class="QWidget" name="root"><layout class="QVBoxLayout" name="rows">)";
    for (int r = 0; r < 125; ++r) {
        xml += QStringLiteral(R"(<item><widget class="QWidget" name="row%1"><layout class="QHBoxLayout" name="rowLayout%1">
<item><widget class="QLabel" name="label%1"><property name="text"><string>名称 %1</string></property></widget></item>
<item><widget class="QLineEdit" name="edit%1"><property name="userdata" stdset="0"><string>e%1</string></property></widget></item>
<item><widget class="QCheckBox" name="check%1"><property name="text"><string>启用</string></property></widget></item>
<item><widget class="QPushButton" name="button%1"><property name="text"><string>保存</string></property><property name="normalimage" stdset="0"><string>file='sys_close.png' source='0,0,22,22'</string></property></widget></item>
</layout></widget></item>)")
                   .arg(r);
    }
    xml += "</layout></widget></ui>";
    return xml;
}

QWidget* DirectFiveHundred()
{
    auto* root = new QWidget;
    auto* rows = new QVBoxLayout(root);
    for (int r = 0; r < 125; ++r) {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->addWidget(new QLabel(QStringLiteral("名称 %1").arg(r)));
        layout->addWidget(new QLineEdit);
        layout->addWidget(new QCheckBox(QStringLiteral("启用")));
        layout->addWidget(new QPushButton(QStringLiteral("保存")));
        rows->addWidget(row);
    }
    return root;
}

struct Host : WindowImplBase {
    QString GetWindowClassName() const override { return "BenchWnd"; }
    CDuiString GetSkinFile() override { return "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"r\"/></ui>"; }
};

QString RowText(int i)
{
    const int level = i % 3;
    QString text = "<x 6>";
    for (int l = 0; l < level; ++l)
        text += "<x 24>";
    if (level < 2)
        return text + QStringLiteral("<a><i tree_expand.png 2 1></a>{x 4}{i gameicons.png 18 7}{x }节点 %1").arg(i);
    return text + QStringLiteral("{x 4}{i gameicons.png 18 %1}{x 4}摄像头 %2").arg(i % 2 ? 4 : 3).arg(i);
}

void DrawScreens(QAbstractItemView* view)
{
    view->viewport()->grab();
    view->scrollToBottom();
    view->viewport()->grab();
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        static char runtime[] = "/tmp/kelvue-bench-XXXXXX";
        if (mkdtemp(runtime) != nullptr)
            setenv("XDG_RUNTIME_DIR", runtime, 1);
    }
    QApplication app(argc, argv);
    CPaintManagerUI::SetResourcePath(QStringLiteral(KELVUE_BENCH_SKIN_DIR));
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    // 1. A layout of 500 controls.
    const QByteArray xml = FiveHundredControls().toUtf8();
    Host host;
    host.Create(nullptr, "BenchWnd", 0, 0);
    const double toolkit = MedianMs(rounds, [&] {
        CDialogBuilder builder;
        CControlUI* root = builder.Create(QString::fromUtf8(xml), QString(), &host, host.GetPaintManager());
        delete root;
    });
    const double loader = MedianMs(rounds, [&] {
        QBuffer buffer;
        buffer.setData(xml);
        buffer.open(QIODevice::ReadOnly);
        QUiLoader plain;
        delete plain.load(&buffer);
    });
    const double direct = MedianMs(rounds, [] { delete DirectFiveHundred(); });
    std::printf("layout of 500 controls: toolkit %.2f ms | QUiLoader alone %.2f ms (ratio %.2f) | widgets in code %.2f ms (ratio %.2f)\n",
                toolkit, loader, toolkit / loader, direct, toolkit / direct);

    // 2. A list of 10,000 label rows with markup, filled, then first and last screens drawn.
    constexpr int kRows = 10000;
    QStringList texts, plainTexts;
    for (int i = 0; i < kRows; ++i) {
        texts.append(RowText(i));
        plainTexts.append(MarkupText::PlainText(texts.last()));
    }
    std::vector<double> listFills, treeFills;
    const double listTotal = MedianMs(rounds, [&] {
        CListUI list;
        list.SetShowHtml(true);
        list.GetWidget()->resize(260, 600);
        list.GetWidget()->show();
        QElapsedTimer fill;
        fill.start();
        for (const QString& text : texts) {
            auto* row = new CListLabelElementUI;
            row->SetText(text);
            list.Add(row);
        }
        QApplication::processEvents();
        listFills.push_back(fill.nsecsElapsed() / 1e6);
        DrawScreens(static_cast<QAbstractItemView*>(list.GetWidget()));
    });
    const QIcon folder(SkinImage::Piece("gameicons.png", 18, 7));
    const QIcon camera(SkinImage::Piece("gameicons.png", 18, 4));
    const double treeTotal = MedianMs(rounds, [&] {
        QTreeWidget tree;
        tree.setHeaderHidden(true);
        tree.setUniformRowHeights(true);
        tree.setRootIsDecorated(false);
        tree.resize(260, 600);
        tree.show();
        QElapsedTimer fill;
        fill.start();
        for (int i = 0; i < kRows; ++i) {
            auto* item = new QTreeWidgetItem(&tree);
            item->setText(0, plainTexts[i]);
            item->setIcon(0, i % 3 < 2 ? folder : camera);
        }
        QApplication::processEvents();
        treeFills.push_back(fill.nsecsElapsed() / 1e6);
        DrawScreens(&tree);
    });
    std::sort(listFills.begin(), listFills.end());
    std::sort(treeFills.begin(), treeFills.end());
    const double listFill = listFills[listFills.size() / 2], treeFill = treeFills[treeFills.size() / 2];
    std::printf("list of %d markup rows: toolkit fill %.2f ms, fill+draw %.2f ms | QTreeWidget fill %.2f ms, fill+draw %.2f ms | ratio fill %.2f, total %.2f\n",
                kRows, listFill, listTotal, treeFill, treeTotal, listFill / treeFill, listTotal / treeTotal);
    host.DestroyWindow();
    return 0;
}
