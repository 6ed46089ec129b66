#pragma once

#include <string>

// Escapes a value for insertion between the quotes of a JSON string: quote, backslash and control
// characters. Other bytes (UTF-8 or the local code page) pass unchanged, so ordinary values keep
// exactly their bytes.
std::string JsonEscape(const std::string& value);

// The JSON text with every lone UTF-16 surrogate escape ("\ude5c", or "\ud83d" not followed by a low
// surrogate escape) replaced by "\ufffd". Both parsers accept some lone surrogates and turn them into
// bytes that are not UTF-8, which nothing can write back and read again; pairs stay as they are.
std::string ReplaceLoneSurrogateEscapes(const std::string& json);

// The value escaped and between double quotes, ready to follow a member's colon.
inline std::string JsonQuoted(const std::string& value)
{
    return "\"" + JsonEscape(value) + "\"";
}
