// Windows built from layouts: loading, notifications, messages, modal loops, quit, message boxes.

#include "UiTestKit.h"

#include "ui/AfterFirstPaint.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace uitest;

namespace {

class ToolkitWindow : public ::testing::Test {
protected:
    void SetUp() override { EnsureApp(); }
    void TearDown() override
    {
        ResetQuit();
        Pump();
    }

    // The gallery with its custom tags answered the way the main window answers its own.
    std::unique_ptr<TestWindow> Gallery()
    {
        auto window = std::make_unique<TestWindow>(TestLayoutDir() + "/gallery.xml");
        TestWindow* w = window.get();
        window->create = [w](const QString& cls) -> CControlUI* {
            asked.append(cls);
            if (cls == "MonitorLis")
                return new CListUI;
            if (cls == "Dialog") {
                auto* host = new CWndUI;
                hosted = new NativeWidget;
                host->Attach(hosted->GetHWND());
                return host;
            }
            if (cls == "skinBottom") {
                CDialogBuilder builder;
                return builder.Create(TestLayoutDir() + "/bottom.xml", QString(), w, w->GetPaintManager());
            }
            return nullptr;
        };
        return window;
    }
    static inline QStringList asked;
    static inline NativeWidget* hosted = nullptr;
};

const char* kSmallLayout = R"(<ui version="4.0"><widget class="QWidget" name="root">
  <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>160</height></rect></property>
  <property name="caption" stdset="0"><string>0,0,0,30</string></property>
  <layout class="QVBoxLayout" name="l">
   <item><widget class="QLabel" name="contentLabel"><property name="text"><string>标题</string></property></widget></item>
   <item><widget class="QPushButton" name="okbtn"><property name="text"><string>OK</string></property></widget></item>
   <item><widget class="QPushButton" name="closebtn"><property name="text"><string>X</string></property></widget></item>
   <item><widget class="QLineEdit" name="edit"/></item>
  </layout></widget></ui>)";

}  // namespace

TEST_F(ToolkitWindow, LayoutGivesNamedControlsCustomWidgetsAndWindowValues)
{
    asked.clear();
    auto window = Gallery();
    ASSERT_NE(nullptr, window->Build());
    CPaintManagerUI* pm = window->GetPaintManager();

    // Named controls of every kind, each wrapped in its class.
    EXPECT_NE(nullptr, Find<CButtonUI>(*window, "ButtonLogin"));
    EXPECT_NE(nullptr, Find<COptionUI>(*window, "List"));
    EXPECT_NE(nullptr, Find<CCheckBoxUI>(*window, "chbAutoLog"));
    EXPECT_NE(nullptr, Find<CEditUI>(*window, "EditPassword"));
    EXPECT_NE(nullptr, Find<CComboUI>(*window, "IDC_COMBO_POINT"));
    EXPECT_NE(nullptr, Find<CSliderUI>(*window, "IDC_SLIDSPEED"));
    EXPECT_NE(nullptr, Find<CTabLayoutUI>(*window, "skinTab_switch"));
    EXPECT_NE(nullptr, Find<CTreeViewUI>(*window, "righttree"));
    EXPECT_NE(nullptr, Find<CDateTimeUI>(*window, "IDC_DATE"));
    EXPECT_EQ(QString("TextUI"), window->FindControl("IDC_LAB_USERNAME")->GetClass());
    EXPECT_EQ(nullptr, window->FindControl("no_such_control"));

    // Custom tags were asked of the window, and what it answered stands in the layout.
    EXPECT_TRUE(asked.contains("MonitorLis"));
    EXPECT_TRUE(asked.contains("Dialog"));
    EXPECT_TRUE(asked.contains("skinBottom"));
    auto* list = Find<CListUI>(*window, "gamelist");
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(list->IsShowHtml());  // attribute of the layout applied to the window's own control
    EXPECT_TRUE(list->IsContextMenuUsed());
    EXPECT_NE(nullptr, window->FindControl("IDC_LAB_LOAGINDATE"));  // from the included sub-layout
    EXPECT_EQ(window->GetWidget(), hosted->window());               // hosted native widget

    // Window-level values of the layout.
    EXPECT_EQ(34, pm->GetCaptionRect().bottom);
    EXPECT_EQ(8, pm->GetRoundCorner().cx);
    EXPECT_EQ(QSize(760, 560), window->GetWidget()->size());
    EXPECT_EQ(QSize(600, 400), window->GetWidget()->minimumSize());

    // Attributes of the layout: user data, option group, visibility, enabled state.
    EXPECT_EQ(QString("pages"), Find<COptionUI>(*window, "Control")->GetGroup());
    EXPECT_FALSE(window->FindControl("restorebtn")->IsVisible());
    EXPECT_FALSE(window->FindControl("IDC_BTNSAVE")->IsEnabled());
    CControlUI* save = window->FindControl("IDC_BTNSAVE");
    save->SetTag(42);
    save->SetUserData("payload");
    EXPECT_EQ(42u, save->GetTag());
    EXPECT_EQ(QString("payload"), save->GetUserData());
    EXPECT_EQ(QString("登录到服务器"), window->FindControl("ButtonLogin")->GetToolTip());
    window->DestroyWindow();
    delete hosted;  // the window handed it back: its owner destroys it
}

