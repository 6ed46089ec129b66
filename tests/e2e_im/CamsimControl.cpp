#include "CamsimControl.h"

#include "ClientRig.h"

#include <json/json.h>

#include <memory>

bool CamsimControl::Post(const std::string& deviceId, const std::string& action, const std::string& body)
{
    auto result = client_.Post(("/cameras/" + deviceId + "/" + action).c_str(), body, "application/json");
    return result && result->status == 200;
}

std::vector<std::string> CamsimControl::Received(const std::string& deviceId)
{
    std::vector<std::string> out;
    auto result = client_.Get(("/cameras/" + deviceId + "/received").c_str());
    if (!result || result->status != 200)
        return out;
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    const std::string& text = result->body;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors))
        return out;
    for (const auto& line : value["received"])
        out.push_back(line.asString());
    return out;
}

namespace {
bool ParseJson(const std::string& text, Json::Value& value)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    return reader->parse(text.data(), text.data() + text.size(), &value, &errors);
}
}  // namespace

bool CamsimControl::IsOnline(const std::string& deviceId)
{
    auto result = client_.Get("/cameras");
    Json::Value list;
    if (!result || result->status != 200 || !ParseJson(result->body, list) || !list.isArray())
        return false;
    for (const auto& camera : list)
        if (camera["deviceId"].asString() == deviceId)
            return camera["online"].asBool();
    return false;
}

std::vector<int> CamsimControl::ReceivedCmds(const std::string& deviceId)
{
    std::vector<int> cmds;
    for (const auto& body : Received(deviceId))
        if (int cmd = CmdOf(body); cmd >= 0)
            cmds.push_back(cmd);
    return cmds;
}
