#include "ui/WindowImplBase.h"

#include "ui/CControlUI.h"
#include "ui/CDialogBuilder.h"

#include <QPainterPath>
#include <QRegion>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// Classes a caption press must leave alone: pressing them is using them, not dragging the window.
bool IsInteractive(const QString& cls)
{
    static const QStringList classes = {"ButtonUI", "OptionUI", "CheckBoxUI", "TextUI", "EditUI", "RichEditUI",
                                        "ComboUI", "SliderUI", "ListUI", "TreeViewUI", "DateTimeUI", "MenuElementUI"};
    return classes.contains(cls);
}

}  // namespace

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() = default;

void WindowImplBase::Notify(TNotifyUI& msg)
{
    if (msg.sType == "click")
        OnClick(msg);
}

void WindowImplBase::OnClick(TNotifyUI& msg)
{
    const QString name = msg.pSender ? msg.pSender->GetName() : QString();
    if (name == "closebtn")
        Close();
    else if (name == "minbtn")
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (name == "maxbtn")
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (name == "restorebtn")
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

CControlUI* WindowImplBase::CreateControl(const CDuiString&)
{
    return nullptr;
}

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool&)
{
    if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE))
        return ResponseDefaultKeyEvent(wParam);
    return FALSE;
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam)
{
    if (wParam == VK_RETURN)
        return FALSE;
    if (wParam == VK_ESCAPE) {
        Close();
        return TRUE;
    }
    return FALSE;
}

bool WindowImplBase::PreTranslate(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg >= WM_MOUSEMOVE && uMsg <= WM_MOUSEWHEEL) {
        // The point notifications caused by this input carry.
        POINT pt;
        pt.x = GET_X_LPARAM(lParam);
        pt.y = GET_Y_LPARAM(lParam);
        m_PaintManager.SetMousePos(pt);
    }
    LRESULT result = 0;
    return m_PaintManager.PreMessageHandler(uMsg, wParam, lParam, result);
}

void WindowImplBase::OnFirstShow()
{
    m_PaintManager.SendNotify(m_PaintManager.GetRoot(), QStringLiteral("windowinit"));
}

