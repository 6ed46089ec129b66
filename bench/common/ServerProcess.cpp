#include "ServerProcess.h"

#include "video/StreamServer.h"

extern "C" {
#include <libavutil/log.h>
}

#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

void ServerProcess::Start(const Cameras& cameras)
{
    int fds[2];
    if (pipe(fds) != 0)
        std::exit(1);
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        sigset_t stopSignals;
        sigemptyset(&stopSignals);
        sigaddset(&stopSignals, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
        av_log_set_level(AV_LOG_ERROR);
        camsim::StreamServer server;
        if (!server.Start())
            _exit(1);
        for (const auto& [id, size] : cameras) {
            server.SetLiveSize(id, size.first, size.second);
            server.Prepare(id);
        }
        const std::uint16_t bound = server.Port();
        if (write(fds[1], &bound, sizeof bound) != sizeof bound)
            _exit(1);
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.Stop();
        _exit(0);
    }
    close(fds[1]);
    if (read(fds[0], &port, sizeof port) != sizeof port)
        std::exit(1);
    close(fds[0]);
}

std::string ServerProcess::Url(const std::string& id) const
{
    return "http://127.0.0.1:" + std::to_string(port) + "/live/" + id + ".flv";
}

void ServerProcess::Stop()
{
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}
