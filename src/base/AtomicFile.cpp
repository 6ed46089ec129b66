#include "base/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

bool AtomicFile::Read(const std::string& path, std::string& content)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    content = text.str();
    return !in.bad();
}

bool AtomicFile::Write(const std::string& path, const std::string& content, int mode)
{
    if (access(path.c_str(), W_OK) != 0 && errno != ENOENT)
        return false;
    std::string tempPath = path + ".XXXXXX";
    int fd = mkstemp(tempPath.data());  // created readable by the owner only
    if (fd < 0)
        return false;
    if (mode == kKeepMode) {
        struct stat existing {};
        mode = stat(path.c_str(), &existing) == 0 ? static_cast<int>(existing.st_mode & 07777) : 0644;
    }
    bool ok = fchmod(fd, static_cast<mode_t>(mode)) == 0;
    std::size_t written = 0;
    while (ok && written < content.size()) {
        ssize_t n = write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            written += static_cast<std::size_t>(n);
    }
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (ok && rename(tempPath.c_str(), path.c_str()) == 0)
        return true;
    unlink(tempPath.c_str());
    return false;
}
