#include "ReplayClips.h"

#include "ReplayClock.h"
#include "TestPattern.h"

#include <algorithm>
#include <vector>

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
        // The scene and the clock are drawn once; each frame only moves the block across them, so the
        // frames after the key frame cost the encoder almost nothing.
        const int chromaSize = (width / 2) * (height / 2);
        std::vector<std::uint8_t> base(static_cast<std::size_t>(width) * height), u(chromaSize), v(chromaSize);
        DrawTestPattern(deviceId, 0, EncodedLoop::kLength, width, height, base.data(), width, u.data(), v.data(),
                        width / 2);
        ReplayClock::Draw(utcSecond, width, height, base.data(), width);
        const std::int64_t firstFrame = utcSecond * EncodedLoop::kGop;
        promise.set_value(EncodedLoop::EncodeFrames(
            width, height, EncodedLoop::kGop,
            [&](int index, std::uint8_t* y, int yStride, std::uint8_t* uPlane, std::uint8_t* vPlane, int uvStride) {
                for (int row = 0; row < height; ++row)
                    std::copy_n(base.data() + row * width, width, y + row * yStride);
                for (int row = 0; row < height / 2; ++row) {
                    std::copy_n(u.data() + row * (width / 2), width / 2, uPlane + row * uvStride);
                    std::copy_n(v.data() + row * (width / 2), width / 2, vPlane + row * uvStride);
                }
                const int loopIndex = static_cast<int>((firstFrame + index) % EncodedLoop::kLength);
                DrawMovingBlock(loopIndex, EncodedLoop::kLength, width, height, y, yStride);
            }));
    }
    return clip.get();
}

}  // namespace camsim
