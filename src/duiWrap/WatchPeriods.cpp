#include "duiWrap/WatchPeriods.h"

WatchPeriods::Check WatchPeriods::CanAdd(const std::vector<Period>& periods, const std::string& start,
                                         const std::string& end)
{
    if (start >= end)
        return Check::StartNotBeforeEnd;
    for (const auto& [s, e] : periods) {
        if ((s < start && e > start) || (s < end && e > end) || (s >= start && e <= end))
            return Check::Overlaps;
    }
    return Check::Accepted;
}

std::string WatchPeriods::Join(const std::vector<Period>& periods)
{
    if (periods.empty())
        return "00:00:00-23:59:59";
    std::string text;
    for (const auto& [start, end] : periods)
        text += (text.empty() ? "" : "#") + start + "-" + end;
    return text;
}

std::vector<WatchPeriods::Period> WatchPeriods::Split(const std::string& watchTime)
{
    std::vector<Period> periods;
    if (watchTime.empty())
        return periods;
    size_t from = 0;
    while (from <= watchTime.size()) {
        size_t to = watchTime.find('#', from);
        if (to == std::string::npos)
            to = watchTime.size();
        const std::string period = watchTime.substr(from, to - from);
        const size_t dash = period.find('-');
        periods.emplace_back(period.substr(0, dash), dash == std::string::npos ? std::string() : period.substr(dash + 1));
        from = to + 1;
    }
    return periods;
}
