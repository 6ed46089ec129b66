// Controls: list rows with markup, list and tree notifications, tree check propagation, menus,
// combos, pickers, hosted native widgets.

#include "UiTestKit.h"
#include "ui/ListView.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace uitest;

namespace {

const char* kListLayout = R"(<ui version="4.0"><widget class="QWidget" name="root">
  <property name="geometry"><rect><x>0</x><y>0</y><width>320</width><height>240</height></rect></property>
  <layout class="QVBoxLayout" name="l">
   <item><widget class="ListUI" name="gamelist"><property name="itemshowhtml" stdset="0"><bool>true</bool></property></widget></item>
   <item><widget class="TreeViewUI" name="tree"><property name="visiblecheckbtn" stdset="0"><bool>true</bool></property></widget></item>
   <item><widget class="QPushButton" name="menubtn"><property name="text"><string>菜单</string></property></widget></item>
  </layout></widget></ui>)";

class ToolkitControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApp();
        window = std::make_unique<TestWindow>(kListLayout);
        window->Build();
        window->ShowWindow();
        Pump();
        list = Find<CListUI>(*window, "gamelist");
        tree = Find<CTreeViewUI>(*window, "tree");
        ASSERT_NE(nullptr, list);
        ASSERT_NE(nullptr, tree);
    }
    void TearDown() override
    {
        window->DestroyWindow();
        Pump();
    }
    CListLabelElementUI* AddRow(const QString& text, const QString& name = "gamelistitem")
    {
        auto* row = new CListLabelElementUI;
        row->SetName(name);
        row->SetText(text);
        EXPECT_TRUE(list->Add(row));
        return row;
    }
    std::unique_ptr<TestWindow> window;
    CListUI* list = nullptr;
    CTreeViewUI* tree = nullptr;
};

// Where picture `index` of `count` lands in a row drawn with `markup`, compared pixel by pixel.
bool RowShowsPiece(CListUI* list, int row, int x, const QString& file, int count, int index)
{
    QWidget* viewport = static_cast<QAbstractItemView*>(list->GetWidget())->viewport();
    const QImage shot = viewport->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage piece = SkinImage::Piece(file, count, index).toImage().convertToFormat(QImage::Format_ARGB32);
    const int rowHeight = list->GetItemHeight();
    const int top = row * rowHeight + (rowHeight - piece.height()) / 2;
    int opaque = 0;
    for (int y = 0; y < piece.height(); ++y)
        for (int px = 0; px < piece.width(); ++px) {
            const QRgb want = piece.pixel(px, y);
            if (qAlpha(want) < 255)
                continue;  // edges blend with the row background
            ++opaque;
            if (shot.pixel(x + px, top + y) != want)
                return false;
        }
    return opaque > 0;
}

}  // namespace

