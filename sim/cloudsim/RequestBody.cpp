#include "RequestBody.h"

#include "Refusal.h"

#include <charconv>
#include <memory>

namespace cloudsim {

namespace {
[[noreturn]] void WrongType(const char* key) {
    throw Refusal(kMalformed, std::string("请求参数“") + key + "”缺失或类型不正确");
}
bool IsInteger(const Json::Value& value) {
    return (value.type() == Json::intValue || value.type() == Json::uintValue) && value.isInt64();
}
}  // namespace

RequestBody RequestBody::Parse(const std::string& text) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    builder["stackLimit"] = 64;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    bool parsed = false;
    try {
        parsed = reader->parse(text.data(), text.data() + text.size(), &root, &errors);
    } catch (const Json::Exception&) {
        parsed = false;  // nesting deeper than the stack limit
    }
    if (!parsed || !root.isObject()) throw Refusal(kMalformed, "请求格式错误：请求内容必须是一个JSON对象");
    return RequestBody(std::move(root));
}

bool RequestBody::Has(const char* key) const { return root.isMember(key); }

const Json::Value& RequestBody::Member(const char* key) const { return root[key]; }

std::string RequestBody::Text(const char* key) const {
    const Json::Value& value = root[key];
    if (!value.isString()) WrongType(key);
    return value.asString();
}

std::string RequestBody::OptText(const char* key) const { return Has(key) ? Text(key) : std::string(); }

std::string RequestBody::Id(const char* key) const {
    const Json::Value& value = root[key];
    if (value.isString()) return value.asString();
    if (IsInteger(value)) return std::to_string(value.asInt64());
    WrongType(key);
}

std::string RequestBody::OptId(const char* key) const { return Has(key) ? Id(key) : std::string(); }

int64_t RequestBody::Int(const char* key) const {
    const Json::Value& value = root[key];
    if (!IsInteger(value)) WrongType(key);
    return value.asInt64();
}

int64_t RequestBody::OptInt(const char* key, int64_t fallback) const { return Has(key) ? Int(key) : fallback; }

int64_t RequestBody::Count(const char* key) const {
    const Json::Value& value = root[key];
    if (IsInteger(value)) return value.asInt64();
    if (value.isString()) {
        std::string text = value.asString();
        int64_t number = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error == std::errc() && end == text.data() + text.size() && !text.empty()) return number;
    }
    WrongType(key);
}

}  // namespace cloudsim
