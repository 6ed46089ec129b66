#include "ui/ShowMsgTip.h"

#include "ui/CMsgTipWnd.h"

namespace {

MsgTipHook& Hook()
{
    static MsgTipHook hook;
    return hook;
}

}  // namespace

MsgTipHook SetMsgTipHook(MsgTipHook hook)
{
    MsgTipHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

void ShowMsgTip(HWND owner, const QString& text)
{
    if (Hook() && Hook()(owner, text))
        return;
    auto* box = new CMsgTipWnd(text);
    box->Create(owner, QStringLiteral("MsgTipWnd"), UI_WNDSTYLE_FRAME, WS_EX_WINDOWEDGE);
    box->CenterWindow();
    box->ShowModal();
    // Whatever ended the run (close button, Escape, a quit message), the box is this call's own:
    // destroy its window if still there and release it.
    box->DestroyWindow();
    delete box;
}
