#include "device/ReplyReader.h"

#include "service/JsonEscape.h"
#include "service/ServiceReply.h"

#include <json/reader.h>

#include <memory>

bool ReplyReader::Parse(const std::string& body)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    root_ = Json::Value();
    malformed_ = false;
    // jsoncpp throws beyond its nesting limit; any peer can send such a body, so it is refused first.
    if (!JsonDepthWithin(body))
        return false;
    const std::string text = ReplaceLoneSurrogateEscapes(body);
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root_, &errors))
            return false;
    } catch (const std::exception&) {
        root_ = Json::Value();
        return false;
    }
    return root_.isObject();
}

int ReplyReader::Int(const char* key)
{
    const Json::Value* member = root_.find(key, key + std::char_traits<char>::length(key));
    if (member == nullptr || member->isNull())
        return 0;
    if (member->isNumeric() && member->isConvertibleTo(Json::intValue))
        return member->asInt();
    malformed_ = true;
    return 0;
}

std::string ReplyReader::Text(const char* key)
{
    const Json::Value* member = root_.find(key, key + std::char_traits<char>::length(key));
    if (member == nullptr || member->isNull())
        return {};
    if (member->isString() || member->isNumeric() || member->isBool())
        return member->asString();
    malformed_ = true;
    return {};
}
