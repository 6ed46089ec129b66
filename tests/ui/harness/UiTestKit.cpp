#include "UiTestKit.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QStyleOption>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>
#include <vector>

// Leak checking (AddressSanitizer builds): fontconfig keeps its caches until the process ends, which
// LeakSanitizer reports for every test that draws text; so does libdbus under X. Nothing of ours is
// suppressed.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}

namespace uitest {

void EnsureApp()
{
    if (QApplication::instance() == nullptr) {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr)
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
            const QString runtime = QDir::tempPath() + "/kelvue-ui-tests-" + QString::number(getuid());
            QDir().mkpath(runtime);
            QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            setenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData(), 1);
        }
        static int argc = 1;
        static char name[] = "kelvue_ui_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    CPaintManagerUI::SetResourcePath(SkinDir());
    ResetQuit();
}

QString SkinDir()
{
    return QStringLiteral(KELVUE_TEST_SKIN_DIR);
}

QString TestLayoutDir()
{
    return QStringLiteral(KELVUE_TEST_LAYOUT_DIR);
}

MsgTipRecorder::MsgTipRecorder()
{
    previous_ = SetMsgTipHook([this](HWND owner, const QString& text) {
        texts.append(text);
        owners.push_back(owner);
        return true;
    });
}

MsgTipRecorder::~MsgTipRecorder()
{
    SetMsgTipHook(std::move(previous_));
}

TestWindow::TestWindow(QString layout, QString className)
    : layout_(std::move(layout))
    , className_(std::move(className))
{
}

HWND TestWindow::Build(HWND owner)
{
    return Create(owner, className_, UI_WNDSTYLE_FRAME & ~WS_VISIBLE, WS_EX_WINDOWEDGE);
}

void TestWindow::InitWindow()
{
    if (onInit)
        onInit();
}

void TestWindow::Notify(TNotifyUI& msg)
{
    notifications.append(msg.sType + ":" + (msg.pSender ? msg.pSender->GetName() : QString()));
    if (onNotify)
        onNotify(msg);
    WindowImplBase::Notify(msg);
}

CControlUI* TestWindow::CreateControl(const CDuiString& pstrClass)
{
    return create ? create(pstrClass) : nullptr;
}

LRESULT TestWindow::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (uMsg >= WM_USER)
        messages.push_back({uMsg, wParam, lParam});
    bHandled = FALSE;
    return 0;
}

void TestWindow::OnFinalMessage(HWND hWnd)
{
    ++finalMessages;
    WindowImplBase::OnFinalMessage(hWnd);
}

namespace {

QWidget* Target(CControlUI* control)
{
    return control ? control->GetWidget() : nullptr;
}

void EnsureShown(QWidget* widget)
{
    if (widget && !widget->window()->isVisible()) {
        widget->window()->show();
        Pump();
    }
}

}  // namespace

void Click(CControlUI* control, Qt::MouseButton button)
{
    QWidget* widget = Target(control);
    if (widget == nullptr)
        return;
    EnsureShown(widget);
    // Check boxes and radio buttons react on their indicator (and text), not anywhere in the widget.
    const bool indicator = qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget);
    const QPoint at = indicator ? QPoint(8, widget->height() / 2) : widget->rect().center();
    QTest::mouseClick(widget, button, {}, at);
}

void Press(CControlUI* control)
{
    QWidget* widget = Target(control);
    if (widget == nullptr)
        return;
    EnsureShown(widget);
    QTest::mousePress(widget, Qt::LeftButton, {}, widget->rect().center());
}

void Release(CControlUI* control, QPoint offset)
{
    QWidget* widget = Target(control);
    if (widget == nullptr)
        return;
    QTest::mouseRelease(widget, Qt::LeftButton, {}, widget->rect().center() + offset);
}