TEST_F(ToolkitWindow, UnreadableLayoutLeavesAnEmptyWindow)
{
    TestWindow window("no-such-layout.xml");
    ASSERT_NE(nullptr, window.Build());
    EXPECT_EQ(nullptr, window.FindControl("closebtn"));
    window.DestroyWindow();
}

TEST_F(ToolkitWindow, NotificationsArriveInOrderWithTheirSenders)
{
    auto window = Gallery();
    window->Build();
    window->ShowWindow();
    Pump();
    window->notifications.clear();

    Click(window->FindControl("ButtonLogin"));
    Click(window->FindControl("Control"));  // option: click, then the group's select changes
    Type(window->FindControl("EditAccount"), "13");
    Find<CComboUI>(*window, "IDC_COMBO_POINT")->Add([] {
        auto* e = new CListLabelElementUI;
        e->SetAttribute("text", "1");
        return e;
    }());
    ChooseComboItem(Find<CComboUI>(*window, "IDC_COMBO_POINT"), 0);
    Find<CSliderUI>(*window, "IDC_SLIDSPEED")->SetValue(40);
    Click(window->FindControl("IDC_BTNSAVE"));  // disabled: nothing

    const QStringList expected = {"windowinit:gallery",  "click:ButtonLogin",     "click:Control",
                                  "selectchanged:List",  "selectchanged:Control", "textchanged:EditAccount",
                                  "textchanged:EditAccount", "itemselect:IDC_COMBO_POINT", "valuechanged:IDC_SLIDSPEED"};
    QStringList seen = window->notifications;
    seen.removeAll("tabselect:skinTab_switch");
    // "windowinit" came when the window was first shown, before the cleared list: put it back.
    seen.prepend("windowinit:gallery");
    EXPECT_EQ(expected, seen);
    EXPECT_EQ(1, Find<COptionUI>(*window, "Control")->IsSelected());
    window->DestroyWindow();
    delete hosted;
}

TEST_F(ToolkitWindow, OptionClickReportsTheStateBeforeTheToggle)
{
    auto window = Gallery();
    window->Build();
    auto* box = Find<CCheckBoxUI>(*window, "IDC_CHECK_PASSWORD");
    bool stateAtClick = true;
    window->onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == "click" && msg.pSender == box)
            stateAtClick = box->GetCheck();
    };
    Click(box);
    EXPECT_FALSE(stateAtClick);
    EXPECT_TRUE(box->GetCheck());
    window->DestroyWindow();
    delete hosted;
}

