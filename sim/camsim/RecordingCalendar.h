#pragma once

#include <cstdint>
#include <optional>

// When a simulated camera has recordings: around the clock over the last seven days up to now,
// except every night from 02:00 to 03:00 local time, when the cameras do their maintenance and
// record nothing. A search is answered with the first stretch of recording inside its period.
namespace RecordingCalendar {

constexpr std::int64_t kKeptSeconds = 7 * 24 * 3600;
constexpr int kGapStartHour = 2;  // local time; the gap lasts one hour
constexpr int kGapHours = 1;

struct Span {
    std::int64_t from = 0;  // seconds since 1970, end exclusive
    std::int64_t to = 0;
};

// The first stretch recorded without a break within [start, end), or nothing when the period holds
// no recording at all.
std::optional<Span> FirstRecorded(std::int64_t start, std::int64_t end, std::int64_t nowUtc);

}  // namespace RecordingCalendar
