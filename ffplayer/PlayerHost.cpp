#include "PlayerHost.h"

#include <atomic>

namespace {

// Each callback is an atomic so that installing the table never races with a delivering thread.
std::atomic<decltype(PlayerHost::lendFrame)> g_lendFrame{nullptr};
std::atomic<decltype(PlayerHost::returnFrame)> g_returnFrame{nullptr};
std::atomic<decltype(PlayerHost::postMessage)> g_postMessage{nullptr};

}  // namespace

extern "C" void SetPlayerHost(const PlayerHost* host)
{
    g_lendFrame.store(host != nullptr ? host->lendFrame : nullptr);
    g_returnFrame.store(host != nullptr ? host->returnFrame : nullptr);
    g_postMessage.store(host != nullptr ? host->postMessage : nullptr);
}

namespace ffplayer {

bool ShowFrame(void* window, const AVFrame* frame, int width, int height, FrameScaler& scaler)
{
    auto lend = g_lendFrame.load();
    auto giveBack = g_returnFrame.load();
    if (lend == nullptr || giveBack == nullptr)
        return false;
    int stride = 0;
    std::uint8_t* target = lend(window, width, height, &stride);
    if (target == nullptr)
        return false;
    const bool filled = stride >= width * 4 && scaler.Scale(frame, target, stride, width, height);
    giveBack(window, filled);
    return filled;
}

void PostToWindow(void* window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (auto post = g_postMessage.load())
        post(window, message, wParam, lParam);
}

}  // namespace ffplayer
