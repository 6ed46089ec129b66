#pragma once

#include <string>
#include <utility>
#include <vector>

// A prosody of its own for one test or benchmark: a temporary run folder, a free loopback port, and
// accounts and rosters written straight into its data files. Stop() (or the destructor) ends it.
class PrivateProsody {
public:
    struct RosterItem {
        std::string user;  // user part; the domain is the device domain
        std::string name;  // empty: an item without name
    };

    PrivateProsody();
    ~PrivateProsody();

    // Starts the server; false with the reason in Error() when it does not come up within 5 s.
    bool Start();
    void Stop();
    // Starts the stopped (or killed) server again on the same port with the same data.
    bool Restart();
    // Ends the server abruptly (SIGKILL): connections drop without any closing stanza or presence.
    void Kill();
    int Port() const { return port_; }
    const std::string& Error() const { return error_; }

    void AddAccount(const std::string& user, const std::string& password);
    // Items with subscription "both". Write rosters before the user logs in.
    void SetRoster(const std::string& user, const std::vector<RosterItem>& items);

private:
    std::string HostFolder() const;
    bool Launch();

    std::string run_;
    std::string error_;
    int port_ = 0;
    int pid_ = -1;
};
