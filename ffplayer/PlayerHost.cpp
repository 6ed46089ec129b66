#include "PlayerHost.h"

#include <atomic>

namespace {

// Each callback is an atomic so that installing the table never races with a delivering thread.
std::atomic<decltype(PlayerHost::deliverFrame)> g_deliverFrame{nullptr};
std::atomic<decltype(PlayerHost::postMessage)> g_postMessage{nullptr};

}  // namespace

extern "C" void SetPlayerHost(const PlayerHost* host)
{
    g_deliverFrame.store(host != nullptr ? host->deliverFrame : nullptr);
    g_postMessage.store(host != nullptr ? host->postMessage : nullptr);
}

namespace ffplayer {

void DeliverFrame(void* window, const std::uint8_t* bgra, int width, int height, int stride)
{
    if (auto deliver = g_deliverFrame.load())
        deliver(window, bgra, width, height, stride);
}

void PostToWindow(void* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (auto post = g_postMessage.load())
        post(window, message, wParam, lParam);
}

}  // namespace ffplayer
