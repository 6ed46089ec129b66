#include "support/MappedLibraries.h"

#include <fstream>
#include <sstream>

std::set<std::string> MappedLibraries(int pid)
{
    std::set<std::string> libraries;
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        // address perms offset device inode path: the path is whatever follows the fifth field.
        std::istringstream fields(line);
        std::string skipped, path;
        for (int i = 0; i < 5; ++i)
            fields >> skipped;
        std::getline(fields >> std::ws, path);
        const std::size_t slash = path.rfind('/');
        if (!path.empty() && path.front() == '/' && path.find(".so", slash) != std::string::npos)
            libraries.insert(path);
    }
    return libraries;
}

std::set<std::string> LibrariesNamed(const std::set<std::string>& libraries, const std::set<std::string>& prefixes)
{
    std::set<std::string> named;
    for (const std::string& library : libraries) {
        const std::string name = library.substr(library.rfind('/') + 1);
        for (const std::string& prefix : prefixes)
            if (name.compare(0, prefix.size(), prefix) == 0)
                named.insert(library);
    }
    return named;
}
