#include "app/ProgramFolders.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates every missing level of `folder` with owner-only permissions (as the XDG base directory rules
// ask for the data folder itself); levels that exist keep their permissions.
void CreatePrivateFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        const std::string level = folder.substr(0, slash);
        if (!IsFolder(level))
            mkdir(level.c_str(), 0700);
    }
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string ProgramFolders::UserDataDirectory(const std::string& xdgDataHome, const std::string& home)
{
    // Relative values of $XDG_DATA_HOME are invalid and ignored, as the base directory rules say.
    if (!xdgDataHome.empty() && xdgDataHome.front() == '/')
        return WithSlash(xdgDataHome) + "kelvue/";
    if (!home.empty())
        return WithSlash(home) + ".local/share/kelvue/";
    return std::string();
}

ProgramFolders ProgramFolders::Locate(const std::string& executableDirectory, const std::string& xdgDataHome,
                                      const std::string& home)
{
    ProgramFolders folders;
    const std::string executableFolder = WithSlash(executableDirectory);
    const std::string skinBeside = executableFolder + "skin/";
    const bool selfContained = IsFolder(skinBeside);
    if (selfContained && access(executableFolder.c_str(), W_OK) == 0) {
        folders.programDirectory_ = executableFolder;
        folders.skinDirectory_ = skinBeside;
        return folders;
    }
    folders.installed_ = true;
    folders.skinDirectory_ =
        selfContained ? skinBeside
                      : std::filesystem::path(executableFolder + "../share/kelvue/skin/").lexically_normal().string();
    folders.programDirectory_ = UserDataDirectory(xdgDataHome, home);
    if (folders.programDirectory_.empty())
        folders.programDirectory_ = executableFolder;  // no home at all: writes fail as in a read-only folder
    else
        CreatePrivateFolders(folders.programDirectory_);
    return folders;
}

std::vector<std::string> ProgramFolders::LibraryDirectories(const std::string& executableDirectory)
{
    const std::string executableFolder = WithSlash(executableDirectory);
    return {executableFolder,
            std::filesystem::path(executableFolder + "../lib/kelvue/").lexically_normal().string()};
}

ProgramFolders ProgramFolders::ForExecutable(const std::string& executableDirectory)
{
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr)
            home = user->pw_dir;
    }
    return Locate(executableDirectory, Environment("XDG_DATA_HOME"), home);
}