TEST_F(ToolkitWindow, CloseButtonEscapeAndEnterFollowTheDefaults)
{
    struct Case {
        const char* name;
        std::function<void(TestWindow&)> act;
        bool closes;
        UINT result;
    };
    const Case cases[] = {
        {"closebtn", [](TestWindow& w) { Click(w.FindControl("closebtn")); }, true, IDOK},
        {"Escape", [](TestWindow& w) { PressKey(w, Qt::Key_Escape); }, true, IDOK},
        {"Close(7)", [](TestWindow& w) { w.Close(7); }, true, 7},
        {"system close", [](TestWindow& w) { w.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }, true, 0},
        {"Enter", [](TestWindow& w) { PressKey(w, Qt::Key_Return); }, false, 0},
        {"other button", [](TestWindow& w) { Click(w.FindControl("okbtn")); }, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow window(kSmallLayout);
        window.Build();
        bool stillOpen = false;
        const UINT result = RunModal(window, [&] {
            c.act(window);
            Pump(30);
            stillOpen = IsWindow(window.GetHWND());
            if (stillOpen)
                window.Close(99);
        });
        EXPECT_EQ(!c.closes, stillOpen);
        EXPECT_EQ(c.closes ? c.result : 99u, result);
        EXPECT_EQ(1, window.finalMessages);
        EXPECT_FALSE(IsWindow(window.GetHWND()));
    }
}

TEST_F(ToolkitWindow, NestedModalLoopsReturnTheirOwnCodes)
{
    TestWindow outer(kSmallLayout, "Outer");
    outer.Build();
    UINT innerResult = 0;
    const UINT outerResult = RunModal(outer, [&] {
        TestWindow inner(kSmallLayout, "Inner");
        inner.Build(outer.GetHWND());
        innerResult = RunModal(inner, [&] {
            EXPECT_TRUE(IsWindow(outer.GetHWND()));
            inner.Close(3);
        });
        EXPECT_TRUE(IsWindow(outer.GetHWND()));  // only the inner window closed
        outer.Close(5);
    });
    EXPECT_EQ(3u, innerResult);
    EXPECT_EQ(5u, outerResult);
}

TEST_F(ToolkitWindow, QuitEndsEveryModalLoopAndStaysPending)
{
    TestWindow outer(kSmallLayout, "Outer");
    outer.Build();
    UINT innerResult = 77;
    bool outerEnded = false;
    const UINT outerResult = RunModal(outer, [&] {
        TestWindow inner(kSmallLayout, "Inner");
        inner.Build(outer.GetHWND());
        innerResult = RunModal(inner, [&] { PostMessage(inner.GetHWND(), WM_QUIT, 4, 0); });
        EXPECT_TRUE(IsWindow(inner.GetHWND()));  // a quit ends the loop, not the window
        inner.DestroyWindow();
        outerEnded = true;
    });
    EXPECT_TRUE(outerEnded);
    EXPECT_EQ(0u, innerResult);
    EXPECT_EQ(0u, outerResult);  // the quit was passed on to the outer loop
    EXPECT_TRUE(IsQuitPending());
    EXPECT_EQ(4, GetQuitCode());
    EXPECT_EQ(0u, outer.ShowModal());  // and a later loop returns at once
    outer.DestroyWindow();
}

TEST_F(ToolkitWindow, MessageBoxShowsItsTextClosesWithOneAndCanBeRecorded)
{
    TestWindow owner(kSmallLayout);
    owner.Build();
    // The real box: its label carries the text; Escape closes it; Enter does not.
    bool sawText = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "MsgTipWnd" && w->isVisible())
                box = w;
        ASSERT_NE(nullptr, box);
        auto* label = box->findChild<QLabel*>("contentLabel");
        sawText = label && label->text() == "截图失败";
        QTest::keyClick(box, Qt::Key_Return);
        Pump(20);
        EXPECT_TRUE(box->isVisible());
        QTest::keyClick(box, Qt::Key_Escape);
    });
    ShowMsgTip(owner.GetHWND(), "截图失败");
    EXPECT_TRUE(sawText);

    MsgTipRecorder recorder;
    ShowMsgTip(owner.GetHWND(), "请先选定摄像头");
    EXPECT_EQ(QStringList{"请先选定摄像头"}, recorder.texts);
    EXPECT_EQ(owner.GetHWND(), recorder.owners.at(0));
    owner.DestroyWindow();
}

