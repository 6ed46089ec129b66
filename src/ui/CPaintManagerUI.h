#pragma once

#include "ui/UIDefs.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>

class CControlUI;
class CWindowWnd;
class QButtonGroup;
class QTimer;
class QWidget;

// The per-window part of the toolkit: the window's controls, notifications, control timers and the
// window-level values of its layout. Also holds the process-wide program and resource folders.
// UI thread only.
class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();

    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // Program folder (of the running executable, ending in '/') and the skin folder every layout and
    // image is read from. SetResourcePath accepts a relative path (taken from the program folder).
    static void SetInstance(void* instance);
    static QString GetInstancePath();
    static void SetResourcePath(const QString& path);
    static QString GetResourcePath();
    // Absolute path of a skin file: the resource path joined with `relative` ('\' counts as '/').
    static QString GetResourceFile(const QString& relative);
    // Runs the UI thread's events until a quit message (WM_QUIT / PostQuitMessage) arrives.
    static void MessageLoop();

    void Init(CWindowWnd* window);
    CWindowWnd* GetWindow() const { return window_; }
    HWND GetPaintWindow() const;
    // The root of the window's layout (null before the layout is attached).
    void AttachDialog(CControlUI* root);
    CControlUI* GetRoot() const { return root_; }
    QWidget* GetRootWidget() const;

    // By name: the first control of that name in the layout (null when absent). Controls that code
    // created and added (menu items, list rows) are found as well when they have a widget.
    CControlUI* FindControl(const QString& name) const;
    // The innermost control at a point of the window's client area.
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* parent, const QString& name) const;
    template <typename T>
    T* FindControlAs(const QString& name) const { return dynamic_cast<T*>(FindControl(name)); }

    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    void AddPreMessageFilter(IMessageFilterUI* filter);
    void RemovePreMessageFilter(IMessageFilterUI* filter);
    // Runs the pre-message filters; true when one of them handled the message.
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The toolkit's own handling of a window message (control timers); true when it was consumed.
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void SendNotify(CControlUI* sender, const QString& type, WPARAM wParam = 0, LPARAM lParam = 0, bool async = false);
    void SendNotify(CControlUI* sender, const QString& type, WPARAM wParam, LPARAM lParam, POINT ptMouse,
                    bool async = false);
    void SendNotify(TNotifyUI& msg, bool async = false);

    // Control timers: UIEVENT_TIMER reaches the control's DoEvent with wParam = id. The window sees a
    // WM_TIMER first (with a toolkit-chosen id) and passes it on to the toolkit's handling.
    bool SetTimer(CControlUI* control, UINT id, UINT elapseMs);
    bool KillTimer(CControlUI* control, UINT id);
    void KillTimer(CControlUI* control);
    void RemoveControl(CControlUI* control);  // forget a control that is going away (its timers)

    // Window-level values of the layout: dynamic properties of its top widget ("caption" = "l,t,r,b",
    // "roundcorner" = "cx,cy", "sizebox", "mininfo", ...). Missing values read as zero.
    RECT GetCaptionRect() const;
    SIZE GetRoundCorner() const;
    SIZE GetInitSize() const;
    QString GetWindowAttribute(const QString& name) const;

    // The exclusive group of options named `group` in this window (created on first use).
    QButtonGroup* GetOptionGroup(const QString& group);
    // Context object of every connection the toolkit makes for this window's controls: they end
    // with the manager, never outliving it.
    QObject* Hub() const { return hub_.get(); }
    // Mouse point (client coordinates) of the input event being handled.
    POINT GetMousePos() const { return mousePos_; }
    void SetMousePos(POINT pt) { mousePos_ = pt; }

private:
    struct ControlTimer {
        CControlUI* control;
        UINT id;
        QTimer* timer;
    };
    CWindowWnd* window_ = nullptr;
    CControlUI* root_ = nullptr;
    QPointer<QWidget> rootWidget_;
    std::unique_ptr<QObject> hub_;
    QList<INotifyUI*> notifiers_;
    QList<IMessageFilterUI*> preFilters_;
    std::map<WPARAM, ControlTimer> timers_;  // by the WM_TIMER id the window sees
    WPARAM nextTimerId_ = 0xF000;
    QHash<QString, QButtonGroup*> groups_;
    POINT mousePos_;
};
