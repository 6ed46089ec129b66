#include "base/PictureMemory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

}  // namespace

void* PictureMemory::Allocate(std::size_t bytes)
{
    if (bytes < kHugePage)
        return std::aligned_alloc(64, (bytes + 63) & ~std::size_t(63));
    const std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* memory = std::aligned_alloc(kHugePage, rounded);
    // Only advice: without transparent huge pages the memory is the same, in small pages.
    if (memory != nullptr)
        madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
}
