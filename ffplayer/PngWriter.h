#pragma once

#include <string>

struct AVFrame;

namespace ffplayer {

// Encodes a decoded frame at its own size as a PNG file. True when the whole file was written.
bool WritePng(const AVFrame* frame, const std::string& path);

}  // namespace ffplayer
