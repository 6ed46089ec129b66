#pragma once

#include <string>

struct AVFrame;

namespace ffplayer {

enum class PngResult { Written, NoSpace, Failed };

// Encodes a decoded frame at its own size as a PNG file. Written when the whole file was written;
// NoSpace when the disk, a quota or the file size limit had no room for it. A file that was not
// written whole is removed.
PngResult WritePng(const AVFrame* frame, const std::string& path);

}  // namespace ffplayer
