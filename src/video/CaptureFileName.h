#pragma once

#include <chrono>
#include <string>

// Name of a recording or snapshot file: the local time the capture starts as
// year_month_day_hour_minute_second_millisecond in plain decimal, then the extension
// (for example 2016_3_9_14_5_7_42.flv).
std::string CaptureFileName(const std::string& extension);
std::string CaptureFileName(const std::string& extension, std::chrono::system_clock::time_point when);
