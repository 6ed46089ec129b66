#pragma once
// Processes a benchmark starts beside the measured one (ffmpeg, ffplay, a player process) and their CPU.
#include <sys/types.h>

#include <string>
#include <vector>

struct ChildRun {
    pid_t pid = -1;
    int errFd = -1;  // the child's standard error, when kept; -1 otherwise
};

// Starts the command (looked up in PATH) with standard input and output on /dev/null, and standard
// error on /dev/null or, with `keepStderr`, on a pipe the caller reads and closes. pid -1 on failure.
ChildRun Spawn(const std::vector<std::string>& args, bool keepStderr);

// CPU seconds all threads of a running (or not yet reaped) process have used so far; 0 when unknown.
double ProcessCpuSeconds(pid_t pid);

// Waits for a child and answers its CPU seconds (user + system); -1 when it cannot be waited for.
double WaitCpu(pid_t pid);
