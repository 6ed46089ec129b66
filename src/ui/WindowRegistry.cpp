#include "ui/WindowRegistry.h"

#include "ui/MessageEvent.h"
#include "ui/MessagePort.h"
#include "ui/MessageTarget.h"

#include <QCoreApplication>
#include <QThread>

WindowRegistry& WindowRegistry::Instance()
{
    static WindowRegistry registry;
    return registry;
}

HWND WindowRegistry::Register(MessagePort* port)
{
    std::lock_guard<std::mutex> guard(mutex_);
    HWND hwnd = reinterpret_cast<HWND>(nextId_++);
    ports_.emplace(hwnd, port);
    return hwnd;
}

void WindowRegistry::Unregister(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(mutex_);
    ports_.erase(hwnd);
}

bool WindowRegistry::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Posting under the lock keeps the port alive until the event is queued; Qt drops the queued
    // events of a port that is deleted later.
    std::lock_guard<std::mutex> guard(mutex_);
    auto it = ports_.find(hwnd);
    if (it == ports_.end())
        return false;
    QCoreApplication::postEvent(it->second, new MessageEvent(message, wParam, lParam));
    return true;
}

bool WindowRegistry::Contains(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(mutex_);
    return ports_.count(hwnd) != 0;
}

LRESULT WindowRegistry::Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::future<LRESULT> answer;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        auto it = ports_.find(hwnd);
        if (it == ports_.end())
            return 0;
        MessagePort* port = it->second;
        if (QThread::currentThread() != port->thread()) {
            // Queued under the lock like a post, so the port cannot vanish in between; a port that is
            // deleted before handling it drops the event, whose destructor answers 0.
            auto* event = new SendMessageEvent(message, wParam, lParam);
            answer = event->result.get_future();
            QCoreApplication::postEvent(port, event, Qt::HighEventPriority);
        }
    }
    if (answer.valid())
        return answer.get();
    // On the UI thread: call the handler directly, looking the port up again outside the lock so the
    // handler may post, send or close windows itself.
    MessagePort* port = nullptr;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        auto it = ports_.find(hwnd);
        if (it == ports_.end())
            return 0;
        port = it->second;
    }
    return port->Dispatch(message, wParam, lParam);
}

bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowRegistry::Instance().Post(hwnd, message, wParam, lParam);
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowRegistry::Instance().Send(hwnd, message, wParam, lParam);
}

bool IsWindow(HWND hwnd)
{
    return WindowRegistry::Instance().Contains(hwnd);
}
