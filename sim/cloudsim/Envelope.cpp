#include "Envelope.h"

namespace cloudsim {

namespace {
std::string Write(const Json::Value& reply) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, reply);
}
}  // namespace

std::string SuccessReply(const Json::Value& result) {
    Json::Value reply(Json::objectValue);
    reply["code"] = 0;
    reply["msg"] = "操作成功";
    reply["result"] = result;
    return Write(reply);
}

std::string RefusalReply(int code, const std::string& message) {
    Json::Value reply(Json::objectValue);
    reply["code"] = code;
    reply["msg"] = message;
    reply["result"] = Json::Value(Json::objectValue);
    return Write(reply);
}

}  // namespace cloudsim
