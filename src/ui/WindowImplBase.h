#pragma once

#include "ui/CPaintManagerUI.h"
#include "ui/CWindowWnd.h"

// A window built from a layout file of the skin folder. Create loads GetSkinFolder() +
// GetSkinFile() (under the resource path), asking CreateControl for the class names the loader does
// not know, then calls InitWindow. Notifications of its controls go to Notify; window messages go to
// HandleMessage, which dispatches the usual ones to the On... handlers below and passes the others
// to HandleCustomMessage, then to the toolkit, then to the default handling.
//
// Defaults: "closebtn" closes (IDOK), "minbtn" / "maxbtn" / "restorebtn" send the system commands
// minimise / maximise / restore; Escape closes (IDOK) and Enter does nothing (ResponseDefaultKeyEvent);
// the system close command closes the window; a press in the layout's caption rectangle (not on a
// button, option, edit, ...) drags the window; the layout's round corner shapes the window.
class WindowImplBase : public CWindowWnd, public INotifyUI, public IMessageFilterUI, public IDialogBuilderCallback {
public:
    WindowImplBase();
    ~WindowImplBase() override;

    virtual void InitWindow() {}
    void Notify(TNotifyUI& msg) override;
    CControlUI* CreateControl(const CDuiString& pstrClass) override;
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);

    CPaintManagerUI* GetPaintManager() { return &m_PaintManager; }
    CControlUI* FindControl(const QString& name) const { return m_PaintManager.FindControl(name); }

protected:
    virtual CDuiString GetSkinFolder() { return CDuiString(); }
    virtual CDuiString GetSkinFile() = 0;
    void OnFinalMessage(HWND hWnd) override;
    virtual void OnClick(TNotifyUI& msg);

    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

    bool PreTranslate(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFirstShow() override;

    CPaintManagerUI m_PaintManager;
};
