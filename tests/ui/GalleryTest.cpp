// The gallery of every control, drawn by whichever platform runs the test (offscreen, or xcb under
// Xvfb), saved as a PNG to look at, and checked for the pixels that matter.

#include "UiTestKit.h"

#include <gtest/gtest.h>

#include <QFontDatabase>

#include <cstdlib>

using namespace uitest;

TEST(Gallery, EveryControlDrawnWithChineseTexts)
{
    EnsureApp();
    TestWindow window(TestLayoutDir() + "/gallery.xml");
    NativeWidget* wall = nullptr;
    window.create = [&](const QString& cls) -> CControlUI* {
        if (cls == "MonitorLis") {
            auto* list = new CListUI;
            const char* rows[] = {"{x 4}{i gameicons.png 18 7}{x 4}13800138000",
                                  "<x 6><x 24><a><i tree_expand.png 2 1></a>{x 4}{i gameicons.png 18 7}{x }总部大楼",
                                  "<x 6><x 24><x 24>{x 4}{i gameicons.png 18 4}{x 4}东门摄像头",
                                  "<x 6><x 24><x 24>{x 4}{i gameicons.png 18 3}{x 4}停车场(离线)",
                                  "<x 6><x 24><a><i tree_expand.png 2 0></a>{x 4}{i gameicons.png 18 7}{x }仓库"};
            for (const char* text : rows) {
                auto* row = new CListLabelElementUI;
                row->SetText(QString::fromUtf8(text));
                list->Add(row);
            }
            list->GetItemAt(0)->SetAttribute("bkimage", "file='tree_top.png' corner='2,1,2,1' fade='100'");
            return list;
        }
        if (cls == "Dialog") {
            auto* host = new CWndUI;
            wall = new NativeWidget;
            wall->setStyleSheet("background-color:#000000;");
            wall->setAttribute(Qt::WA_StyledBackground);
            host->Attach(wall->GetHWND());
            return host;
        }
        if (cls == "skinBottom") {
            CDialogBuilder builder;
            return builder.Create(TestLayoutDir() + "/bottom.xml", QString(), &window, window.GetPaintManager());
        }
        return nullptr;
    };
    ASSERT_NE(nullptr, window.Build());
    auto* tree = Find<CTreeViewUI>(window, "righttree");
    auto* all = new CTreeNodeUI;
    all->SetItemText("全部权限");
    tree->Add(all);
    for (const char* right : {"实时视频", "录像回放", "云台控制"}) {
        auto* node = new CTreeNodeUI;
        node->SetItemText(QString::fromUtf8(right));
        all->Add(node);
    }
    all->SetExpanded(true);
    all->GetChildNode(0)->SetCheckBoxSelected(true);
    auto* combo = Find<CComboUI>(window, "IDC_COMBO_POINT");
    for (int i = 1; i <= 3; ++i) {
        auto* e = new CListLabelElementUI;
        e->SetAttribute("text", QStringLiteral("预置点 %1").arg(i));
        combo->Add(e);
    }
    combo->SelectItem(0);
    Find<CEditUI>(window, "EditAccount")->SetText("13800138000");
    Find<CEditUI>(window, "EditPassword")->SetText("secret");

    // A frame in the surface: a blue-to-green ramp.
    auto* surface = dynamic_cast<VideoSurface*>(window.FindControl("surface")->GetWidget());
    window.ShowWindow();
    Pump(30);
    std::vector<uint8_t> frame(static_cast<size_t>(surface->width()) * surface->height() * 4);
    for (int y = 0; y < surface->height(); ++y)
        for (int x = 0; x < surface->width(); ++x) {
            uint8_t* p = &frame[(static_cast<size_t>(y) * surface->width() + x) * 4];
            p[0] = static_cast<uint8_t>(255 - x * 255 / surface->width());
            p[1] = static_cast<uint8_t>(x * 255 / surface->width());
            p[2] = 40;
            p[3] = 255;
        }
    ASSERT_TRUE(VideoSurface::PresentFrame(surface->GetHWND(), frame.data(), surface->width(), surface->height(), surface->width() * 4));

    const char* suffix = std::getenv("KELVUE_SCREENSHOT_SUFFIX");
    const QString path = QStringLiteral("gallery-%1.png").arg(suffix ? suffix : "offscreen");
    ASSERT_TRUE(SaveScreenshot(window, path));
    const QImage shot(path);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(window.GetWidget()->size(), shot.size());

    // The Chinese texts need a CJK font, and the label must show ink (not empty boxes alone).
    EXPECT_FALSE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty());
    // The dark theme: the window background is dark, the frame reached the surface.
    const QColor background = shot.pixel(shot.width() / 2, shot.height() - 3);
    EXPECT_LT(background.lightness(), 80);
    const QWidget* s = surface;
    const QPoint inSurface = s->mapTo(window.GetWidget(), QPoint(2, s->height() / 2));
    EXPECT_GT(qBlue(shot.pixel(inSurface)), 200);

    // A popup menu of the skin over the gallery, drawn on its own.
    POINT at;
    at.x = 40;
    at.y = 80;
    CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, TestLayoutDir() + "/menu.xml", at, window.GetPaintManager());
    ASSERT_NE(nullptr, menu);
    menu->FindMenuItem("ID_SPLITNODE")->SetVisible(true);
    menu->ResizeMenu();
    EXPECT_TRUE(SaveScreenshot(*menu, QStringLiteral("menu-%1.png").arg(suffix ? suffix : "offscreen")));
    menu->Close();
    window.DestroyWindow();
    Pump(10);
    delete wall;
}
