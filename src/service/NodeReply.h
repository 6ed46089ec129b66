#pragma once

#include "service/NodeRecord.h"

#include <rapidjson/document.h>

#include <string>
#include <vector>

// Readers of the replies parsed with RapidJSON: the device-list query and the sub-account detail.

// Converts the reply from UTF-8 to the local code page, parses it and checks the integer "code".
// Returns false with errorText set ("GETJSONERROR", unparsable or too deeply nested, a refusal with its
// "msg", an envelope of the wrong shape); on success `document` holds the whole reply.
bool OpenNodeReply(const std::string& reply, rapidjson::Document& document, std::string& errorText);

// Parses an array of node objects (null elements give empty records; a null or absent array gives none).
// Throws ReplyFormatError for a member of another type than the tree holds.
void ParseNodeArray(const rapidjson::Value& array, std::vector<NodeRecord>& nodes);

// The whole device-list reader: 1 and the new roots on success, 0 with errorText set on failure (roots
// untouched then).
int ReadDeviceListReply(const std::string& reply, std::vector<NodeRecord>& roots, std::string& errorText);

// The member, or nullptr when it is absent or null; throws ReplyFormatError when `object` is no object.
const rapidjson::Value* RapidMember(const rapidjson::Value& object, const char* key);
// Member readers: absent or null members read as empty or 0; other mismatches throw ReplyFormatError.
std::string RapidText(const rapidjson::Value& object, const char* key);
std::int64_t RapidInt(const rapidjson::Value& object, const char* key);
