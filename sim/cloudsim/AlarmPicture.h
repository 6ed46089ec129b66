#pragma once
// The snapshot a camera took with an alarm: a 640x360 JPEG drawn from the alarm's data (a scene
// whose colours depend on the camera, a box around the "moving" object, the time of the alarm).
#include <string>

namespace cloudsim {

class AlarmPicture {
public:
    // Returns the JPEG bytes; throws std::runtime_error if the encoder fails.
    static std::string Render(const std::string& deviceId, const std::string& createTime, int warnType,
                              const std::string& fileId);
};

}  // namespace cloudsim
