#include "duiWrap/ProgramRestart.h"

#include <glog/logging.h>

#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

extern char** environ;

std::string ProgramRestart::ProgramPath()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    std::string program(path, static_cast<std::size_t>(length));
    // A program file replaced while running (a rebuild) reads as "<path> (deleted)": start the new one.
    const std::string deleted = " (deleted)";
    if (program.size() > deleted.size() && program.compare(program.size() - deleted.size(), deleted.size(), deleted) == 0)
        program.resize(program.size() - deleted.size());
    return program;
}

bool ProgramRestart::StartNewInstance()
{
    std::string program = ProgramPath();
    if (program.empty())
        program = "/proc/self/exe";
    char* const argv[] = {program.data(), nullptr};
    pid_t child = 0;
    const int error = posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ);
    if (error != 0) {
        LOG(ERROR) << "starting a new instance of " << program << " failed: " << std::strerror(error);
        return false;
    }
    LOG(INFO) << "started a new instance of " << program << " (pid " << child << ")";
    return true;
}