// Pictures are read as their names say, and by their content when the name is wrong.
TEST(SkinImageFile, APictureIsReadWhateverItsNameSaysOfItsFormat)
{
    EnsureApp();
    QTemporaryDir folder;
    QImage red(6, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString png = folder.filePath("red.png"), pngAsJpeg = folder.filePath("red.jpg"),
                  jpegAsPng = folder.filePath("jpeg.png"), broken = folder.filePath("broken.png");
    ASSERT_TRUE(red.save(png, "PNG") && red.save(pngAsJpeg, "PNG") && red.save(jpegAsPng, "JPEG"));
    QFile garbage(broken);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write("not a picture") > 0);
    garbage.close();
    for (const QString& file : {png, pngAsJpeg, jpegAsPng}) {
        const QPixmap picture = SkinImage::Load(file);
        EXPECT_EQ(picture.size(), QSize(6, 4)) << file.toStdString();
        const QColor middle = picture.toImage().pixelColor(2, 2);
        // JPEG keeps the colour only nearly.
        EXPECT_TRUE(middle.red() > 245 && middle.green() < 10) << file.toStdString();
    }
    EXPECT_TRUE(SkinImage::Load(broken).isNull());

    // Translucent pixels keep their colour and alpha as Qt's own reader gives them; a file cut short
    // after its header gives no picture from either reader rather than a crash.
    QImage glass(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            glass.setPixel(x, y, qRgba(40 * x, 90 * y, 200, 50 * x + 20));
    const QString glassFile = folder.filePath("glass.png"), cutFile = folder.filePath("cut.png");
    ASSERT_TRUE(glass.save(glassFile, "PNG"));
    EXPECT_EQ(SkinImage::Load(glassFile).toImage(), QPixmap::fromImage(QImage(glassFile)).toImage());
    QFile whole(glassFile), cut(cutFile);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
    cut.write(whole.readAll().left(60));
    cut.close();
    EXPECT_TRUE(SkinImage::Load(cutFile).isNull());
}

// Picture descriptions as the layouts and the code write them, and what a hand-edited one may hold.
TEST(SkinImageDescription, ReadsEveryPairAndSkipsWhatIsNotOne)
{
    const SkinImage icon = SkinImage::Parse("file='Toolbar/gj_ico_9.png' source='0,0,22,22' dest='2,3,24,25'");
    EXPECT_EQ(icon.file, "Toolbar/gj_ico_9.png");
    EXPECT_EQ(icon.source, QRect(0, 0, 22, 22));
    EXPECT_EQ(icon.dest, QRect(2, 3, 22, 22));

    const SkinImage patch = SkinImage::Parse(" FILE = 'tree_top.png'  corner='2,1,3,4' fade='100' ");
    EXPECT_EQ(patch.file, "tree_top.png");
    EXPECT_EQ((std::vector{patch.cornerLeft, patch.cornerTop, patch.cornerRight, patch.cornerBottom}),
              (std::vector{2, 1, 3, 4}));
    EXPECT_EQ(patch.fade, 100);

    EXPECT_EQ(SkinImage::Parse("sys_min.png").file, "sys_min.png");
    EXPECT_EQ(SkinImage::Parse("x file 'b.png', file='a=b.png'").file, "a=b.png");
    const SkinImage cut = SkinImage::Parse("file='d.png' source='0,0");
    EXPECT_EQ(cut.file, "d.png");
    EXPECT_TRUE(cut.source.isNull());
}

TEST_F(ToolkitControls, MarkupParsesSpacesPicturesAndLinks)
{
    const auto runs = MarkupText::Parse("<x 6><x 24><a><i tree_expand.png 2 1></a>{x 4}{i gameicons.png 18 7}{x }南门");
    ASSERT_EQ(7, runs.size());
    EXPECT_EQ(MarkupText::Run::Space, runs[0].kind);
    EXPECT_EQ(6, runs[0].width);
    EXPECT_EQ(24, runs[1].width);
    EXPECT_EQ(MarkupText::Run::Image, runs[2].kind);
    EXPECT_TRUE(runs[2].link);
    EXPECT_EQ(1, runs[2].index);
    EXPECT_EQ(QString("gameicons.png"), runs[4].file);
    EXPECT_EQ(18, runs[4].count);
    EXPECT_EQ(7, runs[4].index);
    EXPECT_EQ(0, runs[5].width);  // "{x }" leaves no space
    EXPECT_EQ(QString("南门"), runs[6].text);
    EXPECT_FALSE(runs[6].link);
    EXPECT_EQ(QString("a{b"), MarkupText::PlainText("a{b"));  // unclosed tag is text
}

TEST_F(ToolkitControls, RowDrawsPictureKOfN)
{
    // Each row: 4 px, picture k of gameicons, then text. The pixels must be exactly that picture.
    const int pictures[] = {3, 4, 7};
    for (int k : pictures)
        AddRow(QStringLiteral("{x 4}{i gameicons.png 18 %1}{x 4}摄像头%1").arg(k));
    AddRow("<x 6><x 24><a><i tree_expand.png 2 1></a>节点");
    Pump(20);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(RowShowsPiece(list, row, 4, "gameicons.png", 18, pictures[row]));
        EXPECT_FALSE(RowShowsPiece(list, row, 4, "gameicons.png", 18, pictures[(row + 1) % 3]));
    }
    EXPECT_TRUE(RowShowsPiece(list, 3, 30, "tree_expand.png", 2, 1));
    EXPECT_FALSE(RowShowsPiece(list, 3, 30, "tree_expand.png", 2, 0));
}

