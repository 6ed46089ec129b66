// Stands in for the client in the script tests: the first run starts a new instance of itself the way
// the switch-user command does and ends; the new instance waits until its parent has ended, checks
// that the peers still listen and ends too. Each run appends "<argv[0]> <peers listening 0|1>" to the
// file $KELVUE_PROBE_OUT; the file's line count tells a run which one it is.
#include "duiWrap/ProgramRestart.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

bool Listening(const char* port)
{
    if (port == nullptr)
        return false;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

}  // namespace

int main(int, char** argv)
{
    const char* out = std::getenv("KELVUE_PROBE_OUT");
    if (out == nullptr)
        return 2;
    int runs = 0;
    {
        std::ifstream in(out);
        for (std::string line; std::getline(in, line);)
            ++runs;
    }
    if (runs == 0) {
        std::ofstream(out, std::ios::app) << argv[0] << ' ' << Listening(std::getenv("KELVUE_PROSODY_PORT")) << '\n';
        return ProgramRestart::StartNewInstance() ? 0 : 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::ofstream(out, std::ios::app) << argv[0] << ' ' << Listening(std::getenv("KELVUE_PROSODY_PORT")) << '\n';
    return 0;
}
