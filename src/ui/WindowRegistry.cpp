#include "ui/WindowRegistry.h"

#include "ui/MessageEvent.h"
#include "ui/MessagePort.h"
#include "ui/MessageTarget.h"

#include <QCoreApplication>
#include <QMetaObject>
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
    MessagePort* port = nullptr;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        auto it = ports_.find(hwnd);
        if (it == ports_.end())
            return 0;
        port = it->second;
    }
    LRESULT result = 0;
    auto deliver = [&] {
        // Looked up again on the UI thread: the window may have closed while the call was queued.
        if (!Contains(hwnd))
            return;
        result = port->Dispatch(message, wParam, lParam);
    };
    if (QThread::currentThread() == port->thread())
        deliver();
    else
        QMetaObject::invokeMethod(port, deliver, Qt::BlockingQueuedConnection);
    return result;
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
