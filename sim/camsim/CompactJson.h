#pragma once

#include <json/json.h>

#include <string>

// One-line JSON with UTF-8 text as is: the form of the cameras' replies and of the control interface.
std::string CompactJson(const Json::Value& value);
