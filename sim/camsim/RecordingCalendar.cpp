#include "RecordingCalendar.h"

#include <algorithm>
#include <ctime>

namespace RecordingCalendar {

namespace {

// The nightly gap of the local day that contains `when`.
Span GapOfDay(std::int64_t when)
{
    const std::time_t at = static_cast<std::time_t>(when);
    std::tm local{};
    localtime_r(&at, &local);
    local.tm_hour = kGapStartHour;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    const std::int64_t from = std::mktime(&local);
    return {from, from + kGapHours * 3600};
}

}  // namespace

std::optional<Span> FirstRecorded(std::int64_t start, std::int64_t end, std::int64_t nowUtc)
{
    std::int64_t from = std::max(start, nowUtc - kKeptSeconds);
    const std::int64_t to = std::min(end, nowUtc);
    // Step over the gaps: a start inside one moves to its end; the stretch ends at the next gap.
    for (int day = 0; day < 9 && from < to; ++day) {
        const Span gap = GapOfDay(from);
        if (from >= gap.from && from < gap.to) {
            from = gap.to;
            continue;
        }
        const Span next = from < gap.from ? gap : GapOfDay(from + 24 * 3600);
        const std::int64_t stretchEnd = std::min(to, next.from);
        if (from < stretchEnd)
            return Span{from, stretchEnd};
        from = next.to;
    }
    return std::nullopt;
}

}  // namespace RecordingCalendar
