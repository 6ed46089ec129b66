#pragma once

#include <cstdint>
#include <vector>

namespace camsim {

// Builders of the FLV bytes the stream server sends: the file header of a video-only stream, an
// onMetaData script tag, and tags around prepared bodies.
namespace flv {

void AppendFileHeader(std::vector<std::uint8_t>& out);
// duration 0 announces a live stream. A replay sends it again after a seek, with the new length.
void AppendMetadata(std::vector<std::uint8_t>& out, std::uint32_t timestampMs, double durationSeconds, int width,
                    int height, double fps);
void AppendVideoTag(std::vector<std::uint8_t>& out, std::uint32_t timestampMs, const std::vector<std::uint8_t>& body);

}  // namespace flv
}  // namespace camsim
