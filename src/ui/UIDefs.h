#pragma once

// Types shared by the toolkit's windows and controls: notifications, control events and the
// callback interfaces a window implements.

#include "ui/WinDef.h"

#include <QString>

class CControlUI;

// Texts of the toolkit are QStrings (UTF-8 literals convert implicitly).
using CDuiString = QString;

// A notification from a control to its window ("click", "selectchanged", "itemselect", ...).
struct TNotifyUI {
    CDuiString sType;
    CDuiString sVirtualWnd;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse;  // window client coordinates
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Events the toolkit hands to a control's DoEvent.
enum EVENTTYPE_UI {
    UIEVENT_MOUSEMOVE = 1,
    UIEVENT_MOUSELEAVE,
    UIEVENT_MOUSEENTER,
    UIEVENT_BUTTONDOWN,
    UIEVENT_BUTTONUP,
    UIEVENT_RBUTTONDOWN,
    UIEVENT_DBLCLICK,
    UIEVENT_CONTEXTMENU,
    UIEVENT_SCROLLWHEEL,
    UIEVENT_KEYDOWN,
    UIEVENT_SETFOCUS,
    UIEVENT_KILLFOCUS,
    UIEVENT_TIMER,
};

// Scroll directions of UIEVENT_SCROLLWHEEL (wParam), as the Windows scroll codes.
constexpr WPARAM SB_LINEUP = 0;
constexpr WPARAM SB_LINEDOWN = 1;

struct TEventUI {
    int Type = 0;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse;  // window client coordinates
    wchar_t chKey = 0;
    WORD wKeyState = 0;
    WPARAM wParam = 0;  // UIEVENT_TIMER: timer id; UIEVENT_SCROLLWHEEL: SB_LINEUP / SB_LINEDOWN
    LPARAM lParam = 0;
};

class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyUI& msg) = 0;
};

// A filter that sees a window's keyboard and mouse messages before the window and its controls do.
// Setting bHandled stops the message there.
class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;
};

// Asked by the layout loader for every class name it does not know (the custom tags of a layout).
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    virtual CControlUI* CreateControl(const CDuiString& pstrClass) = 0;
};