TEST_F(ToolkitWindow, MessageBoxClosesOnlyItselfAndNestedBoxesAreIndependent)
{
    TestWindow owner(kSmallLayout);
    owner.Build();
    // The system close command (Alt+F4) closes the box with 1; the owner goes on.
    CMsgTipWnd box("设备不在线");
    box.Create(owner.GetHWND(), "MsgTipWnd", UI_WNDSTYLE_FRAME, WS_EX_WINDOWEDGE);
    EXPECT_EQ(QString("设备不在线"), box.FindControl("contentLabel")->GetText());
    EXPECT_EQ(1u, RunModal(box, [&] {
        EXPECT_EQ(Qt::WindowModal, box.GetWidget()->windowModality());  // its owner takes no input meanwhile
        EXPECT_TRUE(box.GetWidget()->isVisible());
        box.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    }));
    EXPECT_TRUE(IsWindow(owner.GetHWND()));
    EXPECT_FALSE(IsQuitPending());

    // A box opened from inside another box's loop: closing the inner one leaves the outer one open.
    auto visibleBoxes = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == "MsgTipWnd" && w->isVisible();
        return n;
    };
    int boxesWhileNested = 0, boxesAfterInner = 0;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            boxesWhileNested = visibleBoxes();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* label = w->findChild<QLabel*>("contentLabel"); label && label->text() == "第二个" && w->isVisible())
                    QTest::keyClick(w, Qt::Key_Escape);
        });
        ShowMsgTip(owner.GetHWND(), "第二个");
        Pump(10);
        boxesAfterInner = visibleBoxes();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "MsgTipWnd" && w->isVisible())
                QTest::keyClick(w, Qt::Key_Escape);
    });
    ShowMsgTip(owner.GetHWND(), "第一个");
    EXPECT_EQ(2, boxesWhileNested);
    EXPECT_EQ(1, boxesAfterInner);
    EXPECT_EQ(0, visibleBoxes());
    owner.DestroyWindow();
}

TEST_F(ToolkitWindow, SystemCommandsSwapTheMaximiseAndRestoreButtons)
{
    auto window = Gallery();
    window->Build();
    window->ShowWindow();
    Click(window->FindControl("maxbtn"));
    EXPECT_TRUE(window->IsZoomed());
    EXPECT_FALSE(window->FindControl("maxbtn")->IsVisible());
    EXPECT_TRUE(window->FindControl("restorebtn")->IsVisible());
    Click(window->FindControl("restorebtn"));
    EXPECT_FALSE(window->IsZoomed());
    EXPECT_TRUE(window->FindControl("maxbtn")->IsVisible());
    EXPECT_FALSE(window->FindControl("restorebtn")->IsVisible());
    window->DestroyWindow();
    delete hosted;
}

TEST_F(ToolkitWindow, CaptionRectangleDragsExceptOverButtons)
{
    auto window = Gallery();
    window->Build();
    window->ShowWindow();
    Pump();
    QWidget* w = window->GetWidget();
    auto hit = [&](QPoint local) {
        const QPoint g = w->mapToGlobal(local);
        return window->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(g.x(), g.y()));
    };
    EXPECT_EQ(HTCAPTION, hit(QPoint(300, 15)));  // empty caption area
    const QWidget* close = window->FindControl("closebtn")->GetWidget();
    EXPECT_EQ(HTCLIENT, hit(close->mapTo(w, close->rect().center())));
    EXPECT_EQ(HTCLIENT, hit(QPoint(300, 200)));  // below the caption
    EXPECT_FALSE(w->mask().isEmpty());            // round corners shape the window
    EXPECT_FALSE(w->mask().contains(QPoint(0, 0)));
    window->DestroyWindow();
    delete hosted;
}