void WindowImplBase::OnFinalMessage(HWND)
{
    m_PaintManager.RemovePreMessageFilter(this);
    m_PaintManager.RemoveNotifier(this);
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lRes = 0;
    BOOL bHandled = TRUE;
    switch (uMsg) {
    case WM_CREATE: lRes = OnCreate(uMsg, wParam, lParam, bHandled); break;
    case WM_CLOSE: lRes = OnClose(uMsg, wParam, lParam, bHandled); break;
    case WM_DESTROY: lRes = OnDestroy(uMsg, wParam, lParam, bHandled); break;
    case WM_NCACTIVATE: lRes = OnNcActivate(uMsg, wParam, lParam, bHandled); break;
    case WM_NCCALCSIZE: lRes = OnNcCalcSize(uMsg, wParam, lParam, bHandled); break;
    case WM_NCPAINT: lRes = OnNcPaint(uMsg, wParam, lParam, bHandled); break;
    case WM_NCHITTEST: lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled); break;
    case WM_GETMINMAXINFO: lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled); break;
    case WM_MOUSEWHEEL: lRes = OnMouseWheel(uMsg, wParam, lParam, bHandled); break;
    case WM_MOUSEHOVER: lRes = OnMouseHover(uMsg, wParam, lParam, bHandled); break;
    case WM_SIZE: lRes = OnSize(uMsg, wParam, lParam, bHandled); break;
    case WM_CHAR: lRes = OnChar(uMsg, wParam, lParam, bHandled); break;
    case WM_SYSCOMMAND: lRes = OnSysCommand(uMsg, wParam, lParam, bHandled); break;
    case WM_KEYDOWN: lRes = OnKeyDown(uMsg, wParam, lParam, bHandled); break;
    case WM_KILLFOCUS: lRes = OnKillFocus(uMsg, wParam, lParam, bHandled); break;
    case WM_SETFOCUS: lRes = OnSetFocus(uMsg, wParam, lParam, bHandled); break;
    case WM_LBUTTONUP: lRes = OnLButtonUp(uMsg, wParam, lParam, bHandled); break;
    case WM_LBUTTONDOWN: lRes = OnLButtonDown(uMsg, wParam, lParam, bHandled); break;
    case WM_MOUSEMOVE: lRes = OnMouseMove(uMsg, wParam, lParam, bHandled); break;
    default: bHandled = FALSE; break;
    }
    if (bHandled)
        return lRes;
    lRes = HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled)
        return lRes;
    if (m_PaintManager.MessageHandler(uMsg, wParam, lParam, lRes))
        return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = TRUE;
    m_PaintManager.Init(this);
    m_PaintManager.AddPreMessageFilter(this);
    QWidget* window = GetWidget();
    // The theme is set on the application once, not on each window: a style sheet of a window's own
    // is parsed and cascaded for that window alone (128 times for the 64 cells of the wall).
    CDialogBuilder::ApplyTheme();
    CDialogBuilder builder;
    CControlUI* root = builder.CreateIn(window, GetSkinFile(), this, &m_PaintManager);
    if (root == nullptr) {
        qWarning("toolkit: window %s: %s", qPrintable(GetWindowClassName()), qPrintable(builder.GetLastError()));
    } else {
        QWidget* rootWidget = root->GetWidget();
        const QSize layoutSize = rootWidget->size();
        auto* frame = new QVBoxLayout(window);
        frame->setContentsMargins(0, 0, 0, 0);
        frame->setSpacing(0);
        frame->addWidget(rootWidget);
        rootWidget->show();
        m_PaintManager.AttachDialog(root);
        if (!window->testAttribute(Qt::WA_Resized))
            window->resize(layoutSize);
        const SIZE minimum = [&] {
            SIZE s;
            const QStringList v = m_PaintManager.GetWindowAttribute("mininfo").split(',');
            if (v.size() == 2) {
                s.cx = v[0].toLong();
                s.cy = v[1].toLong();
            }
            return s;
        }();
        if (minimum.cx > 0 && minimum.cy > 0)
            window->setMinimumSize(minimum.cx, minimum.cy);
    }
    m_PaintManager.AddNotifier(this);
    InitWindow();
    return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (IsIconic())
        bHandled = FALSE;
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    QWidget* window = GetWidget();
    if (window == nullptr)
        return HTCLIENT;
    const QPoint pt = window->mapFromGlobal(QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    const RECT caption = m_PaintManager.GetCaptionRect();
    if (pt.x() >= caption.left && pt.x() < window->width() - caption.right && pt.y() >= caption.top
        && pt.y() < caption.bottom) {
        POINT p;
        p.x = pt.x();
        p.y = pt.y();
        CControlUI* control = m_PaintManager.FindControl(p);
        if (control && !IsInteractive(control->GetClass()))
            return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    QWidget* window = GetWidget();
    const SIZE corner = m_PaintManager.GetRoundCorner();
    if (window == nullptr || wParam == SIZE_MINIMIZED || (corner.cx == 0 && corner.cy == 0))
        return 0;
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, window->width() + 1, window->height() + 1), corner.cx / 2.0, corner.cy / 2.0);
    window->setMask(QRegion(path.toFillPolygon().toPolygon()));
    return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = TRUE;
    if (wParam == SC_CLOSE) {
        SendMessage(WM_CLOSE, 0, 0);
        return 0;
    }
    const bool zoomed = IsZoomed();
    LRESULT lRes = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    if (IsZoomed() != zoomed) {
        CControlUI* maxButton = m_PaintManager.FindControl("maxbtn");
        CControlUI* restoreButton = m_PaintManager.FindControl("restorebtn");
        if (maxButton)
            maxButton->SetVisible(zoomed);
        if (restoreButton)
            restoreButton->SetVisible(!zoomed);
    }
    return lRes;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    return 0;
}
