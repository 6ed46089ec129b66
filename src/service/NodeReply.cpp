#include "service/NodeReply.h"

#include "service/CodePage.h"
#include "service/HttpTransport.h"
#include "service/JsonEscape.h"
#include "service/ServiceReply.h"

const rapidjson::Value* RapidMember(const rapidjson::Value& object, const char* key)
{
    if (!object.IsObject())
        throw ReplyFormatError("not an object");
    auto member = object.FindMember(key);
    if (member == object.MemberEnd() || member->value.IsNull())
        return nullptr;
    return &member->value;
}

namespace {

NodeRecord ParseNode(const rapidjson::Value& value)
{
    NodeRecord node;
    if (value.IsNull())
        return node;
    node.nodeId = RapidText(value, "nodeId");
    node.parentId = RapidText(value, "parentId");
    node.nodeName = RapidText(value, "nodeName");
    node.nodeType = static_cast<std::int16_t>(RapidInt(value, "nodeType"));  // keeps the low 16 bits
    std::int64_t isMerge = RapidInt(value, "isMerge");
    if (isMerge < INT32_MIN || isMerge > INT32_MAX)
        throw ReplyFormatError("isMerge");
    node.isMerge = static_cast<std::int32_t>(isMerge);
    if (const rapidjson::Value* devices = RapidMember(value, "childDevices"); devices != nullptr && devices->IsArray()) {
        node.childDevices.reserve(devices->Size());
        for (const rapidjson::Value& element : devices->GetArray()) {
            DeviceRecord device;
            if (!element.IsNull()) {
                device.deviceId = RapidText(element, "deviceId");
                device.alias = RapidText(element, "alias");
                device.nodeType = static_cast<std::int16_t>(RapidInt(element, "nodeType"));
                std::int64_t warnStatus = RapidInt(element, "warnStatus");
                if (warnStatus < INT32_MIN || warnStatus > INT32_MAX)
                    throw ReplyFormatError("warnStatus");
                device.warnStatus = static_cast<std::int32_t>(warnStatus);
            }
            device.nodeId = node.nodeId;
            device.nodeName = node.nodeName;
            node.childDevices.push_back(std::move(device));
        }
    }
    if (const rapidjson::Value* children = RapidMember(value, "childNodes"); children != nullptr && children->IsArray())
        ParseNodeArray(*children, node.childNodes);
    return node;
}

}  // namespace

std::string RapidText(const rapidjson::Value& object, const char* key)
{
    const rapidjson::Value* value = RapidMember(object, key);
    if (value == nullptr)
        return {};
    if (!value->IsString())
        throw ReplyFormatError(key);
    return std::string(value->GetString(), value->GetStringLength());
}

std::int64_t RapidInt(const rapidjson::Value& object, const char* key)
{
    const rapidjson::Value* value = RapidMember(object, key);
    if (value == nullptr)
        return 0;
    if (!value->IsInt64())
        throw ReplyFormatError(key);
    return value->GetInt64();
}

void ParseNodeArray(const rapidjson::Value& array, std::vector<NodeRecord>& nodes)
{
    if (array.IsNull())
        return;
    if (!array.IsArray())
        throw ReplyFormatError("not an array");
    nodes.reserve(nodes.size() + array.Size());
    for (const rapidjson::Value& element : array.GetArray())
        nodes.push_back(ParseNode(element));
}

bool OpenNodeReply(const std::string& reply, rapidjson::Document& document, std::string& errorText)
{
    if (reply == kGetJsonError) {
        errorText = kConnectFailedText;
        return false;
    }
    std::string text = ReplaceLoneSurrogateEscapes(FromUtf8(reply));
    if (!JsonDepthWithin(text) || document.Parse(text.c_str(), text.size()).HasParseError()) {
        errorText = kReplyUnreadableText;
        return false;
    }
    if (!document.IsObject()) {
        errorText = kReplyFormatText;
        return false;
    }
    const rapidjson::Value* code = RapidMember(document, "code");
    if (code == nullptr)
        return true;  // an absent code reads as 0
    if (!code->IsInt64()) {
        errorText = kReplyFormatText;
        return false;
    }
    if (code->GetInt64() != 0) {
        const rapidjson::Value* msg = RapidMember(document, "msg");
        bool hasMsg = msg != nullptr && msg->IsString();
        errorText = RefusalReason(hasMsg ? std::string(msg->GetString(), msg->GetStringLength()) : std::string());
        return false;
    }
    return true;
}

int ReadDeviceListReply(const std::string& reply, std::vector<NodeRecord>& roots, std::string& errorText)
{
    rapidjson::Document document;
    if (!OpenNodeReply(reply, document, errorText))
        return 0;
    std::vector<NodeRecord> parsed;
    try {
        // A "result" that is absent or not an array leaves the tree empty and still succeeds.
        if (const rapidjson::Value* result = RapidMember(document, "result"); result != nullptr && result->IsArray())
            ParseNodeArray(*result, parsed);
    } catch (const ReplyFormatError&) {
        errorText = kReplyFormatText;
        return 0;
    }
    roots = std::move(parsed);
    return 1;
}
