#pragma once

#include <json/value.h>

#include <functional>
#include <stdexcept>
#include <string>

// Failure texts of the service requests, shown to the user as they are.
inline constexpr char kConnectFailedText[] = "连接总控服务器失败";
inline constexpr char kReplyUnreadableText[] = "总控服务器的应答无法解析";
inline constexpr char kReplyFormatText[] = "总控服务器的应答格式不正确";
inline constexpr char kRefusedText[] = "总控服务器拒绝了请求";

// Replies nested deeper than this are refused before any parser sees them.
inline constexpr int kMaxJsonDepth = 200;

// How a reader compares "code" with 0: its text form with "0", or its integer value with 0.
enum class CodeForm { Text, Integer };

// A reply member of another JSON type than the reader expects.
class ReplyFormatError : public std::runtime_error {
public:
    explicit ReplyFormatError(const std::string& what) : std::runtime_error(what) {}
};

// The reason shown for a refusal: the service's message up to any NUL, or kRefusedText when that is empty.
std::string RefusalReason(const std::string& message);

// True when no array or object in `text` is nested deeper than `maxDepth` (strings are skipped).
bool JsonDepthWithin(const std::string& text, int maxDepth = kMaxJsonDepth);

// Applies the reply envelope with jsoncpp: "GETJSONERROR", an unparsable reply, a refusal ("code" not 0,
// with "msg" converted from UTF-8 as the reason) and a malformed envelope each return false with
// errorText set. On success `result` holds "result" (null when absent).
bool OpenJsonReply(const std::string& reply, CodeForm form, Json::Value& result, std::string& errorText);

// Posts `body` to `path` on the service, opens the envelope and runs `read` on "result". `read` throws
// ReplyFormatError for a member of the wrong type, so it must store its data only after reading all of it.
// Returns 0 on success and -1 on failure with errorText set.
int CallService(const std::string& path, const std::string& body, CodeForm form, std::string& errorText,
                const std::function<void(const Json::Value& result)>& read = {});

// Member readers of jsoncpp replies. An absent member, or a null parent (no "result"), reads as empty or 0;
// any other mismatch throws ReplyFormatError.
std::string JsonText(const Json::Value& object, const char* key);      // a string, or the text of a number
std::string JsonUtf8Text(const Json::Value& object, const char* key);  // JsonText converted from UTF-8
int JsonInt(const Json::Value& object, const char* key);              // an integer (or a boolean)
const Json::Value& JsonArray(const Json::Value& object, const char* key);  // an array, or null
// Each element of an array that must be an object (or null, read as empty).
void ForEachObject(const Json::Value& array, const std::function<void(const Json::Value& element)>& visit);
