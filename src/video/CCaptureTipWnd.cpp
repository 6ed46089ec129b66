#include "video/CCaptureTipWnd.h"

#include "ui/CControlUI.h"
#include "video/CaptureTips.h"
#include "video/FileManager.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

CCaptureTipWnd* CCaptureTipWnd::Show()
{
    // Shown only once placed; a tip without a path closes itself unseen.
    Create(nullptr, QString(), UI_WNDSTYLE_DIALOG & ~WS_VISIBLE, WS_EX_WINDOWEDGE);
    if (GetWidget() == nullptr || filePath_.empty())
        return nullptr;  // nothing to announce: the window closes itself (see InitWindow)
    CenterWindow();
    ShowWindow(true, true);
    QWidget* tip = GetWidget();
    if (tip == nullptr)
        return nullptr;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        tip->move(area.right() + 1 - tip->width() - 10, area.bottom() + 1 - tip->height() - 10);
    }
    return this;
}

void CCaptureTipWnd::InitWindow()
{
    if (filePath_.empty()) {
        Close(1);
        return;
    }
    if (CControlUI* dir = FindControl("dir"))
        dir->SetText(QString::fromStdString(filePath_));
}

void CCaptureTipWnd::Notify(TNotifyUI& msg)
{
    if (msg.sType == "click" && msg.pSender != nullptr) {
        const QString name = msg.pSender->GetName();
        if (name == "close") {
            Close(1);
            return;
        }
        if (name == "dir") {
            FileManager::Reveal(filePath_);
            Close(1);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

void CCaptureTipWnd::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}

void CSnapnotTipWnd::InitWindow()
{
    CCaptureTipWnd::InitWindow();
    if (!filePath_.empty())
        if (CControlUI* picture = FindControl("picdisplay"))
            picture->SetBkImage(QString::fromStdString(filePath_));
}

CCaptureTipWnd* ShowRecordTip(const std::string& path)
{
    return (new CRecrodTipWnd(path))->Show();
}

CCaptureTipWnd* ShowSnapshotTip(const std::string& path)
{
    return (new CSnapnotTipWnd(path))->Show();
}
