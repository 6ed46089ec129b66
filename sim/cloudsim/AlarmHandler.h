#pragma once
// Alarms: the receivers of a camera's alarms (cmd 36), alarm records page by page (cmd 39), arming
// and receiver switches (cmd 41), the alarm pictures, and recording a new alarm.
#include "CommandTable.h"
#include "Database.h"

#include <optional>
#include <string>

namespace cloudsim {

class AlarmHandler {
public:
    explicit AlarmHandler(Database& db) : db(db) {}
    void Register(CommandTable& table);

    // Records an alarm of a bound camera at the current time; returns the record as listed by
    // cmd 39. Refused for an unknown or unbound camera or an unknown type.
    Json::Value RecordAlarm(const std::string& deviceId, int warnType, const RequestContext& context);
    // The JPEG of an alarm picture, when the file id names an alarm.
    std::optional<std::string> Picture(const std::string& fileId);

    static constexpr int kPageSize = 20;

private:
    Json::Value Receivers(const RequestBody& body);
    Json::Value AlarmPage(const RequestBody& body, const RequestContext& context);
    Json::Value Arming(const RequestBody& body);

    Database& db;
};

}  // namespace cloudsim
