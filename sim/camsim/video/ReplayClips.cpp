#include "ReplayClips.h"

#include "ReplayClock.h"
#include "TestPattern.h"

#include <algorithm>

namespace camsim {

std::shared_ptr<const EncodedLoop> ReplayClips::Second(const std::string& deviceId, int width, int height,
                                                       std::int64_t utcSecond)
{
    const Key key{deviceId, width, height, utcSecond};
    Clip clip;
    std::promise<std::shared_ptr<const EncodedLoop>> promise;
    bool encodeHere = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = clips_.find(key);
        if (found != clips_.end()) {
            order_.remove(key);
            clip = found->second;
        } else {
            clip = promise.get_future().share();
            clips_.emplace(key, clip);
            encodeHere = true;
            if (clips_.size() > kKept) {
                clips_.erase(order_.front());
                order_.pop_front();
            }
        }
        order_.push_back(key);
    }
    if (encodeHere) {
        // The camera's moving picture continues from second to second; the clock shows this second.
        const std::int64_t firstFrame = utcSecond * EncodedLoop::kGop;
        promise.set_value(EncodedLoop::EncodeFrames(
            width, height, EncodedLoop::kGop,
            [&](int index, std::uint8_t* y, int yStride, std::uint8_t* u, std::uint8_t* v, int uvStride) {
                const int loopIndex = static_cast<int>((firstFrame + index) % EncodedLoop::kLength);
                DrawTestPattern(deviceId, loopIndex, EncodedLoop::kLength, width, height, y, yStride, u, v, uvStride);
                ReplayClock::Draw(utcSecond, width, height, y, yStride);
            }));
    }
    return clip.get();
}

}  // namespace camsim
