#pragma once

#include <cstddef>
#include <cstdlib>

// Memory for whole pictures, such as the BGRA frames a player writes (a 1280x720 one is 3.7 MB) and a
// window paints. A picture of 2 MB or more starts on a 2 MB boundary, is rounded up to whole 2 MB
// pages, and the kernel is asked to back it with huge pages where it offers them. A picture written a
// frame interval after it was last touched then misses the TLB a few times instead of some nine
// hundred (under a hypervisor each miss walks two page tables): filling a 1280x720 frame costs about
// half as much (bench/player/converter_bench). Smaller pictures are 64-byte aligned, as the
// converters' vector code wants rows.
class PictureMemory {
public:
    // Null when memory runs out. Released with std::free.
    static void* Allocate(std::size_t bytes);

    // Releases it for a std::unique_ptr.
    struct Deleter {
        void operator()(void* memory) const { std::free(memory); }
    };
};
