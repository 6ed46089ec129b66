#pragma once

#include <chrono>
#include <string>

// One process of the peers fixture (prosody, cloudsim, camsim), stopped by a test and started again
// exactly as scripts/peers.sh started it: the same command line, in a session of its own, its output
// appended to <run>/<name>.log and its pid written to <run>/<name>.pid. The destructor starts it
// again if the test has not, so a failing test leaves the stack as it found it.
class PeerProcess {
public:
    PeerProcess(std::string runDir, std::string name, int port);
    ~PeerProcess();

    // Ends the process (SIGTERM, or SIGKILL when `abruptly`), waits until it is gone. False with the
    // reason in Error() when no such process runs.
    bool Stop(bool abruptly);
    // Starts it again; true once it listens on its port of 127.0.0.1 (within the time-out).
    bool Restart(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    bool IsStopped() const { return !cmdline_.empty(); }
    const std::string& Error() const { return error_; }

private:
    std::string run_;
    std::string name_;
    int port_;
    std::string cmdline_;  // NUL-separated, while stopped
    std::string error_;
};
