#include "base/PictureMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

// Every byte asked for is writable (AddressSanitizer checks the ends), rows start where the converters'
// vector code wants them, and a large picture starts on a huge page's boundary, without which the
// kernel cannot back it with huge pages.
TEST(PictureMemory, GivesWritableAlignedMemoryAndLargePicturesStartOnHugePages)
{
    const std::size_t hugePage = std::size_t(2) << 20;
    for (std::size_t bytes : {std::size_t(1), std::size_t(320 * 180 * 4 + 3), hugePage - 1, hugePage, hugePage + 1,
                              std::size_t(1280 * 720 * 4)}) {
        SCOPED_TRACE(bytes);
        void* memory = PictureMemory::Allocate(bytes);
        ASSERT_NE(memory, nullptr);
        const auto address = reinterpret_cast<std::uintptr_t>(memory);
        EXPECT_EQ(address % 64, 0u);
        if (bytes >= hugePage) {
            EXPECT_EQ(address % hugePage, 0u);
        }
        std::memset(memory, 0xa5, bytes);
        std::free(memory);
    }
}
