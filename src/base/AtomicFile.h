#pragma once

#include <string>

// Replaces a whole file so that a crash or a full disk never leaves it half written: the content goes
// to a temporary file in the same folder, is synced, and is renamed over the target. Reads a whole file
// for the same callers.
class AtomicFile {
public:
    // False when the file cannot be opened or a read fails.
    static bool Read(const std::string& path, std::string& content);

    static constexpr int kKeepMode = -1;

    // The file gets `mode`, or with kKeepMode the mode of the file it replaces (0644 for a new one).
    // False (the target untouched, the temporary file removed) when any step fails. An existing file
    // that this process may not write (a read-only file) is refused, as writing it in place would be:
    // the rename would otherwise replace it.
    static bool Write(const std::string& path, const std::string& content, int mode = kKeepMode);
};
