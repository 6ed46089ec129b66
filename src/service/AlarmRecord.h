#pragma once

#include <string>

// One alarm of the current page of the alarm query.
struct AlarmRecord {
    int warnType = 0;
    std::string imgUrl;     // address of the alarm picture
    std::string localPath;  // the picture's file under the picture folder; empty when "fileId" was unsafe
    std::string deviceId;
    std::string deviceAlias;  // local code page
    int key = 0;              // process-wide running number, never reused
    std::string nodeName;
    std::string createTime;  // as received
};

// One receiver of a camera's alarms.
struct WarnSetting {
    std::string loginUUID;
    int clientType = 0;  // display name in ClientTypeNames()
    std::string mobile;
    int warnStatus = 0;  // 1: this receiver gets the camera's alarms
    std::string warnSettingId;
};
