#pragma once

#include "PlayInterface.h"

#include <cstdint>

// The process-wide host table installed by SetPlayerHost; safe to call from any thread.
namespace ffplayer {

void DeliverFrame(void* window, const std::uint8_t* bgra, int width, int height, int stride);
void PostToWindow(void* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace ffplayer
