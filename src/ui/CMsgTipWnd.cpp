#include "ui/CMsgTipWnd.h"

#include "ui/CControlUI.h"

void CMsgTipWnd::InitWindow()
{
    if (CControlUI* label = m_PaintManager.FindControl("contentLabel"))
        label->SetText(text_);
}

LRESULT CMsgTipWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (wParam == SC_CLOSE) {
        bHandled = TRUE;
        Close(IDOK);
        return 0;
    }
    return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}
