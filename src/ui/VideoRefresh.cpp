#include "ui/VideoRefresh.h"

#include "ui/VideoSurface.h"

#include <QCoreApplication>
#include <QEvent>

#include <mutex>
#include <vector>

namespace {

// Posted once per pass: the list of marked surfaces went from empty to not empty.
const QEvent::Type kSurfacesMarked = static_cast<QEvent::Type>(QEvent::registerEventType());

// State shared with the presenting threads, all of it guarded by `mutex`.
struct Shared {
    std::mutex mutex;
    std::vector<HWND> marked;
    VideoRefresh* instance = nullptr;  // null before Ensure and after the application ended
};

Shared& State()
{
    static Shared shared;
    return shared;
}

}  // namespace

void VideoRefresh::Ensure()
{
    Shared& shared = State();
    std::lock_guard<std::mutex> guard(shared.mutex);
    if (shared.instance != nullptr || QCoreApplication::instance() == nullptr)
        return;
    shared.instance = new VideoRefresh(QCoreApplication::instance());
    if (!shared.marked.empty())
        QCoreApplication::postEvent(shared.instance, new QEvent(kSurfacesMarked));
}

void VideoRefresh::MarkDirty(HWND surface)
{
    Shared& shared = State();
    // Posting under the lock keeps the refresher alive meanwhile: its destructor takes the lock first.
    std::lock_guard<std::mutex> guard(shared.mutex);
    shared.marked.push_back(surface);
    if (shared.marked.size() == 1 && shared.instance != nullptr)
        QCoreApplication::postEvent(shared.instance, new QEvent(kSurfacesMarked));
}

VideoRefresh::VideoRefresh(QObject* application)
    : QObject(application)
{
    nextPass_.setSingleShot(true);
    nextPass_.setTimerType(Qt::PreciseTimer);
    connect(&nextPass_, &QTimer::timeout, this, &VideoRefresh::RepaintMarked);
    sinceLastPass_.start();
}

VideoRefresh::~VideoRefresh()
{
    std::lock_guard<std::mutex> guard(State().mutex);
    State().instance = nullptr;
}

bool VideoRefresh::event(QEvent* event)
{
    if (event->type() != kSurfacesMarked)
        return QObject::event(event);
    if (!nextPass_.isActive()) {
        const qint64 wait = kIntervalMs - sinceLastPass_.elapsed();
        if (wait <= 0)
            RepaintMarked();
        else
            nextPass_.start(static_cast<int>(wait));
    }
    return true;
}

void VideoRefresh::RepaintMarked()
{
    std::vector<HWND> marked;
    {
        std::lock_guard<std::mutex> guard(State().mutex);
        marked.swap(State().marked);
    }
    sinceLastPass_.restart();
    // Scheduled, not immediate: Qt paints all of them in one pass and flushes the window once.
    for (HWND handle : marked)
        if (VideoSurface* surface = VideoSurface::FromHandle(handle))
            surface->update();
}
