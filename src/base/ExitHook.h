#pragma once

// One handler for the way out through exit(), run at most once. exit() runs its handlers and the static
// destructors in the reverse order of their registration, so a handler installed at start-up runs
// only after every static made later was destroyed: those of the libraries loaded later, and the
// function-local statics a library makes on first use (the IM library's, from its own thread while a
// session runs). A way out known to end in exit() therefore runs the handler itself first (RunNow);
// exit() then finds it done. Thread-safe.
class ExitHook {
public:
    static void Install(void (*handler)());
    static void RunNow();
};
