#pragma once

#include <curl/curl.h>

// Every libcurl function the client calls, by its name without "curl_". A function added needs one
// line here; it is then resolved with the others and called as `functions->easy_perform(...)` (not by
// its own name, which curl.h may define as a macro).
#define KELVUE_CURL_FUNCTIONS(X) \
    X(global_init)               \
    X(easy_init)                 \
    X(easy_setopt)               \
    X(easy_perform)              \
    X(easy_cleanup)              \
    X(easy_strerror)             \
    X(slist_append)              \
    X(slist_free_all)

// libcurl, loaded (and initialised) with its first use rather than with the program: with its TLS,
// Kerberos, LDAP and SSH libraries it is some twenty shared libraries that the log-in window has no
// use for, and the dynamic loader's work for them delayed the window. A loaded library stays for the
// life of the process. Thread-safe.
class CurlLibrary {
public:
    static constexpr const char* kFileName = "libcurl.so.4";

    struct Functions {
#define KELVUE_CURL_POINTER(name) decltype(&::curl_##name) name = nullptr;
        KELVUE_CURL_FUNCTIONS(KELVUE_CURL_POINTER)
#undef KELVUE_CURL_POINTER
    };

    // The functions, loading the library on the first call; null when it cannot be loaded or lacks
    // one of them (the failure is logged once).
    static const Functions* Get();
};
