#pragma once

#include <json/value.h>

#include <string>

// Reads a camera's JSON reply. Missing members read as 0 or empty; a member of an unexpected type
// (an object where a number belongs, a number out of the int range, ...) also reads as 0 or empty but
// marks the reply as malformed, so the caller can refuse it instead of storing garbage.
class ReplyReader {
public:
    // False when the text is not a JSON object (also one nested deeper than any reply is, which the
    // JSON library would answer with an exception).
    bool Parse(const std::string& body);

    int Int(const char* key);
    std::string Text(const char* key);
    bool Malformed() const { return malformed_; }

private:
    Json::Value root_;
    bool malformed_ = false;
};
