#pragma once

#include <functional>
#include <stop_token>

// Runs a blocking request (an HTTP exchange with the service) so that the caller still sees its
// result before its next step, while the UI thread goes on drawing.
//
// Called on the UI thread, the work runs on a worker thread and the caller waits in a local event
// loop: windows repaint, timers and posted messages are handled, but user input that could start a
// second request (mouse presses, keys, closing a window by hand) is refused until the work is done.
// Requests run one at a time: one started from a message handled during another's wait waits for it
// first. A window whose WM_CLOSE arrives during a wait is closed once the work is done, so the caller
// never continues in a destroyed window. A quit message stops the work's stop token (the request
// gives up soon and reports failure). Called on any other thread, or without a Qt application, the
// work simply runs on the calling thread.
class RequestRunner {
public:
    using Work = std::function<void(std::stop_token)>;

    static void Run(const Work& work);

    // True while some request started on the UI thread has not finished. UI thread only.
    static bool Busy();
    // Runs `action` once no request is under way (at once when none is). UI thread only.
    static void WhenIdle(std::function<void()> action);
    // Called with true when the first request starts and with false when the last one ended, on the
    // UI thread (the window toolkit shows the wait cursor with it). Null removes it.
    static void SetBusyObserver(std::function<void(bool)> observer);
    // Stops the work of every request under way (the quit message does this). UI thread only.
    static void StopAll();
};
