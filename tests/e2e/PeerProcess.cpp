#include "PeerProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

bool Listening(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

bool Alive(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, comm, state;
    return stat >> pidText >> comm >> state && state != "Z";
}

}  // namespace

PeerProcess::PeerProcess(std::string runDir, std::string name, int port)
    : run_(std::move(runDir)), name_(std::move(name)), port_(port)
{
}

PeerProcess::~PeerProcess()
{
    if (IsStopped())
        Restart();
}

bool PeerProcess::Stop(bool abruptly)
{
    std::ifstream pidFile(run_ + "/" + name_ + ".pid");
    pid_t pid = 0;
    if (!(pidFile >> pid) || pid <= 0) {
        error_ = "no " + name_ + " pid in " + run_;
        return false;
    }
    std::ifstream cmdlineFile("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string cmdline((std::istreambuf_iterator<char>(cmdlineFile)), std::istreambuf_iterator<char>());
    if (cmdline.empty() || cmdline.find(run_) == std::string::npos) {
        error_ = name_ + " (pid " + std::to_string(pid) + ") is not the fixture's";
        return false;
    }
    if (::kill(pid, abruptly ? SIGKILL : SIGTERM) != 0) {
        error_ = "cannot signal " + name_;
        return false;
    }
    for (int i = 0; i < 200 && Alive(pid); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (Alive(pid)) {
        ::kill(pid, SIGKILL);
        for (int i = 0; i < 100 && Alive(pid); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    cmdline_ = cmdline;
    return true;
}

bool PeerProcess::Restart(std::chrono::milliseconds timeout)
{
    if (!IsStopped())
        return false;
    std::string command = "setsid";
    for (size_t start = 0; start < cmdline_.size();) {
        const size_t end = cmdline_.find('\0', start);
        command += " '" + cmdline_.substr(start, end - start) + "'";
        start = end == std::string::npos ? cmdline_.size() : end + 1;
    }
    command += " >> '" + run_ + "/" + name_ + ".log' 2>&1 < /dev/null & echo $! > '" + run_ + "/" + name_ + ".pid'";
    cmdline_.clear();
    if (std::system(command.c_str()) != 0) {
        error_ = "cannot start " + name_;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Listening(port_)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            error_ = name_ + " did not listen on " + std::to_string(port_);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
