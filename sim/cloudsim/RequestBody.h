#pragma once
// The JSON object of a request, with typed access to its members. A member that is missing where
// it is required, or of another type than the request allows, is refused (kMalformed) naming it.
#include <json/json.h>

#include <cstdint>
#include <string>

namespace cloudsim {

class RequestBody {
public:
    // Parses a request body; anything but one JSON object (strict syntax, no duplicate keys, no
    // trailing text) is refused.
    static RequestBody Parse(const std::string& text);

    bool Has(const char* key) const;
    // A string member.
    std::string Text(const char* key) const;
    std::string OptText(const char* key) const;  // "" when absent
    // An identifier: a string or an integer, returned as text.
    std::string Id(const char* key) const;
    std::string OptId(const char* key) const;
    // An integer member (a JSON number without fraction).
    int64_t Int(const char* key) const;
    int64_t OptInt(const char* key, int64_t fallback) const;
    // An integer given either as a number or as a decimal text.
    int64_t Count(const char* key) const;
    const Json::Value& Member(const char* key) const;

private:
    explicit RequestBody(Json::Value root) : root(std::move(root)) {}
    Json::Value root;
};

}  // namespace cloudsim
