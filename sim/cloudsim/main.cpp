// cloudsim: the simulated cloud service. See docs/cloudsim.md.
//   cloudsim [--port N] [--db PATH] [--reset] [--im-host HOST] [--im-port N] [--im-domain DOMAIN]
//            [--im-data DIR] [--im-config FILE] [--provision-only]
#include "CloudService.h"
#include "ImProvisioner.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>

namespace {

int Usage(const char* problem) {
    std::cerr << "cloudsim: " << problem << "\n"
              << "usage: cloudsim [--port N] [--db PATH] [--reset] [--im-host HOST] [--im-port N]\n"
              << "                [--im-domain DOMAIN] [--im-data DIR] [--im-config FILE] [--provision-only]\n";
    return 2;
}

bool ParsePort(const char* text, int& port) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 0 || value > 65535) return false;
    port = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    cloudsim::ServiceOptions options;
    options.imDomain = KELVUE_DEVICE_DOMAIN;
    int port = 8000;
    bool provisionOnly = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (arg == "--reset") {
            options.reset = true;
        } else if (arg == "--provision-only") {
            provisionOnly = true;
        } else if (arg == "--port" || arg == "--im-port") {
            int& target = arg == "--port" ? port : options.imPort;
            if (!(v = value()) || !ParsePort(v, target)) return Usage(("bad value for " + arg).c_str());
        } else if (arg == "--db" || arg == "--im-host" || arg == "--im-domain" || arg == "--im-data" ||
                   arg == "--im-config") {
            if (!(v = value())) return Usage(("missing value for " + arg).c_str());
            std::string& target = arg == "--db"          ? options.dbPath
                                  : arg == "--im-host"   ? options.imHost
                                  : arg == "--im-domain" ? options.imDomain
                                  : arg == "--im-data"   ? options.imDataDir
                                                         : options.imConfig;
            target = v;
        } else {
            return Usage(("unknown option " + arg).c_str());
        }
    }

    // SIGTERM and SIGINT are taken by one thread that stops the server; every other thread blocks them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        cloudsim::CloudService service(options);
        if (provisionOnly) {
            if (options.imDataDir.empty()) return Usage("--provision-only needs --im-data");
            auto figures = static_cast<cloudsim::ImProvisioner&>(service.Im()).SyncAndReport();
            std::cout << figures.accounts << " IM accounts in step with " << options.dbPath << " in "
                      << options.imDataDir << std::endl;
            return 0;
        }
        if (service.Bind(port) < 0) {
            std::cerr << "cloudsim: cannot listen on 127.0.0.1:" << port << " (in use?)" << std::endl;
            return 1;
        }
        std::atomic<bool> signalled{false};
        std::thread stopper([&service, &signalled, stopSignals] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            signalled = true;
            service.Stop();
        });
        std::cerr << "cloudsim: serving on 127.0.0.1:" << port << " with " << options.dbPath << std::endl;
        service.Run();
        if (!signalled) pthread_kill(stopper.native_handle(), SIGTERM);  // the server ended by itself
        stopper.join();
    } catch (const std::exception& error) {
        std::cerr << "cloudsim: " << error.what() << std::endl;
        return 1;
    }
    return 0;
}