TEST_F(ToolkitWindow, ControlTimersReachTheControl)
{
    struct TickingControl : CControlUI {
        TickingControl() : CControlUI(new QWidget) {}
        void DoEvent(TEventUI& e) override
        {
            if (e.Type == UIEVENT_TIMER)
                ticks.push_back(e.wParam);
        }
        std::vector<WPARAM> ticks;
    };
    TestWindow window(kSmallLayout);
    window.Build();
    auto* control = new TickingControl;
    control->SetManager(window.GetPaintManager(), nullptr);
    control->GetWidget()->setParent(window.GetWidget());
    window.GetPaintManager()->SetTimer(control, 10, 5);
    ASSERT_TRUE(PumpUntil([&] { return control->ticks.size() >= 2; }));
    window.GetPaintManager()->KillTimer(control, 10);
    EXPECT_EQ(10u, control->ticks.front());
    window.DestroyWindow();
}

TEST_F(ToolkitWindow, PostToAClosedWindowIsRefusedSoTheSenderFreesThePayload)
{
    TestWindow window(kSmallLayout);
    HWND hwnd = window.Build();
    EXPECT_TRUE(PostMessage(hwnd, WM_REBUILD_TREE, 0, 0));
    window.Close();
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
    auto* payload = new std::string("40");
    const bool accepted = PostMessage(hwnd, WM_IM_MESSAGE, 0, reinterpret_cast<LPARAM>(payload));
    if (!accepted)
        delete payload;
    EXPECT_FALSE(accepted);
    EXPECT_EQ(1u, window.messages.size());  // the one posted while it was open
    EXPECT_EQ(0, SendMessage(hwnd, WM_USER + 5, 0, 0));
}

