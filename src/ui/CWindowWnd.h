#pragma once

#include "ui/MessageTarget.h"
#include "ui/UIDefs.h"

#include <QPointer>

#include <memory>

class QWidget;
class WindowWidget;

// A toolkit window: a Qt widget with a window handle whose messages go through HandleMessage, the
// way a Windows window procedure does. Qt input on the window (mouse, keys), resizing, activation
// and closing become window messages (WM_LBUTTONDOWN, WM_KEYDOWN, WM_SIZE, WM_NCACTIVATE,
// WM_SYSCOMMAND, ...) delivered before Qt hands the input to the control under it; a message that
// reaches CWindowWnd::HandleMessage (the default handling) lets Qt go on with it, a message handled
// earlier is consumed.
//
// Construct, use and delete on the UI thread. The handle exists from Create until the window is
// destroyed (Close, WM_CLOSE reaching the default handling, or the owner going away); then
// OnFinalMessage runs, and may delete the object.
class CWindowWnd : public MessageTarget {
public:
    CWindowWnd();
    ~CWindowWnd() override;

    virtual QString GetWindowClassName() const = 0;
    virtual UINT GetClassStyle() const { return 0; }

    // Creates the native window. hwndParent: the owner (a top-level window stays above it and dies
    // with it) or, with WS_CHILD in `style`, the parent window the new one is placed in. Top-level
    // windows are frameless (layouts draw their own caption); WS_VISIBLE shows the window at once.
    // A size of 0 takes the size of the layout.
    HWND Create(HWND hwndParent, const QString& name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = 0, int cy = 0);
    HWND Create(HWND hwndParent, const QString& name, DWORD style, DWORD exStyle, const RECT& rc);
    void ShowWindow(bool show = true, bool takeFocus = true);
    // Shows the window modally (its owner takes no input meanwhile; without an owner no other window
    // is blocked) and runs a message loop until Close (returns its code) or a quit message (returns 0;
    // the quit stays pending for the enclosing loops). Loops nest.
    UINT ShowModal();
    // Posts WM_CLOSE with the code; when it reaches the default handling the window is destroyed.
    void Close(UINT nRet = IDOK);
    void CenterWindow();
    void SetIcon(UINT resourceId);
    void ResizeClient(int cx = -1, int cy = -1);
    QString GetWindowText() const;
    void SetWindowText(const QString& text);
    bool IsZoomed() const;
    bool IsIconic() const;
    // Destroys the native window now: WM_DESTROY, handle released, modal loop ended, OnFinalMessage.
    void DestroyWindow();

    // Synchronous / posted message to this window (0 / false when it has no handle).
    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

    QWidget* GetWidget() const;
    static CWindowWnd* FromHandle(HWND hwnd);
    // The window a widget belongs to (the innermost toolkit window containing it).
    static CWindowWnd* FromWidget(const QWidget* widget);

    // The window procedure. The default (this class) destroys the window on WM_CLOSE, carries out
    // system commands, answers HTCLIENT to WM_NCHITTEST and lets Qt process input messages.
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Entry of posted and sent messages. WM_QUIT posted to a window ends the modal loops; the record
    // of WM_MENU_COMMAND is freed after it was handled.
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Input from the event router: runs the pre-message filters then HandleMessage; true when the
    // window consumed it (Qt must not process it further).
    bool DispatchInput(UINT uMsg, WPARAM wParam, LPARAM lParam);

protected:
    // A popup window (menus): closes when the user clicks outside it.
    void SetPopup(bool popup) { popup_ = popup; }
    virtual void OnFinalMessage(HWND hWnd);
    // Pre-message filters (keyboard and mouse) of the window; WindowImplBase runs its paint manager's.
    virtual bool PreTranslate(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // First time the window is shown.
    virtual void OnFirstShow() {}

private:
    friend class WindowWidget;
    struct ModalState;
    void OnWidgetShown();
    void OnWidgetDestroyed();
    void FinishDestroy(HWND hwnd);

    QPointer<WindowWidget> widget_;
    std::shared_ptr<ModalState> modal_;
    std::shared_ptr<bool> alive_;
    UINT closeCode_ = 0;
    bool passToQt_ = false;
    bool destroying_ = false;
    bool shownOnce_ = false;
    bool popup_ = false;
};
