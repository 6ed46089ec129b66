#include "PrivateProsody.h"

#include "support/LoopbackPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>

#include <cctype>
#include <vector>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace {

std::string Encode(const std::string& text)
{
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool Listening(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

PrivateProsody::PrivateProsody()
{
    // The server is stopped and killed under this process's connected clients (the client under test,
    // simulated cameras): as in the programs, their writes to a closed connection must fail with EPIPE
    // rather than end the process.
    ::signal(SIGPIPE, SIG_IGN);
    char pattern[] = "/tmp/kelvue-prosody-XXXXXX";
    run_ = ::mkdtemp(pattern);
    std::filesystem::create_directories(HostFolder() + "/accounts");
    std::filesystem::create_directories(HostFolder() + "/roster");
}

PrivateProsody::~PrivateProsody()
{
    Stop();
    std::error_code ignored;
    std::filesystem::remove_all(run_, ignored);
}

std::string PrivateProsody::HostFolder() const
{
    return run_ + "/data/" + Encode(KELVUE_DEVICE_DOMAIN);
}

bool PrivateProsody::Start()
{
    port_ = FreeLoopbackPort();
    return Launch();
}

bool PrivateProsody::Restart()
{
    return pid_ <= 0 && port_ != 0 && Launch();
}

bool PrivateProsody::Launch()
{
    const std::string script = std::string(KELVUE_SOURCE_ROOT) + "/sim/prosody/run-prosody.sh";
    const std::string portVar = "KELVUE_PROSODY_PORT=" + std::to_string(port_);
    const std::string domainVar = std::string("KELVUE_DEVICE_DOMAIN=") + KELVUE_DEVICE_DOMAIN;
    std::vector<std::string> env = {portVar, domainVar, "PATH=/usr/sbin:/usr/bin:/sbin:/bin"};
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string logPath = run_ + "/out.log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string bash = "/bin/bash";
    std::vector<char*> argv = {bash.data(), const_cast<char*>(script.c_str()), run_.data(), nullptr};
    if (posix_spawn(&pid_, bash.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        error_ = "cannot start " + script;
        pid_ = -1;
        return false;
    }
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 250; ++i) {
        if (Listening(port_))
            return true;
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::ifstream log(logPath);
    error_ = "prosody did not come up on port " + std::to_string(port_) + ": " +
             std::string(std::istreambuf_iterator<char>(log), {});
    Stop();
    return false;
}

void PrivateProsody::Stop()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void PrivateProsody::Kill()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void PrivateProsody::AddAccount(const std::string& user, const std::string& password)
{
    std::ofstream(HostFolder() + "/accounts/" + Encode(user) + ".dat")
        << "return { [\"password\"] = \"" << password << "\"; };\n";
}

void PrivateProsody::SetRoster(const std::string& user, const std::vector<RosterItem>& items)
{
    std::ofstream out(HostFolder() + "/roster/" + Encode(user) + ".dat");
    out << "return {\n [false] = { [\"version\"] = 1; };\n";
    for (const auto& item : items) {
        out << " [\"" << item.user << "@" << KELVUE_DEVICE_DOMAIN << "\"] = { [\"subscription\"] = \"both\"; ";
        if (!item.name.empty())
            out << "[\"name\"] = \"" << item.name << "\"; ";
        out << "[\"groups\"] = {}; };\n";
    }
    out << "};\n";
}
