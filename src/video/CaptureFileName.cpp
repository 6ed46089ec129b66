#include "video/CaptureFileName.h"

#include <ctime>

std::string CaptureFileName(const std::string& extension)
{
    return CaptureFileName(extension, std::chrono::system_clock::now());
}

std::string CaptureFileName(const std::string& extension, std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return std::to_string(local.tm_year + 1900) + "_" + std::to_string(local.tm_mon + 1) + "_" +
           std::to_string(local.tm_mday) + "_" + std::to_string(local.tm_hour) + "_" +
           std::to_string(local.tm_min) + "_" + std::to_string(local.tm_sec) + "_" +
           std::to_string(millis < 0 ? millis + 1000 : millis) + extension;
}