TEST_F(ToolkitControls, ListRowsNotifyClickSelectActivateAndMenu)
{
    for (int i = 0; i < 3; ++i)
        AddRow(QStringLiteral("row %1").arg(i))->SetTag(100 + i);
    list->GetItemAt(2)->SetContextMenuUsed(true);
    window->notifications.clear();
    std::vector<UINT_PTR> tags;
    window->onNotify = [&](TNotifyUI& msg) {
        if (msg.pSender && msg.sType.startsWith("item"))
            tags.push_back(msg.pSender->GetTag());
    };
    ClickRow(list, 1);
    DoubleClickRow(list, 0);
    ClickRow(list, 2, Qt::RightButton);
    ClickRow(list, 1, Qt::RightButton);  // its context menu is off: no "menu"
    QStringList expected = {"itemclick:gamelistitem", "itemselect:gamelist", "itemclick:gamelistitem",
                            "itemselect:gamelist",    "itemactivate:gamelistitem", "itemrclick:gamelistitem",
                            "itemselect:gamelist",    "menu:gamelistitem",         "itemrclick:gamelistitem",
                            "itemselect:gamelist"};
    EXPECT_EQ(expected, window->notifications);
    EXPECT_EQ(1, list->GetCurSel());
    // A row's parent is the list body and its grandparent the list, as the windows walk it.
    EXPECT_EQ(list, list->GetItemAt(0)->GetParent()->GetParent());
}

TEST_F(ToolkitControls, CheckableRowsToggleOnAClickAndSayWhichWay)
{
    CListLabelElementUI* plain = AddRow("plain");
    CListLabelElementUI* ticked = AddRow("ticked", "receiver");
    CListLabelElementUI* cleared = AddRow("cleared", "receiver");
    ticked->SetAttribute("itemclickcheck", "true");
    ticked->SetCheck(true);
    cleared->SetAttribute("itemclickcheck", "true");
    window->notifications.clear();
    std::vector<WPARAM> states;
    window->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == "itemclickcheck")
            states.push_back(msg.wParam);
    };
    ClickRowCheck(list, 1);
    ClickRow(list, 2);       // anywhere on the row
    ClickRowCheck(list, 0);  // no box: a plain click
    EXPECT_FALSE(ticked->GetCheck());
    EXPECT_TRUE(cleared->GetCheck());
    EXPECT_FALSE(plain->GetCheck());
    EXPECT_EQ((std::vector<WPARAM>{0, 1}), states);
    EXPECT_EQ(2, window->notifications.count(QStringLiteral("itemclickcheck:receiver")));
    // Ticking from the code raises nothing, and the box shows the new state.
    cleared->SetCheck(false);
    EXPECT_EQ(Qt::Unchecked, list->View()->model()->index(2, 0).data(Qt::CheckStateRole).toInt());
    EXPECT_EQ(2u, states.size());
}

TEST_F(ToolkitControls, TreeNodeMarkupShowsAsPlainTextWithItsPicture)
{
    auto* node = new CTreeNodeUI;
    node->SetItemText(QStringLiteral("{x 4}{i gameicons.png 18 7}{x 7}仓库\\{1\\}"));
    ASSERT_TRUE(tree->Add(node));
    EXPECT_EQ(QStringLiteral("{x 4}{i gameicons.png 18 7}{x 7}仓库\\{1\\}"), node->GetItemText());
    EXPECT_EQ(QStringLiteral("仓库{1}"), node->Item()->text(0));
    EXPECT_EQ(SkinImage::Piece("gameicons.png", 18, 7).toImage(),
              node->Item()->icon(0).pixmap(SkinImage::Piece("gameicons.png", 18, 7).size()).toImage());
}

TEST_F(ToolkitControls, BackgroundPictureIsSetAndClearedByItsAttribute)
{
    CControlUI* button = window->FindControl(QStringLiteral("menubtn"));
    ASSERT_NE(nullptr, button);
    button->SetBkImage(QStringLiteral("gameicons.png"));
    EXPECT_TRUE(button->GetWidget()->styleSheet().contains(QStringLiteral("border-image:url(")));
    button->SetBkImage(QString());  // e.g. no alarm picture to show
    EXPECT_FALSE(button->GetWidget()->styleSheet().contains(QStringLiteral("border-image")));
}

TEST_F(ToolkitControls, HiddenRowsTakeNoSpaceAndRemoveDeletesRows)
{
    AddRow("a");
    CListLabelElementUI* b = AddRow("b");
    AddRow("c");
    const RECT before = list->GetItemAt(2)->GetPos();
    b->SetVisible(false);
    Pump();
    const RECT after = list->GetItemAt(2)->GetPos();
    EXPECT_EQ(before.top - list->GetItemHeight(), after.top);
    EXPECT_EQ(0, b->GetPos().bottom);
    auto* notARow = new CLabelUI;
    EXPECT_FALSE(list->Add(notARow));  // not a row: refused, and the caller still owns it
    delete notARow;
    EXPECT_TRUE(list->Remove(b));
    EXPECT_EQ(2, list->GetCount());
    EXPECT_EQ(1, list->GetItemAt(1)->GetText() == "c");
    list->RemoveAll();
    EXPECT_EQ(0, list->GetCount());
}

