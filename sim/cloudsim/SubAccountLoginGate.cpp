#include "SubAccountLoginGate.h"

#include "Refusal.h"

namespace cloudsim {

bool SubAccountLoginGate::InWatchTime(const std::string& watchTime, const std::string& timeOfDay) {
    size_t start = 0;
    while (start <= watchTime.size()) {
        size_t end = watchTime.find('#', start);
        if (end == std::string::npos) end = watchTime.size();
        const std::string period = watchTime.substr(start, end - start);
        const size_t dash = period.find('-');
        if (dash != std::string::npos && period.substr(0, dash) <= timeOfDay && timeOfDay <= period.substr(dash + 1))
            return true;
        start = end + 1;
    }
    return false;
}

void SubAccountLoginGate::Admit(int64_t accountId, const std::string& watchTime, int64_t maxLoginCount,
                                std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char timeOfDay[16];
    std::strftime(timeOfDay, sizeof timeOfDay, "%H:%M:%S", &local);
    if (!watchTime.empty() && !InWatchTime(watchTime, timeOfDay))
    {
        std::string periods = watchTime;
        for (size_t at = periods.find('#'); at != std::string::npos; at = periods.find('#', at))
            periods.replace(at, 1, "、");
        throw Refusal(kDenied, "当前不在该子账号允许观看的时段内（" + periods + "），请在允许的时段内登录");
    }

    std::lock_guard<std::mutex> lock(mutex);
    std::deque<std::time_t>& logins = online[accountId];
    while (!logins.empty() && logins.front() + kLeaseSeconds <= now) logins.pop_front();
    if (maxLoginCount > 0 && static_cast<int64_t>(logins.size()) >= maxLoginCount)
        throw Refusal(kDenied, "该子账号同时登录的客户端已达上限（" + std::to_string(maxLoginCount) +
                                   "个），请稍后再试或请主账号调整最大在线数");
    logins.push_back(now);
}

void SubAccountLoginGate::Forget() {
    std::lock_guard<std::mutex> lock(mutex);
    online.clear();
}

}  // namespace cloudsim
