// camsim_streams [--port N] [--size WxH] ID...: serves the live streams of the given cameras until
// SIGINT or SIGTERM, after printing one live address per line (then "ready").
#include "video/StreamServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    int port = 0, width = 640, height = 360;
    std::vector<std::string> ids;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc)
            port = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc && std::sscanf(argv[++i], "%dx%d", &width, &height) == 2)
            continue;
        else
            ids.emplace_back(argv[i]);
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // the server's threads inherit the mask

    camsim::StreamServer server;
    if (!server.Start(static_cast<std::uint16_t>(port))) {
        std::fprintf(stderr, "cannot listen on port %d\n", port);
        return 1;
    }
    for (const std::string& id : ids) {
        server.SetLiveSize(id, width, height);
        server.Prepare(id);
        std::printf("%s\n", server.LiveUrl(id).c_str());
    }
    std::printf("ready\n");
    std::fflush(stdout);
    int signal = 0;
    sigwait(&signals, &signal);
    server.Stop();
    return 0;
}