TEST_F(ToolkitControls, ReplacingAllRowsAtOnceKeepsTheNewRowsStateOnly)
{
    AddRow("old")->SetVisible(false);  // the view must not carry this over to the new first row
    std::vector<CListElementUI*> rows;
    for (const char* text : {"a", "b", "c"}) {
        auto* row = new CListLabelElementUI;
        row->SetText(QString::fromUtf8(text));
        rows.push_back(row);
    }
    rows[1]->SetVisible(false);
    list->ReplaceAll(rows);
    Pump();
    ASSERT_EQ(3, list->GetCount());
    EXPECT_FALSE(list->View()->isRowHidden(0, {}));
    EXPECT_TRUE(list->View()->isRowHidden(1, {}));
    EXPECT_EQ(list->GetItemAt(0)->GetPos().bottom, list->GetItemAt(2)->GetPos().top);
    EXPECT_EQ(2, list->GetItemIndex(rows[2]));
    EXPECT_EQ(list, rows[2]->GetParent()->GetParent());
    rows[1]->SetVisible(true);  // a replaced-in row answers to its list like an added one
    Pump();
    EXPECT_FALSE(list->View()->isRowHidden(1, {}));
}

TEST_F(ToolkitControls, ScrollPositionIsInPixels)
{
    for (int i = 0; i < 100; ++i)
        AddRow(QString::number(i));
    Pump(20);
    const SIZE range = list->GetScrollRange();
    EXPECT_GT(range.cy, 0);
    SIZE pos;
    pos.cy = 19;
    list->SetScrollPos(pos);
    EXPECT_EQ(19, list->GetScrollPos().cy);
    list->LineDown();
    EXPECT_EQ(19 + list->GetItemHeight(), list->GetScrollPos().cy);
}

TEST_F(ToolkitControls, TreeChecksPropagateOnlyWhenAsked)
{
    struct Case {
        bool propagate;
        bool childAfterParent, rootAfterChildren;
    };
    for (const Case& c : {Case{true, true, true}, Case{false, false, false}}) {
        SCOPED_TRACE(c.propagate);
        tree->RemoveAll();
        tree->SetCheckPropagation(c.propagate);
        auto* root = new CTreeNodeUI;
        root->SetItemText("全部权限");
        auto* parent = new CTreeNodeUI;
        parent->SetItemText("视频");
        auto* a = new CTreeNodeUI;
        a->SetItemText("回放");
        auto* b = new CTreeNodeUI;
        b->SetItemText("截图");
        ASSERT_TRUE(tree->Add(root));
        root->Add(parent);
        parent->Add(a);
        parent->Add(b);
        window->notifications.clear();

        ClickNodeCheck(tree, parent);  // the user ticks "视频"
        EXPECT_EQ(c.childAfterParent, a->IsCheckBoxSelected());
        EXPECT_EQ(c.childAfterParent, b->IsCheckBoxSelected());
        EXPECT_EQ(c.rootAfterChildren, root->IsCheckBoxSelected());  // its only child is fully ticked
        EXPECT_EQ(QStringList{"itemclickcheck:"}, window->notifications);

        if (c.propagate) {
            a->SetCheckBoxSelected(false);  // code clears one: parents become partly ticked
            EXPECT_EQ(Qt::PartiallyChecked, parent->Item()->checkState(0));
            EXPECT_FALSE(parent->IsCheckBoxSelected());
            EXPECT_TRUE(b->IsCheckBoxSelected());
            EXPECT_EQ(QStringList{"itemclickcheck:"}, window->notifications);  // code changes send nothing
        }
        EXPECT_EQ(2, parent->GetCountChild());
        EXPECT_EQ(2, a->GetTreeLevel());
        EXPECT_EQ(parent, a->GetParentNode());
    }
}

