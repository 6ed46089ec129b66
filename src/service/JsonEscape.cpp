#include "service/JsonEscape.h"

#include <cstdio>

namespace {

// The code unit of a "\uXXXX" escape starting at `at`, or -1 when there is none.
long EscapedUnit(const std::string& json, std::size_t at)
{
    if (json.size() < at + 6 || json[at] != '\\' || json[at + 1] != 'u')
        return -1;
    long unit = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        char c = json[i];
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0)
            return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

bool IsHighSurrogate(long unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(long unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string JsonEscape(const std::string& value)
{
    std::string escaped;
    escaped.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '"': escaped += "\\\""; break;
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += "\\r"; break;
        case '\t': escaped += "\\t"; break;
        case '\b': escaped += "\\b"; break;
        case '\f': escaped += "\\f"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
                escaped += code;
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

std::string ReplaceLoneSurrogateEscapes(const std::string& json)
{
    // Backslashes occur in JSON only inside strings (or comments, where a change does no harm), and
    // there always as pairs with the character they escape, so scanning pair by pair stays in step.
    std::string repaired;
    repaired.reserve(json.size());
    std::size_t i = 0;
    while (i < json.size()) {
        if (json[i] != '\\') {
            repaired += json[i++];
            continue;
        }
        long unit = EscapedUnit(json, i);
        if (IsHighSurrogate(unit) && IsLowSurrogate(EscapedUnit(json, i + 6))) {
            repaired.append(json, i, 12);
            i += 12;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            repaired += "\\ufffd";
            i += 6;
        } else {
            repaired.append(json, i, 2);
            i += 2;
        }
    }
    return repaired;
}
