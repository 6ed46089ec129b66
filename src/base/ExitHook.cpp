#include "base/ExitHook.h"

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<void (*)()> installed{nullptr};
std::atomic<bool> ran{false};

void RunOnce()
{
    void (*handler)() = installed.load();
    if (handler != nullptr && !ran.exchange(true))
        handler();
}

}  // namespace

void ExitHook::Install(void (*handler)())
{
    installed.store(handler);
    std::atexit(RunOnce);
}

void ExitHook::RunNow() { RunOnce(); }
