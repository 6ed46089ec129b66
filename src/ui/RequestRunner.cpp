#include "ui/RequestRunner.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Swallows the user's input while a request is under way: presses, keys and a window closed by hand
// could each start another request. Moving the pointer, the wheel, painting and resizing pass.
class InputRefusal : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (!event->spontaneous())
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::Close:
            return true;
        default:
            return false;
        }
    }
};

// One request started on the UI thread. `finished` is set on the UI thread when the worker is done.
struct Request {
    std::stop_source stop;
    bool finished = false;
};

// One local wait: its loop ends once `done` holds.
struct Wait {
    QEventLoop* loop;
    std::function<bool()> done;
};

// UI thread only.
struct RunnerState {
    std::shared_ptr<Request> current;  // the request under way, if any
    std::vector<Wait*> waits;
    std::vector<std::function<void()>> whenIdle;
    std::function<void(bool)> observer;
    std::unique_ptr<InputRefusal> refusal;
};

RunnerState& State()
{
    static RunnerState state;
    return state;
}

void EndSatisfiedWaits()
{
    for (Wait* wait : State().waits)
        if (wait->done())
            wait->loop->exit(0);
}

// Runs the UI thread's events until `done` holds. Nested waits end in any order; an outer one
// returns once the inner ones have.
void WaitUntil(const std::function<bool()>& done)
{
    if (done())
        return;
    QEventLoop loop;
    Wait wait{&loop, done};
    State().waits.push_back(&wait);
    loop.exec();
    auto& waits = State().waits;
    waits.erase(std::find(waits.begin(), waits.end(), &wait));
}

void SetBusy(bool busy)
{
    RunnerState& state = State();
    if (busy) {
        state.refusal = std::make_unique<InputRefusal>();
        QCoreApplication::instance()->installEventFilter(state.refusal.get());
    } else {
        state.refusal.reset();
    }
    if (state.observer)
        state.observer(busy);
}

// The worker of `request` is done: on the UI thread.
void Finish(const std::shared_ptr<Request>& request)
{
    RunnerState& state = State();
    request->finished = true;
    state.current.reset();
    SetBusy(false);
    // Actions held back for the request (windows to close) run before the callers go on.
    std::vector<std::function<void()>> actions;
    actions.swap(state.whenIdle);
    for (auto& action : actions)
        action();
    EndSatisfiedWaits();
}

bool OnUiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace

void RequestRunner::Run(const Work& work)
{
    if (!OnUiThread()) {
        work(std::stop_token());
        return;
    }
    RunnerState& state = State();
    // One request at a time (they share "temp.txt", and the service sees them in order).
    WaitUntil([&state] { return state.current == nullptr; });

    auto request = std::make_shared<Request>();
    state.current = request;
    SetBusy(true);
    std::thread worker([&work, request, token = request->stop.get_token()] {
        work(token);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [request] { Finish(request); }, Qt::QueuedConnection);
    });
    WaitUntil([&request] { return request->finished; });
    worker.join();
}

bool RequestRunner::Busy()
{
    return State().current != nullptr;
}

void RequestRunner::WhenIdle(std::function<void()> action)
{
    if (Busy())
        State().whenIdle.push_back(std::move(action));
    else
        action();
}

void RequestRunner::SetBusyObserver(std::function<void(bool)> observer)
{
    State().observer = std::move(observer);
}

void RequestRunner::StopAll()
{
    if (const auto& request = State().current)
        request->stop.request_stop();
}
