#pragma once

#include <ctime>
#include <string>

// Today's date in UTC as YYYY-MM-DD, the form the service's date fields take.
inline std::string Today()
{
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &parts);
    return text;
}
