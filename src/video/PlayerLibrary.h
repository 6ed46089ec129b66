#pragma once

#include "PlayInterface.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Every function the player library exports, by its (C) name. A function added to the library's
// interface needs one line here; it is then resolved with the others and called as
// `functions->Name(...)`.
#define KELVUE_PLAYER_LIBRARY_FUNCTIONS(X) \
    X(CreatePlayerObject)                  \
    X(DeletePlayerObject)                  \
    X(SetPlayerHost)                       \
    X(SetPlayerVisible)

// The player library (libffplayer.so), loaded when the first player opens a stream rather than with
// the program: it brings in the whole multimedia stack, which the log-in window has no use for. All
// its functions are resolved at once, on first use; a file that lacks one is not used. A loaded
// library stays for the life of the process (its threads may outlive any caller). Thread-safe.
class PlayerLibrary {
public:
    static constexpr const char* kFileName = "libffplayer.so";

    struct Functions {
#define KELVUE_PLAYER_LIBRARY_POINTER(name) decltype(&::name) name = nullptr;
        KELVUE_PLAYER_LIBRARY_FUNCTIONS(KELVUE_PLAYER_LIBRARY_POINTER)
#undef KELVUE_PLAYER_LIBRARY_POINTER
    };

    // The program's library, from the first of ProgramLibraryLoader::ProgramCandidates that loads.
    static PlayerLibrary& Instance();

    // A library to be loaded from the first of these files that loads, when first asked for.
    explicit PlayerLibrary(std::vector<std::string> files);
    PlayerLibrary(const PlayerLibrary&) = delete;
    PlayerLibrary& operator=(const PlayerLibrary&) = delete;

    // The library's functions, loading it on the first call; null when it cannot be loaded.
    const Functions* Get();
    // Why the library could not be loaded (empty while it is loaded or not yet tried).
    std::string Failure();
    // Hands the library its frame and message table (copied): at once when it is loaded, else as soon
    // as it is.
    void SetHost(const PlayerHost& host);

private:
    void Load();

    std::mutex mutex_;
    const std::vector<std::string> files_;
    bool tried_ = false;
    bool loaded_ = false;
    Functions functions_;
    std::optional<PlayerHost> host_;
    std::string failure_;
};
