#pragma once

#include <string>

// Records a camera's alarm with the cloud service, as a real camera uploads it with its picture.
class AlarmReporter {
public:
    virtual ~AlarmReporter() = default;
    // False when the service could not be told; the alarm notice is still pushed over IM.
    virtual bool Report(const std::string& deviceId, int warnType) = 0;
};
