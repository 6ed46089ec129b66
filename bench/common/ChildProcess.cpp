#include "ChildProcess.h"

#include "ProcessUsage.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

extern char** environ;

double ProcessCpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos)
        return 0;
    // Fields after the command: state is field 3; utime and stime are fields 14 and 15.
    std::vector<std::string> fields;
    std::size_t start = close + 2;
    while (start < line.size()) {
        const std::size_t end = line.find(' ', start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (fields.size() < 13)
        return 0;
    return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
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

