#pragma once

// Headless test kit for windows built on the toolkit: an offscreen QApplication, windows from
// layouts, finding and driving controls, recording message boxes without blocking, screenshots.
// Link `kelvue_ui_testkit`. Everything runs on the test's (UI) thread.

#include "ui/UIlib.h"

#include <QApplication>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>
#include <vector>

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace uitest {

// Creates the application once (offscreen unless QT_QPA_PLATFORM says otherwise) and points the
// resource path at the build's skin folder. Call from SetUpTestSuite or each test.
void EnsureApp();

// The build's skin folder and the folder of the test layouts (tests/ui/layouts in the sources).
QString SkinDir();
QString TestLayoutDir();

// Records every ShowMsgTip while alive, instead of showing a modal box.
class MsgTipRecorder {
public:
    MsgTipRecorder();
    ~MsgTipRecorder();
    QStringList texts;
    std::vector<HWND> owners;

private:
    MsgTipHook previous_;
};

// A window built from a layout (file name under the skin folder, absolute path, or XML text) that
// records its notifications and can answer custom class names through `create`.
class TestWindow : public WindowImplBase {
public:
    explicit TestWindow(QString layout, QString className = QStringLiteral("TestWnd"));
    QString GetWindowClassName() const override { return className_; }
    void Notify(TNotifyUI& msg) override;
    CControlUI* CreateControl(const CDuiString& pstrClass) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    // Creates the native window (not shown) and returns its handle.
    HWND Build(HWND owner = nullptr);

    std::function<CControlUI*(const QString&)> create;
    std::function<void(TNotifyUI&)> onNotify;
    std::function<void()> onInit;
    // "type:sender" of every notification, in order.
    QStringList notifications;
    // Custom messages received (message, wParam, lParam).
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Message> messages;
    int finalMessages = 0;

protected:
    CDuiString GetSkinFile() override { return layout_; }
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;

private:
    QString layout_;
    QString className_;
};

template <typename T>
T* Find(WindowImplBase& window, const QString& name)
{
    return dynamic_cast<T*>(window.FindControl(name));
}

// The visible top-level window of type T (null when none is shown).
template <typename T>
T* ShownWindow()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* window = dynamic_cast<T*>(CWindowWnd::FromWidget(top)); window && top->isVisible())
            return window;
    return nullptr;
}

// Input, as a user gives it (Qt events through the whole toolkit path).
void Click(CControlUI* control, Qt::MouseButton button = Qt::LeftButton);
void DoubleClick(CControlUI* control);
// The left button held down on the control's centre, and let go at `offset` from it (a release
// reaches the control that saw the press, wherever the pointer went).
void Press(CControlUI* control);
void Release(CControlUI* control, QPoint offset = {});
void Type(CControlUI* control, const QString& text);
void PressKey(CWindowWnd& window, Qt::Key key);
void ClickRow(CListUI* list, int index, Qt::MouseButton button = Qt::LeftButton);
void DoubleClickRow(CListUI* list, int index);
void ClickNodeCheck(CTreeViewUI* tree, CTreeNodeUI* node);
// A click on the check box of a checkable list row.
void ClickRowCheck(CListUI* list, int index);
void ChooseComboItem(CComboUI* combo, int index);

// Runs the event loop a while / until `done` (at most `timeoutMs`).
void Pump(int ms = 0);
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);
// Notes whether `happened` held before any event the application delivered while it lives. A state
// that lasts only within one pass of the event loop (a cell stopped, then restarted by a reply that
// was already queued) is caught too; PumpUntil, which looks between passes, can miss it.
class StateWatch : public QObject {
public:
    explicit StateWatch(std::function<bool()> happened);
    ~StateWatch() override;
    bool Seen() const { return seen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> happened_;
    bool seen_ = false;
};

// Shows the window modally with `inside` queued to run in its loop; returns ShowModal's result.
UINT RunModal(CWindowWnd& window, const std::function<void()>& inside);

// The window as drawn (shown first if needed), and saved to a PNG file.
QImage Grab(CWindowWnd& window);
bool SaveScreenshot(CWindowWnd& window, const QString& path);
// The primary screen as the user sees it: every visible top-level window drawn at its place (those
// that stay on top, then drop-downs and popups, last), saved to a PNG file.
bool SaveScreen(const QString& path);

// Names of the visible controls a user works with (buttons, options, edits, combos, sliders) that do
// not lie wholly inside the window and each widget they sit in (scrolled content excepted).
QStringList ClippedControls(CWindowWnd& window);

}  // namespace uitest