TEST_F(ToolkitControls, MenuReportsTheChosenItemToItsOwner)
{
    std::map<CDuiString, bool> checks{{"ID_ALARMCONTROL", true}};
    POINT at;
    at.x = 50;
    at.y = 60;
    CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, TestLayoutDir() + "/menu.xml", at, window->GetPaintManager(), &checks);
    ASSERT_NE(nullptr, menu);
    HWND menuHandle = menu->GetHWND();
    EXPECT_EQ(QPoint(50, 60), menu->GetWidget()->pos());
    ASSERT_NE(nullptr, menu->FindMenuItem("ID_SPLITNODE"));
    EXPECT_FALSE(menu->FindMenuItem("ID_SPLITNODE")->IsVisible());
    EXPECT_TRUE(menu->FindMenuItem("ID_ALARMCONTROL")->GetChecked());  // from the check map
    // Code adds an item, as the play cell does.
    auto* item = new CMenuElementUI;
    item->SetName("closeplay");
    item->SetText("关闭");
    item->SetUserData("cell-3");
    ASSERT_TRUE(menu->GetMenuUI()->Add(item));
    menu->ResizeMenu();

    window->messages.clear();
    Click(item);
    ASSERT_TRUE(PumpUntil([&] { return !window->messages.empty(); }));
    ASSERT_EQ(WM_MENU_COMMAND, window->messages[0].message);
    EXPECT_FALSE(IsWindow(menuHandle));  // the menu closed itself after the choice
}

TEST_F(ToolkitControls, MenuCommandRecordCarriesNameAndUserData)
{
    struct Owner : TestWindow {
        using TestWindow::TestWindow;
        LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override
        {
            if (uMsg == WM_MENU_COMMAND) {
                auto* record = reinterpret_cast<MenuCommand*>(wParam);
                names.append(QString::fromUtf8(record->szName));
                data.append(QString::fromUtf8(record->szUserData));
                checked.push_back(record->bChecked);
            }
            return TestWindow::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
        }
        QStringList names, data;
        std::vector<bool> checked;
    };
    Owner owner(kListLayout);
    owner.Build();
    std::map<CDuiString, bool> checks;
    POINT at;
    CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, TestLayoutDir() + "/menu.xml", at, owner.GetPaintManager(), &checks);
    Click(menu->FindMenuItem("ID_ALARMCONTROL"));
    ASSERT_TRUE(PumpUntil([&] { return !owner.names.isEmpty(); }));
    EXPECT_EQ(QStringList{"ID_ALARMCONTROL"}, owner.names);
    EXPECT_EQ(QStringList{"alarm"}, owner.data);
    EXPECT_TRUE(owner.checked.at(0));  // a check item toggles, and the map keeps it
    EXPECT_TRUE(checks["ID_ALARMCONTROL"]);
    owner.DestroyWindow();
}

TEST_F(ToolkitControls, ComboItemsAreLabelElementsWithTexts)
{
    TestWindow gallery(TestLayoutDir() + "/gallery.xml");
    gallery.Build();
    auto* combo = Find<CComboUI>(gallery, "IDC_COMBO_POINT");
    ASSERT_NE(nullptr, combo);
    combo->RemoveAll();
    for (int i = 1; i <= 255; ++i) {
        auto* e = new CListLabelElementUI;
        e->SetAttribute("text", QString::number(i));
        combo->Add(e);
    }
    EXPECT_EQ(-1, combo->GetCurSel());
    combo->SelectItem(0);
    EXPECT_EQ(QString("1"), combo->GetText());
    EXPECT_EQ(255, combo->GetCount());
    static_cast<CListLabelElementUI*>(combo->GetItemAt(1))->SetText("二");
    combo->SelectItem(1);
    EXPECT_EQ(QString("二"), combo->GetText());

    // -1 clears the choice quietly; an index outside the list changes nothing.
    QStringList notes;
    gallery.onNotify = [&](TNotifyUI& msg) { notes << msg.sType; };
    EXPECT_TRUE(combo->SelectItem(-1));
    EXPECT_EQ(-1, combo->GetCurSel());
    EXPECT_EQ(QString(), combo->GetText());
    EXPECT_FALSE(combo->SelectItem(255));
    EXPECT_FALSE(combo->SelectItem(-2));
    EXPECT_EQ(-1, combo->GetCurSel());
    combo->SelectItem(2);
    Pump(20);
    EXPECT_EQ(QStringList{"itemselect"}, notes) << "only a real choice is told";
    gallery.DestroyWindow();
}

