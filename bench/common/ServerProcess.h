#pragma once
// The simulated cameras' streams in a forked child process, so that their CPU is not counted as the
// measured process's. Start it before the measuring process starts any thread (fork keeps one thread).
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ServerProcess {
    // Camera id and the live stream's width x height.
    using Cameras = std::vector<std::pair<std::string, std::pair<int, int>>>;

    pid_t pid = -1;
    std::uint16_t port = 0;

    // Encodes every camera's loop in the child and returns once it serves them; exits the program if the
    // child cannot be started.
    void Start(const Cameras& cameras);
    std::string Url(const std::string& id) const;
    void Stop();
};
