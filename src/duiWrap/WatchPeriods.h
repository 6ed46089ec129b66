#pragma once

#include <string>
#include <utility>
#include <vector>

// The periods of the day in which a sub-account may watch, as the sub-account window edits them:
// "HH:MM:SS" texts compared as texts, joined into the service's "S-E#S-E" form.
class WatchPeriods {
public:
    using Period = std::pair<std::string, std::string>;  // start, end
    enum class Check { Accepted, StartNotBeforeEnd, Overlaps };

    // Whether (start, end) may join `periods`: the start must come before the end, and it must not
    // overlap a listed period (periods that only touch do not overlap).
    static Check CanAdd(const std::vector<Period>& periods, const std::string& start, const std::string& end);
    // Periods joined by "#", each "start-end"; no period at all means the whole day.
    static std::string Join(const std::vector<Period>& periods);
    // The service's text split at "#", each period at its first "-".
    static std::vector<Period> Split(const std::string& watchTime);
};