void DoubleClick(CControlUI* control)
{
    QWidget* widget = Target(control);
    if (widget == nullptr)
        return;
    EnsureShown(widget);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void Type(CControlUI* control, const QString& text)
{
    QWidget* widget = Target(control);
    if (widget == nullptr)
        return;
    EnsureShown(widget);
    widget->setFocus();
    QTest::keyClicks(widget, text);
}

void PressKey(CWindowWnd& window, Qt::Key key)
{
    QWidget* widget = window.GetWidget();
    if (widget == nullptr)
        return;
    EnsureShown(widget);
    QWidget* focus = widget->focusWidget() ? widget->focusWidget() : widget;
    QTest::keyClick(focus, key);
}

namespace {

QPoint RowCenter(QAbstractItemView* view, const QModelIndex& index)
{
    view->scrollTo(index);
    return view->visualRect(index).center();
}

}  // namespace

void ClickRow(CListUI* list, int index, Qt::MouseButton button)
{
    EnsureShown(list->GetWidget());
    auto* view = static_cast<QAbstractItemView*>(list->GetWidget());
    QTest::mouseClick(view->viewport(), button, {}, RowCenter(view, view->model()->index(index, 0)));
}

void DoubleClickRow(CListUI* list, int index)
{
    EnsureShown(list->GetWidget());
    auto* view = static_cast<QAbstractItemView*>(list->GetWidget());
    const QPoint at = RowCenter(view, view->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

void ClickRowCheck(CListUI* list, int index)
{
    EnsureShown(list->GetWidget());
    auto* view = static_cast<QAbstractItemView*>(list->GetWidget());
    const QModelIndex cell = view->model()->index(index, 0);
    view->scrollTo(cell);
    QStyleOptionViewItem box;
    box.initFrom(view->viewport());
    box.rect = view->visualRect(cell);
    box.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect area = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &box, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, area.center());
}

void ClickNodeCheck(CTreeViewUI* tree, CTreeNodeUI* node)
{
    // A click on the box toggles it like a user does; the item's check state is what the box shows.
    QTreeWidget* widget = tree->Tree();
    EnsureShown(widget);
    QTreeWidgetItem* item = node->Item();
    const Qt::CheckState next = item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked;
    item->setCheckState(0, next);
}

void ChooseComboItem(CComboUI* combo, int index)
{
    auto* box = qobject_cast<QComboBox*>(combo->GetWidget());
    EnsureShown(box);
    box->setCurrentIndex(index);  // what choosing in the drop-down does
}

void Pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } while (clock.elapsed() < ms);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

StateWatch::StateWatch(std::function<bool()> happened) : happened_(std::move(happened))
{
    seen_ = happened_();
    QCoreApplication::instance()->installEventFilter(this);
}

StateWatch::~StateWatch()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool StateWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (!seen_)
        seen_ = happened_();
    return QObject::eventFilter(watched, event);
}

UINT RunModal(CWindowWnd& window, const std::function<void()>& inside)
{
    QTimer::singleShot(0, inside);
    return window.ShowModal();
}

QImage Grab(CWindowWnd& window)
{
    QWidget* widget = window.GetWidget();
    if (widget == nullptr)
        return {};
    EnsureShown(widget);
    Pump(20);
    return widget->grab().toImage();
}

bool SaveScreenshot(CWindowWnd& window, const QString& path)
{
    QImage image = Grab(window);
    QDir().mkpath(QFileInfo(path).path());
    return !image.isNull() && image.save(path);
}

bool SaveScreen(const QString& path)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return false;
    Pump(20);
    QImage image(screen->geometry().size(), QImage::Format_RGB32);
    image.fill(QColor(40, 44, 52));
    QPainter painter(&image);
    std::vector<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            windows.push_back(w);
    // Normal windows first, then the ones that stay on top, then drop-downs and popups.
    auto layer = [](const QWidget* w) {
        return w->windowType() == Qt::Popup ? 2 : (w->windowFlags() & Qt::WindowStaysOnTopHint) ? 1 : 0;
    };
    std::stable_sort(windows.begin(), windows.end(), [&](const QWidget* a, const QWidget* b) { return layer(a) < layer(b); });
    for (QWidget* w : windows)
        painter.drawPixmap(w->geometry().topLeft() - screen->geometry().topLeft(), w->grab());
    painter.end();
    QDir().mkpath(QFileInfo(path).path());
    return image.save(path);
}

QStringList ClippedControls(CWindowWnd& window)
{
    QStringList clipped;
    QWidget* top = window.GetWidget();
    if (top == nullptr)
        return clipped;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        const bool used = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                          qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSlider*>(w);
        if (!used || w->objectName().isEmpty() || w->objectName().startsWith("qt_") || !w->isVisibleTo(top))
            continue;
        bool inside = true;
        QRect r = w->rect();
        for (QWidget* child = w; child != top && inside; child = child->parentWidget()) {
            QWidget* parent = child->parentWidget();
            r.moveTopLeft(child->mapToParent(r.topLeft()));
            // Content of a scroll area is reached by scrolling.
            if (qobject_cast<QAbstractScrollArea*>(parent ? parent->parentWidget() : nullptr) != nullptr)
                break;
            inside = parent != nullptr && parent->rect().contains(r);
        }
        if (!inside)
            clipped << w->objectName();
    }
    return clipped;
}

}  // namespace uitest
