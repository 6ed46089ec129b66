#pragma once
// Checks of the values users type (names, passwords, dates, watch periods); each failed check is a
// Refusal whose message names the field and what is allowed.
#include <ctime>
#include <string>

namespace cloudsim {

// A name shown to users: valid UTF-8 without control characters, 1 to maxChars characters after
// trimming blanks at both ends; returns the trimmed name.
std::string CheckName(const std::string& value, const char* field, size_t maxChars);
// A password: 6 to 32 printable ASCII characters.
void CheckPassword(const std::string& value, const char* field);
// A mobile number: 11 digits beginning with 1.
void CheckMobile(const std::string& value);
// A day "Y-M-D" (leading zeros optional); returns it normalised as "YYYY-MM-DD".
std::string CheckDay(const std::string& value, const char* field);
// Watch periods "HH:MM:SS-HH:MM:SS" joined by "#", each start before its end.
void CheckWatchTime(const std::string& value);
// True for the service's identifiers: 1 to 15 decimal digits.
bool IsDecimalId(const std::string& value);

// Calendar helpers, in UTC.
std::string FormatDay(std::time_t when);       // "YYYY-MM-DD"
std::string FormatDateTime(std::time_t when);  // "YYYY-MM-DD HH:MM:SS"

}  // namespace cloudsim
