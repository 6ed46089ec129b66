#pragma once

#include "ui/WinDef.h"

#include <QString>

#include <functional>

// Shows `text` in the program's message box (CMsgTipWnd), modal over `owner`, and returns when the
// box is closed. Each call creates and releases its own box, so boxes opened from inside another
// box's loop are independent.
void ShowMsgTip(HWND owner, const QString& text);

// Tests: a hook that sees every message box before it is shown. Returning true means "shown" (the
// box is not created and ShowMsgTip returns at once). Returns the hook it replaces; pass an empty
// function to remove it. UI thread only.
using MsgTipHook = std::function<bool(HWND owner, const QString& text)>;
MsgTipHook SetMsgTipHook(MsgTipHook hook);
