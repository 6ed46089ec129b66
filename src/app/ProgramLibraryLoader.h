#pragma once

#include <optional>
#include <string>
#include <vector>

// Finding and opening a shared library of the program's own (the player library, the IM library), which
// the program loads when it first needs it rather than with the executable.
class ProgramLibraryLoader {
public:
    // The files `fileName` is looked for as: beside the executable, in the installed package's library
    // folder (ProgramFolders::LibraryDirectories), then in the folders the dynamic linker searches for
    // the executable (its RUNPATH in the build, LD_LIBRARY_PATH, the system's). Absolute paths:
    // dlopen's own search is not used, as a sanitizer's interception of dlopen hides the executable's
    // RUNPATH from it.
    static std::vector<std::string> ProgramCandidates(const std::string& fileName);

    // Opens the first of `files` that loads and exports every one of `functions`, and returns their
    // addresses in that order (the library then stays for the life of the process), with the file in
    // `loadedFrom`. Without one, nullopt and the reasons in `failure` ("no <fileName> among ..." when
    // none of the files exists).
    static std::optional<std::vector<void*>> OpenFirst(const std::vector<std::string>& files, const std::string& fileName,
                                                       const std::vector<const char*>& functions,
                                                       std::string& loadedFrom, std::string& failure);
};
