#pragma once

#include <cstdint>

namespace ffplayer {

// 4:2:0 pictures to 32-bit BGRA, the same bytes as libyuv's I420ToARGB (J420ToARGB for full range).
//
// On processors with AVX-512 (BW and VBMI) the rows are converted by our own code and written with
// streaming stores, which go around the caches; elsewhere, and for a target whose rows are not 64-byte
// aligned, libyuv converts. A player writes each picture once and the window reads it a frame interval
// later, by when a 1280x720 picture (3.7 MB) has left the caches anyway. Ordinary stores first read
// every line of the target back in, from memory, and push the decoder's own working set out on the
// way; streaming stores do neither. Measured in the player at 1280x720: about 3% less CPU per frame,
// and about 2% less for a process that also paints the frames into a window (docs/player.md).
class Yuv420ToBgra {
public:
    // Converts width x height pixels into `target` (rows `stride` bytes apart, at least width * 4);
    // false when libyuv refuses the sizes.
    static bool Convert(const std::uint8_t* y, int yStride, const std::uint8_t* u, int uStride, const std::uint8_t* v,
                        int vStride, std::uint8_t* target, int stride, int width, int height, bool fullRange);
};

}  // namespace ffplayer
