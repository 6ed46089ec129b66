#pragma once
// A player host for benchmarks: the window value is an index below kScratchWindows, each window is lent a
// frame buffer of its own, and frames are only counted. This is what a player costs when its frames
// go nowhere: the library decodes and converts every frame as it would for a real window.
#include <atomic>
#include <cstdint>

constexpr int kScratchWindows = 128;

namespace ScratchHost {

// Installs the host for the whole process (call it while no stream plays).
void Install();

// The window value for an index.
void* Window(int index);
// A window that counts the frames offered to it but lends no buffer, so the library converts none:
// what a player costs without its conversion, beside Window(index) with it. Counted in Frames(index).
void* CountingWindow(int index);

// Frames received by a window so far, and when the first arrived (steady clock ns, 0 before); both
// may be reset by the caller.
std::atomic<int>& Frames(int index);
std::atomic<std::int64_t>& FirstFrameNs(int index);

std::int64_t NowNs();

}  // namespace ScratchHost
