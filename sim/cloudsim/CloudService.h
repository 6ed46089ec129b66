#pragma once
// The simulated cloud service: the HTTP JSON interface of the client (the command endpoint and the
// named endpoints), the alarm pictures, and a control interface for tests and the demo, over one
// SQLite database. Requests are served by cpp-httplib's thread pool; the database serialises them.
#include "AccountHandler.h"
#include "AlarmHandler.h"
#include "AlarmStaging.h"
#include "CommandTable.h"
#include "ControlHandler.h"
#include "Database.h"
#include "ImAccounts.h"
#include "RoleHandler.h"
#include "SubAccountHandler.h"
#include "TreeHandler.h"

#include <httplib.h>

#include <atomic>
#include <memory>
#include <string>

namespace cloudsim {

struct ServiceOptions {
    std::string dbPath = "cloudsim.db";
    bool reset = false;          // start from the demo data whatever the database holds
    std::string imHost = "127.0.0.1";
    int imPort = 5222;           // what the log-in reply announces
    std::string imDomain;        // the IM domain of users and cameras
    std::string imDataDir;       // prosody's data folder; empty: no IM provisioning
    std::string imConfig;        // the running prosody's configuration file (optional)
};

class CloudService {
public:
    // Opens the database, creating and seeding it when it is new (or when options.reset is set).
    explicit CloudService(const ServiceOptions& options);
    ~CloudService();

    // Binds to 127.0.0.1 (port 0: any free port); returns the port or -1.
    int Bind(int port);
    // Serves until Stop; call after Bind.
    void Run();
    // Ends Run, from any thread, also when Run has not begun listening yet; returns once Run returned.
    void Stop();

    // Back to the demo data, and the IM accounts with it.
    void Reset();
    ImAccounts& Im() { return *im; }

    static constexpr size_t kMaxBody = 1 << 20;

private:
    void Routes();
    // Runs a handler and writes its reply envelope (a refusal for anything it throws).
    void Serve(const httplib::Request& request, httplib::Response& response,
               const std::function<Json::Value(const RequestContext&)>& handler);
    RequestContext ContextOf(const httplib::Request& request) const;

    Database db;
    std::unique_ptr<ImAccounts> im;
    SubAccountLoginGate loginGate;
    AccountHandler accounts;
    TreeHandler tree;
    AlarmHandler alarms;
    SubAccountHandler subAccounts;
    RoleHandler roles;
    ControlHandler control;
    AlarmStaging staging;
    CommandTable table;
    httplib::Server server;
    int boundPort = 0;  // set by Bind before the server threads start
    std::atomic<bool> running{false};
    std::atomic<bool> stopRequested{false};
};

}  // namespace cloudsim
