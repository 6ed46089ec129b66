#pragma once

#include "EncodedLoop.h"

#include <cstdint>
#include <future>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

namespace camsim {

// The pictures of the cameras' recordings: one second of a replay is one group of pictures (kGop
// frames, starting with a key frame) of the camera's moving picture with the recording's clock over
// it (ReplayClock), encoded when first asked for and kept for the seconds played most recently.
// Thread-safe: the replays' connection threads share it; a second being encoded is waited for, not
// encoded twice.
class ReplayClips {
public:
    static constexpr std::size_t kKept = 240;

    // The second `utcSecond` of the camera's recording at that size; null when encoding fails.
    std::shared_ptr<const EncodedLoop> Second(const std::string& deviceId, int width, int height,
                                              std::int64_t utcSecond);

private:
    using Key = std::tuple<std::string, int, int, std::int64_t>;
    using Clip = std::shared_future<std::shared_ptr<const EncodedLoop>>;

    std::mutex mutex_;
    std::map<Key, Clip> clips_;
    std::list<Key> order_;  // least recently asked for first
};

}  // namespace camsim
