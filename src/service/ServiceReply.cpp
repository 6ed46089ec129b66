#include "service/ServiceReply.h"

#include "service/CodePage.h"
#include "service/HttpTransport.h"
#include "service/JsonEscape.h"
#include "service/ServiceEndpoint.h"

#include <json/reader.h>

#include <climits>

std::string RefusalReason(const std::string& message)
{
    std::string reason = message.substr(0, message.find('\0'));
    return reason.empty() ? std::string(kRefusedText) : reason;
}

bool JsonDepthWithin(const std::string& text, int maxDepth)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth)
                return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

namespace {

void CheckObjectOrNull(const Json::Value& object)
{
    if (!object.isNull() && !object.isObject())
        throw ReplyFormatError("not an object");
}

const Json::Value& Member(const Json::Value& object, const char* key)
{
    static const Json::Value null;
    CheckObjectOrNull(object);
    return object.isNull() ? null : object[key];
}

// The refusal's reason: "msg" from UTF-8, or a plain text when the service gave none.
std::string RefusalText(const Json::Value& root)
{
    const Json::Value& msg = root["msg"];
    return RefusalReason(msg.isString() ? FromUtf8(msg.asString()) : std::string());
}

bool CodeIsZero(const Json::Value& code, CodeForm form)
{
    if (form == CodeForm::Text) {
        if (code.isArray() || code.isObject())
            throw ReplyFormatError("code");
        return code.asString() == "0";
    }
    if (code.isNull())
        return true;  // an absent code reads as 0
    // Any integer that is not 0 is a refusal, also one beyond 32 bits.
    if (!code.isInt64() && !code.isUInt64())
        throw ReplyFormatError("code");
    return code.isInt64() ? code.asInt64() == 0 : code.asUInt64() == 0;
}

}  // namespace

bool OpenJsonReply(const std::string& reply, CodeForm form, Json::Value& result, std::string& errorText)
{
    if (reply == kGetJsonError) {
        errorText = kConnectFailedText;
        return false;
    }
    Json::Value root;
    try {
        if (!JsonDepthWithin(reply) || !Json::Reader().parse(ReplaceLoneSurrogateEscapes(reply), root, false)) {
            errorText = kReplyUnreadableText;
            return false;
        }
        CheckObjectOrNull(root);
        if (root.isNull() || !CodeIsZero(root["code"], form)) {
            errorText = root.isNull() ? std::string(kReplyFormatText) : RefusalText(root);
            return false;
        }
    } catch (const std::exception&) {  // ReplyFormatError, or jsoncpp's own limits
        errorText = kReplyFormatText;
        return false;
    }
    result = root["result"];
    return true;
}

int CallService(const std::string& path, const std::string& body, CodeForm form, std::string& errorText,
                const std::function<void(const Json::Value& result)>& read)
{
    Json::Value result;
    if (!OpenJsonReply(PostServiceRequest(path, body), form, result, errorText))
        return -1;
    try {
        if (read)
            read(result);
    } catch (const ReplyFormatError&) {
        errorText = kReplyFormatText;
        return -1;
    }
    return 0;
}

std::string JsonText(const Json::Value& object, const char* key)
{
    const Json::Value& value = Member(object, key);
    if (value.isNull())
        return {};
    if (value.isString())
        return value.asString();
    if (value.isInt64())
        return std::to_string(value.asInt64());
    if (value.isUInt64())
        return std::to_string(value.asUInt64());
    throw ReplyFormatError(key);
}

std::string JsonUtf8Text(const Json::Value& object, const char* key)
{
    return FromUtf8(JsonText(object, key));
}

int JsonInt(const Json::Value& object, const char* key)
{
    const Json::Value& value = Member(object, key);
    if (value.isNull())
        return 0;
    if (value.isBool())
        return value.asBool() ? 1 : 0;
    if (value.isInt())
        return value.asInt();
    throw ReplyFormatError(key);
}

const Json::Value& JsonArray(const Json::Value& object, const char* key)
{
    const Json::Value& value = Member(object, key);
    if (!value.isNull() && !value.isArray())
        throw ReplyFormatError(key);
    return value;
}

void ForEachObject(const Json::Value& array, const std::function<void(const Json::Value& element)>& visit)
{
    if (array.isNull())
        return;
    if (!array.isArray())
        throw ReplyFormatError("not an array");
    for (const Json::Value& element : array) {
        CheckObjectOrNull(element);
        visit(element);
    }
}
