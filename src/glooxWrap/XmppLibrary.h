#pragma once

#include "glooxWrap/XmppSession.h"

#include <mutex>
#include <string>
#include <vector>

// The IM library (libkelvue_xmpp.so), loaded when the IM connection first starts rather than with the
// program: gloox brings its TLS stack (some eleven libraries, bound at load and initialised), which the
// log-in window has no use for. A loaded library stays for the life of the process. Thread-safe.
class XmppLibrary {
public:
    static constexpr const char* kFileName = "libkelvue_xmpp.so";
    using Factory = decltype(&::CreateXmppSession);

    // The program's library, from the first of ProgramLibraryLoader::ProgramCandidates that loads.
    static XmppLibrary& Instance();

    // A library to be loaded from the first of these files that loads, when first asked for.
    explicit XmppLibrary(std::vector<std::string> files);
    XmppLibrary(const XmppLibrary&) = delete;
    XmppLibrary& operator=(const XmppLibrary&) = delete;

    // The library's CreateXmppSession, loading it on the first call; null when it cannot be loaded
    // (the reason is logged once).
    Factory Get();
    // Why the library could not be loaded (empty while it is loaded or not yet tried).
    std::string Failure();

private:
    std::mutex mutex_;
    const std::vector<std::string> files_;
    bool tried_ = false;
    Factory factory_ = nullptr;
    std::string failure_;
};