TEST_F(ToolkitControls, PickersGetAndSetASystemTime)
{
    CDateTimeUI date(CDateTimeUI::DateOnly);
    SYSTEMTIME t;
    t.wYear = 2016;
    t.wMonth = 3;
    t.wDay = 9;
    t.wHour = 14;
    t.wMinute = 5;
    t.wSecond = 7;
    date.SetTime(&t);
    const SYSTEMTIME& read = date.GetTime();
    EXPECT_EQ(2016, read.wYear);
    EXPECT_EQ(3, read.wMonth);
    EXPECT_EQ(9, read.wDay);
    EXPECT_EQ(3, read.wDayOfWeek);  // a Wednesday
    EXPECT_EQ(QString("2016-03-09"), date.GetText());
    SYSTEMTIME bad = t;
    bad.wMonth = 13;
    date.SetTime(&bad);  // refused, the value stays
    EXPECT_EQ(3, date.GetTime().wMonth);
}

TEST_F(ToolkitControls, WndUIHostsALiveNativeWidgetOnly)
{
    auto* hostControl = new CWndUI;  // dies with its widget
    CWndUI& host = *hostControl;
    EXPECT_FALSE(host.Attach(reinterpret_cast<HWND>(0x1)));
    EXPECT_EQ(nullptr, host.GetHostedWindow());
    auto* native = new NativeWidget;
    ASSERT_TRUE(host.Attach(native->GetHWND()));
    host.GetWidget()->show();
    host.GetWidget()->resize(200, 100);
    EXPECT_EQ(QSize(200, 100), native->size());
    RECT rc;
    rc.left = 0;
    rc.top = 0;
    rc.right = 120;
    rc.bottom = 80;
    host.SetPos(rc);
    EXPECT_EQ(QSize(120, 80), native->size());
    host.SetInternVisible(false);
    EXPECT_TRUE(native->isHidden());
    delete host.GetWidget();  // the host goes away...
    EXPECT_EQ(nullptr, native->parentWidget());  // ...and hands the widget back to its owner
    delete native;
}

TEST_F(ToolkitControls, ItemTemplatesBuildTreeNodesAndRows)
{
    const char* treeItem = R"(<ui version="4.0"><widget class="TreeNodeUI" name="rightnode">
      <property name="text" stdset="0"><string>视频</string></property>
      <property name="userdata" stdset="0"><string>2016031505</string></property>
      <widget class="TreeNodeUI" name="child"><property name="text" stdset="0"><string>回放</string></property></widget>
      </widget></ui>)";
    CDialogBuilder builder;
    auto* node = dynamic_cast<CTreeNodeUI*>(builder.Create(treeItem, QString(), window.get(), window->GetPaintManager()));
    ASSERT_NE(nullptr, node);
    EXPECT_EQ(QString("视频"), node->GetItemText());
    EXPECT_EQ(QString("2016031505"), node->GetUserData());
    EXPECT_EQ(QString("rightnode"), node->GetName());
    ASSERT_EQ(1, node->GetCountChild());
    EXPECT_EQ(QString("回放"), node->GetChildNode(0)->GetItemText());
    EXPECT_TRUE(tree->Add(node));

    auto* row = dynamic_cast<CListLabelElementUI*>(builder.Create(
        R"(<ui version="4.0"><widget class="ListLabelElementUI" name="loglistitem"><property name="text" stdset="0"><string>{x 4}最近观看</string></property></widget></ui>)"));
    ASSERT_NE(nullptr, row);
    EXPECT_TRUE(list->Add(row));
    EXPECT_EQ(QString("{x 4}最近观看"), list->GetItemAt(0)->GetText());
}

TEST_F(ToolkitControls, EventHandlersSeeTheLeftButtonGoDownAndUpBeforeTheControl)
{
    CControlUI* button = window->FindControl("menubtn");
    ASSERT_NE(nullptr, button);
    std::vector<int> seen;
    bool passOn = true;
    button->AddEventHandler([&](TEventUI& event) {
        EXPECT_EQ(button, event.pSender);
        seen.push_back(event.Type);
        return passOn;
    });
    // A release away from the button still reaches it; a right click is not for the handlers.
    Press(button);
    Release(button, QPoint(400, 300));
    Click(button, Qt::RightButton);
    EXPECT_EQ((std::vector<int>{UIEVENT_BUTTONDOWN, UIEVENT_BUTTONUP}), seen);
    EXPECT_FALSE(window->notifications.contains("click:menubtn")) << "released elsewhere: no click";

    Click(button);
    EXPECT_EQ(4u, seen.size());
    EXPECT_TRUE(window->notifications.contains("click:menubtn")) << "passed on: the button still clicks";

    // A handler that consumes the events keeps them from the button.
    window->notifications.clear();
    passOn = false;
    Click(button);
    EXPECT_EQ(6u, seen.size());
    EXPECT_FALSE(window->notifications.contains("click:menubtn"));
}
