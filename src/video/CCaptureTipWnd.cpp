#include "video/CCaptureTipWnd.h"

#include "ui/CControlUI.h"
#include "video/CaptureTips.h"
#include "video/FileManager.h"
#include "video/NoticeStack.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <vector>

namespace {

// The tips on the screen, in the order they were shown. UI thread only.
std::vector<const CCaptureTipWnd*>& OpenTips()
{
    static std::vector<const CCaptureTipWnd*> tips;
    return tips;
}

NoticeStack::Rect ToRect(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

CCaptureTipWnd* CCaptureTipWnd::Show(const QWidget* area)
{
    // Shown only once placed; a tip without a path closes itself unseen.
    Create(nullptr, QString(), UI_WNDSTYLE_DIALOG & ~WS_VISIBLE, WS_EX_WINDOWEDGE);
    QWidget* tip = GetWidget();
    if (tip == nullptr || filePath_.empty())
        return nullptr;  // nothing to announce: the window closes itself (see InitWindow)
    // Above the video even while the wall covers the screen.
    tip->setWindowFlag(Qt::WindowStaysOnTopHint);
    // Its final size before it is placed: showing would grow it to what its layout needs.
    tip->ensurePolished();
    if (tip->layout() != nullptr)
        tip->layout()->activate();
    // The corner of the video, not of the screen: the main window's buttons lie around the wall.
    QRect place;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        place = screen->geometry();
    if (area != nullptr && area->isVisible()) {
        const QRect video(area->mapToGlobal(QPoint(0, 0)), area->size());
        place = place.isEmpty() ? video : place.intersected(video);
    }
    std::vector<NoticeStack::Rect> open;
    for (const CCaptureTipWnd* other : OpenTips())
        if (other->GetWidget() != nullptr)
            open.push_back(ToRect(other->GetWidget()->frameGeometry()));
    const NoticeStack::Rect at = NoticeStack::Place(ToRect(place), tip->width(), tip->height(), open);
    tip->move(at.x, at.y);
    OpenTips().push_back(this);
    ShowWindow(true, true);
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
    std::erase(OpenTips(), this);
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

CCaptureTipWnd* ShowRecordTip(const std::string& path, const QWidget* area)
{
    return (new CRecrodTipWnd(path))->Show(area);
}

CCaptureTipWnd* ShowSnapshotTip(const std::string& path, const QWidget* area)
{
    return (new CSnapnotTipWnd(path))->Show(area);
}
