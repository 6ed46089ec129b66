#pragma once
// The reply envelope: {"code":0,"msg":"...","result":...} on success, a non-zero code and a message
// for the user otherwise. UTF-8 is written as is (not as \u escapes).
#include <json/json.h>

#include <string>

namespace cloudsim {

std::string SuccessReply(const Json::Value& result);
std::string RefusalReply(int code, const std::string& message);

}  // namespace cloudsim
