#pragma once

#include <string>

// Escapes a value for insertion between the quotes of a JSON string: quote, backslash and control
// characters. Other bytes (UTF-8 or the local code page) pass unchanged, so ordinary values keep
// exactly their bytes.
std::string JsonEscape(const std::string& value);

// The value escaped and between double quotes, ready to follow a member's colon.
inline std::string JsonQuoted(const std::string& value)
{
    return "\"" + JsonEscape(value) + "\"";
}
