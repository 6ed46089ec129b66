#pragma once

#include <string>

// Replaces a whole file so that a crash or a full disk never leaves it half written: the content goes
// to a temporary file in the same folder, is synced, and is renamed over the target.
class AtomicFile {
public:
    // The file keeps the mode of the file it replaces (0644 for a new one); with ownerOnly it is 0600.
    // False (the target untouched, the temporary file removed) when any step fails.
    static bool Write(const std::string& path, const std::string& content, bool ownerOnly = false);
};
