#include "ui/CPaintManagerUI.h"

#include "ui/CControlUI.h"
#include "ui/CWindowWnd.h"
#include "ui/ModalLoop.h"
#include "ui/WindowRegistry.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace {

QString& ResourcePath()
{
    static QString path;
    return path;
}

QList<long> Numbers(const QString& text)
{
    QList<long> values;
    for (const QString& part : text.split(',', Qt::SkipEmptyParts))
        values.append(part.trimmed().toLong());
    return values;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI()
    : hub_(std::make_unique<QObject>())
{
}

CPaintManagerUI::~CPaintManagerUI() = default;

void CPaintManagerUI::SetInstance(void*) {}

QString CPaintManagerUI::GetInstancePath()
{
    QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                              : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}

void CPaintManagerUI::SetResourcePath(const QString& path)
{
    QString p = QDir::fromNativeSeparators(QString(path).replace('\\', '/'));
    if (QDir::isRelativePath(p))
        p = GetInstancePath() + p;
    if (!p.endsWith('/'))
        p += '/';
    ResourcePath() = p;
}

QString CPaintManagerUI::GetResourcePath()
{
    if (ResourcePath().isEmpty())
        return GetInstancePath() + "skin/";
    return ResourcePath();
}

QString CPaintManagerUI::GetResourceFile(const QString& relative)
{
    QString r = QString(relative).replace('\\', '/');
    if (QDir::isAbsolutePath(r))
        return r;
    return GetResourcePath() + r;
}

void CPaintManagerUI::MessageLoop()
{
    ModalLoop loop;
    loop.Run();
}

void CPaintManagerUI::Init(CWindowWnd* window)
{
    window_ = window;
}

HWND CPaintManagerUI::GetPaintWindow() const
{
    return window_ ? window_->GetHWND() : nullptr;
}

void CPaintManagerUI::AttachDialog(CControlUI* root)
{
    root_ = root;
    rootWidget_ = root ? root->GetWidget() : nullptr;
}

QWidget* CPaintManagerUI::GetRootWidget() const
{
    if (rootWidget_)
        return rootWidget_;
    return window_ ? window_->GetWidget() : nullptr;
}

CControlUI* CPaintManagerUI::FindControl(const QString& name) const
{
    QWidget* top = window_ && window_->GetWidget() ? window_->GetWidget() : GetRootWidget();
    if (top == nullptr || name.isEmpty())
        return nullptr;
    if (top->objectName() == name && CControlUI::FromWidget(top))
        return CControlUI::FromWidget(top);
    const auto found = top->findChildren<QWidget*>(name);
    for (QWidget* w : found)
        if (CControlUI* control = CControlUI::FromWidget(w))
            if (window_ == nullptr || CWindowWnd::FromWidget(w) == window_)  // not a child window's control
                return control;
    return nullptr;
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const
{
    QWidget* root = GetRootWidget();
    if (root == nullptr)
        return nullptr;
    QWidget* hit = root->childAt(QPoint(pt.x, pt.y));
    return CControlUI::NearestControl(hit ? hit : root);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, const QString& name) const
{
    if (parent == nullptr || parent->GetWidget() == nullptr)
        return nullptr;
    const auto found = parent->GetWidget()->findChildren<QWidget*>(name);
    for (QWidget* w : found)
        if (CControlUI* control = CControlUI::FromWidget(w))
            return control;
    return nullptr;
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier)
{
    if (!notifiers_.contains(notifier))
        notifiers_.append(notifier);
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier)
{
    notifiers_.removeAll(notifier);
}

void CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter)
{
    if (!preFilters_.contains(filter))
        preFilters_.append(filter);
}

void CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter)
{
    preFilters_.removeAll(filter);
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const auto filters = preFilters_;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        result = filter->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled)
            return true;
    }
    return false;
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (uMsg != WM_TIMER)
        return false;
    auto it = timers_.find(wParam);
    if (it == timers_.end())
        return false;
    TEventUI event;
    event.Type = UIEVENT_TIMER;
    event.pSender = it->second.control;
    event.dwTimestamp = static_cast<DWORD>(QDateTime::currentMSecsSinceEpoch());
    event.wParam = it->second.id;
    it->second.control->DoEvent(event);
    result = 0;
    return true;
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const QString& type, WPARAM wParam, LPARAM lParam, bool async)
{
    SendNotify(sender, type, wParam, lParam, mousePos_, async);
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const QString& type, WPARAM wParam, LPARAM lParam, POINT ptMouse,
                                 bool async)
{
    TNotifyUI msg;
    msg.sType = type;
    msg.pSender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.ptMouse = ptMouse;
    SendNotify(msg, async);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async)
{
    msg.dwTimestamp = static_cast<DWORD>(QDateTime::currentMSecsSinceEpoch());
    if (async) {
        // Delivered from the event loop, unless the window (and so this manager) is gone by then.
        QWidget* senderWidget = msg.pSender ? msg.pSender->GetWidget() : nullptr;
        QPointer<QWidget> guard(senderWidget);
        const bool hadWidget = senderWidget != nullptr;
        TNotifyUI copy = msg;
        QTimer::singleShot(0, hub_.get(), [this, copy, guard, hadWidget]() mutable {
            if (hadWidget && !guard)
                return;
            SendNotify(copy, false);
        });
        return;
    }
    const auto notifiers = notifiers_;
    for (INotifyUI* notifier : notifiers)
        if (notifiers_.contains(notifier))
            notifier->Notify(msg);
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapseMs)
{
    if (control == nullptr || window_ == nullptr)
        return false;
    for (auto& [windowId, timer] : timers_)
        if (timer.control == control && timer.id == id) {
            timer.timer->start(static_cast<int>(elapseMs));
            return true;
        }
    const WPARAM windowId = nextTimerId_++;
    auto* timer = new QTimer(hub_.get());
    QObject::connect(timer, &QTimer::timeout, hub_.get(), [this, windowId] {
        if (HWND hwnd = GetPaintWindow())
            ::SendMessage(hwnd, WM_TIMER, windowId, 0);
    });
    timers_[windowId] = ControlTimer{control, id, timer};
    timer->start(static_cast<int>(elapseMs));
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id)
{
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
        if (it->second.control == control && it->second.id == id) {
            it->second.timer->stop();
            it->second.timer->deleteLater();
            timers_.erase(it);
            return true;
        }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* control)
{
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->second.control == control) {
            it->second.timer->stop();
            it->second.timer->deleteLater();
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

void CPaintManagerUI::RemoveControl(CControlUI* control)
{
    KillTimer(control);
    if (root_ == control)
        root_ = nullptr;
}

QString CPaintManagerUI::GetWindowAttribute(const QString& name) const
{
    QWidget* root = GetRootWidget();
    return root ? root->property(name.toUtf8().constData()).toString() : QString();
}

RECT CPaintManagerUI::GetCaptionRect() const
{
    RECT rc;
    QList<long> v = Numbers(GetWindowAttribute("caption"));
    if (v.size() == 4) {
        rc.left = v[0];
        rc.top = v[1];
        rc.right = v[2];
        rc.bottom = v[3];
    }
    return rc;
}

SIZE CPaintManagerUI::GetRoundCorner() const
{
    SIZE size;
    QList<long> v = Numbers(GetWindowAttribute("roundcorner"));
    if (v.size() == 2) {
        size.cx = v[0];
        size.cy = v[1];
    }
    return size;
}

SIZE CPaintManagerUI::GetInitSize() const
{
    SIZE size;
    if (QWidget* root = GetRootWidget()) {
        size.cx = root->width();
        size.cy = root->height();
    }
    return size;
}

QButtonGroup* CPaintManagerUI::GetOptionGroup(const QString& group)
{
    QButtonGroup*& g = groups_[group];
    if (g == nullptr)
        g = new QButtonGroup(hub_.get());
    return g;
}
