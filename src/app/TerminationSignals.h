#pragma once

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a logout, a service manager, Ctrl-C, a closed terminal) into a
// call on the UI thread, so the program leaves through its normal shutdown path: recordings are
// finished and the log is flushed. The handler itself only writes the signal number to a pipe.
// Install on the UI thread, after the QCoreApplication exists; installing again re-arms the handlers.
class TerminationSignals {
public:
    // `onSignal` runs on the UI thread for each signal received, with the signal number. False when
    // the pipe or a handler could not be set up (the signals then keep their default action).
    static bool Install(std::function<void(int signal)> onSignal);

private:
    static void Handle(int signal);
    static void Deliver();

    static inline int pipe_[2] = {-1, -1};
    static inline QSocketNotifier* notifier_ = nullptr;
    static inline std::function<void(int)> onSignal_;
};
