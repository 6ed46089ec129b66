#pragma once

// One handler for exit(), run before the static objects of the libraries loaded after it was installed
// are destroyed. exit() runs its handlers and the static destructors in the reverse order of their
// registration, so a handler installed at start-up would run only after the statics of every library
// loaded later (the IM library's, the player library's) were gone, while the threads that use them
// still run. Each loader calls Renew once its library is in; the handler runs once, at the latest of
// its registrations. Thread-safe.
class ExitHook {
public:
    static void Install(void (*handler)());
    static void Renew();
};
