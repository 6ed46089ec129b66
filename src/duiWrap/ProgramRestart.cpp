#include "duiWrap/ProgramRestart.h"

#include <glog/logging.h>

#include <spawn.h>

#include <cerrno>
#include <cstring>

extern char** environ;

bool ProgramRestart::StartNewInstance()
{
    char path[] = "/proc/self/exe";
    char* const argv[] = {path, nullptr};
    pid_t child = 0;
    const int error = posix_spawn(&child, path, nullptr, nullptr, argv, environ);
    if (error != 0) {
        LOG(ERROR) << "starting a new instance failed: " << std::strerror(error);
        return false;
    }
    return true;
}
