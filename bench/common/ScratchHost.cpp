#include "ScratchHost.h"

#include "PlayInterface.h"
#include "base/PictureMemory.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>

namespace {

struct Slot {
    // Used by the window's one decoding thread; allocated as a real window allocates its frames.
    std::unique_ptr<std::uint8_t, PictureMemory::Deleter> pixels;
    std::size_t bytes = 0;
    std::atomic<int> frames{0};
    std::atomic<std::int64_t> firstFrameNs{0};
};
std::array<Slot, kScratchWindows> g_slots;
constexpr std::uintptr_t kCountingOnly = std::uintptr_t(1) << 16;  // above every window index

std::uint8_t* Lend(void* window, int width, int height, int* stride)
{
    const auto index = reinterpret_cast<std::uintptr_t>(window);
    if ((index & kCountingOnly) != 0 && (index & ~kCountingOnly) < kScratchWindows) {
        g_slots[index & ~kCountingOnly].frames.fetch_add(1);
        return nullptr;
    }
    if (index >= kScratchWindows)
        return nullptr;
    *stride = (width * 4 + 63) & ~63;
    Slot& slot = g_slots[index];
    const std::size_t bytes = static_cast<std::size_t>(*stride) * height;
    if (bytes != slot.bytes) {
        slot.pixels.reset(static_cast<std::uint8_t*>(PictureMemory::Allocate(bytes)));
        slot.bytes = slot.pixels != nullptr ? bytes : 0;
    }
    return slot.pixels.get();
}

void Return(void* window, bool filled)
{
    Slot& slot = g_slots[reinterpret_cast<std::uintptr_t>(window)];
    if (!filled)
        return;
    std::int64_t none = 0;
    slot.firstFrameNs.compare_exchange_strong(none, ScratchHost::NowNs());
    slot.frames.fetch_add(1);
}

void Post(void*, unsigned, std::uintptr_t, std::intptr_t) {}

}  // namespace

namespace ScratchHost {

void Install()
{
    const PlayerHost host{&Lend, &Return, &Post};
    SetPlayerHost(&host);
}

void* Window(int index)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(index));
}

void* CountingWindow(int index)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(index) | kCountingOnly);
}

std::atomic<int>& Frames(int index)
{
    return g_slots[index].frames;
}

std::atomic<std::int64_t>& FirstFrameNs(int index)
{
    return g_slots[index].firstFrameNs;
}

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace ScratchHost