TEST_F(ToolkitWindow, InputReachesTheWindowFirstAndCanBeConsumed)
{
    // A window that swallows left presses while "locked" and keys through its message filter, as the
    // main window does for its lock screen and the log-in window for Enter.
    struct Locking : TestWindow {
        using TestWindow::TestWindow;
        LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
        {
            if (uMsg == WM_LBUTTONDOWN) {
                presses.push_back(QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
                if (locked)
                    return 0;  // handled: the control never sees the press
            }
            return TestWindow::HandleMessage(uMsg, wParam, lParam);
        }
        LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override
        {
            if (uMsg == WM_KEYDOWN && wParam == 'X')
                bHandled = true;
            return TestWindow::MessageHandler(uMsg, wParam, lParam, bHandled);
        }
        bool locked = true;
        std::vector<QPoint> presses;
    };
    Locking window(kSmallLayout);
    window.Build();
    window.ShowWindow();
    Pump();
    CControlUI* ok = window.FindControl("okbtn");
    Click(ok);
    EXPECT_FALSE(window.notifications.contains("click:okbtn"));
    ASSERT_EQ(1u, window.presses.size());
    const RECT pos = ok->GetPos();
    const QRect rect(QPoint(pos.left, pos.top), QPoint(pos.right - 1, pos.bottom - 1));
    EXPECT_EQ(rect.center(), window.presses[0]);  // in client coordinates
    window.locked = false;
    POINT clickedAt;
    window.onNotify = [&](TNotifyUI& msg) {
        if (msg.sType == "click")
            clickedAt = msg.ptMouse;
    };
    Click(ok);
    EXPECT_TRUE(window.notifications.contains("click:okbtn"));
    EXPECT_EQ(rect.center(), QPoint(clickedAt.x, clickedAt.y));  // the notification carries the point

    Type(window.FindControl("edit"), "aXb");
    EXPECT_EQ(QString("ab"), window.FindControl("edit")->GetText());
    window.DestroyWindow();
}

TEST_F(ToolkitWindow, ChildWindowsLiveInsideANativeWidgetAndKeepTheirOwnControls)
{
    NativeWidget panel;
    panel.resize(320, 200);
    TestWindow inner(kSmallLayout, "PlayInnerWnd");
    ASSERT_NE(nullptr, inner.Create(panel.GetHWND(), "PlayInnerWnd", UI_WNDSTYLE_CHILD, 0, 2, 2, 316, 196));
    TestWindow toolbar(R"(<ui version="4.0"><widget class="QWidget" name="bar"><layout class="QHBoxLayout" name="l">
        <item><widget class="QPushButton" name="okbtn"/></item></layout></widget></ui>)", "CCPlayToolBarWnd");
    ASSERT_NE(nullptr, toolbar.Create(inner.GetHWND(), "CCPlayToolBarWnd", UI_WNDSTYLE_CHILD, 0));
    EXPECT_EQ(&panel, inner.GetWidget()->parentWidget());
    EXPECT_EQ(QPoint(2, 2), inner.GetWidget()->pos());
    EXPECT_EQ(inner.GetWidget(), toolbar.GetWidget()->parentWidget());
    // Each window finds its own "okbtn", not the one of the window inside it.
    EXPECT_NE(inner.FindControl("okbtn"), toolbar.FindControl("okbtn"));
    EXPECT_EQ(&inner, CWindowWnd::FromWidget(inner.FindControl("okbtn")->GetWidget()));
    EXPECT_EQ(&toolbar, CWindowWnd::FromWidget(toolbar.FindControl("okbtn")->GetWidget()));
    // Destroying the outer window destroys the one inside it too.
    const HWND toolbarHandle = toolbar.GetHWND();
    inner.DestroyWindow();
    Pump(10);
    EXPECT_FALSE(IsWindow(toolbarHandle));
    EXPECT_EQ(1, toolbar.finalMessages);
}

// The skin's theme is the application's style sheet, set once, instead of a sheet of every window's
// own (parsed per window: 128 times for the wall's cells). Windows without a themed parent (a dialog
// of its own, a child window inside a plain widget) are drawn in it all the same.
TEST_F(ToolkitWindow, TheThemeIsSetOnceAndReachesEveryWindow)
{
    TestWindow dialog(kSmallLayout, "ThemeDialog");
    dialog.Build();
    NativeWidget panel;
    panel.resize(320, 200);
    TestWindow inner(kSmallLayout, "PlayInnerWnd");
    ASSERT_NE(nullptr, inner.Create(panel.GetHWND(), "PlayInnerWnd", UI_WNDSTYLE_CHILD, 0, 0, 0, 320, 200));
    const QString theme = CDialogBuilder::ThemeStyleSheet();
    ASSERT_FALSE(theme.isEmpty());
    EXPECT_EQ(theme, qApp->styleSheet());
    EXPECT_TRUE(dialog.GetWidget()->styleSheet().isEmpty());
    EXPECT_TRUE(inner.GetWidget()->styleSheet().isEmpty());
    // Text measured before a widget is polished (a line edit lays out its text as it is built) is
    // measured in the font the theme draws it with: the application's font is the theme's.
    QLineEdit unpolished;
    const QFont themed = dialog.FindControl("okbtn")->GetWidget()->font();
    EXPECT_EQ(themed.families(), unpolished.font().families());
    EXPECT_EQ(themed.pixelSize(), unpolished.font().pixelSize());

    // The theme's button face (#2c3440) inside the button's border, in both windows.
    for (TestWindow* window : {&dialog, &inner}) {
        QWidget* button = window->FindControl("okbtn")->GetWidget();
        window->GetWidget()->resize(320, 200);
        window->ShowWindow(true);
        Pump(20);
        const QImage face = button->grab().toImage();
        EXPECT_EQ(QColor(0x2c, 0x34, 0x40), face.pixelColor(4, face.height() / 2))
            << window->GetWindowClassName().toStdString();
    }
}

// Work put off until a window first paints runs once, after that paint, and never for a window that
// went before painting.
TEST_F(ToolkitWindow, WorkPutOffUntilTheFirstPaintRunsOnceAfterIt)
{
    int runs = 0;
    QWidget window;
    window.resize(120, 80);
    auto* label = new QLabel(QStringLiteral("标题"), &window);
    AfterFirstPaint::Run(&window, [&] { ++runs; });
    Pump(50);
    EXPECT_EQ(runs, 0) << "nothing painted yet";
    window.show();
    ASSERT_TRUE(PumpUntil([&] { return runs > 0; }, 5000));
    label->setText(QStringLiteral("另一个"));
    window.update();
    Pump(100);
    EXPECT_EQ(runs, 1);

    int lostRuns = 0;
    auto* gone = new QWidget;
    AfterFirstPaint::Run(gone, [&] { ++lostRuns; });
    delete gone;
    Pump(50);
    EXPECT_EQ(lostRuns, 0);
}
