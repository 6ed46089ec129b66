#pragma once
// What a sub-account must meet to log in besides its password and validity date: the time of day lies
// in one of its viewing periods, and fewer clients than its maximum are logged in with it.
//
// The protocol has no log-out and no keep-alive towards the service, so a log-in counts as online for
// a lease (kLeaseSeconds) after it was granted; a reset of the demo data forgets them all.
// Threads: Admit and Forget may be called from any request thread (one mutex).
#include <cstdint>
#include <ctime>
#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace cloudsim {

class SubAccountLoginGate {
public:
    static constexpr std::time_t kLeaseSeconds = 600;

    // True when "HH:MM:SS" lies in one of the periods ("S-E#S-E...", both ends included).
    static bool InWatchTime(const std::string& watchTime, const std::string& timeOfDay);

    // Refuses (throws Refusal) a log-in outside the periods or beyond the maximum count; otherwise
    // records it as online until the lease runs out.
    void Admit(int64_t accountId, const std::string& watchTime, int64_t maxLoginCount, std::time_t now);
    void Forget();

private:
    std::mutex mutex;
    std::map<int64_t, std::deque<std::time_t>> online;  // log-in times per account, oldest first
};

}  // namespace cloudsim
