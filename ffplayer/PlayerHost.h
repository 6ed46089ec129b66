#pragma once

#include "FrameScaler.h"
#include "PlayInterface.h"

#include <cstdint>

// The process-wide host table installed by SetPlayerHost; safe to call from any thread.
namespace ffplayer {

// Converts the frame to BGRA at width x height into a buffer lent by the host for `window`, if it lends
// one. True when the window received the frame.
bool ShowFrame(void* window, const AVFrame* frame, int width, int height, FrameScaler& scaler);
void PostToWindow(void* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace ffplayer
