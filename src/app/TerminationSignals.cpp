#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <glog/logging.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

bool TerminationSignals::Install(std::function<void(int)> onSignal)
{
    onSignal_ = std::move(onSignal);
    if (notifier_ == nullptr) {
        if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
            LOG(ERROR) << "no pipe for the termination signals: " << std::strerror(errno);
            return false;
        }
        notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read);
        QObject::connect(notifier_, &QSocketNotifier::activated, [] { Deliver(); });
    }
    struct sigaction action {};
    action.sa_handler = &TerminationSignals::Handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool ok = true;
    for (int signal : kSignals)
        ok = sigaction(signal, &action, nullptr) == 0 && ok;
    return ok;
}

// Async-signal-safe: one write() of one byte to a non-blocking pipe, errno kept. The signal gets its
// default action back, so that a second one ends a shutdown that hangs.
void TerminationSignals::Handle(int signal)
{
    const int saved = errno;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = write(pipe_[1], &byte, 1);
    errno = saved;
}

void TerminationSignals::Deliver()
{
    unsigned char byte = 0;
    while (read(pipe_[0], &byte, 1) == 1) {
        LOG(WARNING) << "signal " << static_cast<int>(byte) << " received: the program ends";
        if (onSignal_)
            onSignal_(byte);
    }
}
