#include "ChildProcess.h"

#include "ProcessUsage.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

extern char** environ;

double ProcessCpuSeconds(pid_t pid)
{
    // The sum of the threads' run time in nanoseconds (schedstat): /proc/PID/stat counts in clock ticks
    // of 10 ms, which over a 10 s window at 12 frames a second is 0.08 ms a frame.
    double seconds = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double runNs = 0;
        if (schedstat >> runNs)
            seconds += runNs / 1e9;
    }
    return seconds;
}

ChildRun Spawn(const std::vector<std::string>& args, bool keepStderr)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    int fds[2] = {-1, -1};
    if (keepStderr) {
        if (pipe(fds) != 0)
            std::exit(1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    ChildRun run;
    if (posix_spawnp(&run.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        run.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (keepStderr) {
        close(fds[1]);
        run.errFd = fds[0];
    }
    return run;
}

// CPU seconds (user + system) of a finished child.
double WaitCpu(pid_t pid)
{
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) < 0)
        return -1;
    return CpuSeconds(usage);
}

