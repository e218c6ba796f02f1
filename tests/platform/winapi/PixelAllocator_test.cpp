// SPDX-License-Identifier: MIT
// Pixel memory: always zero when handed out, and large blocks take no memory before they are
// drawn into and give it back when freed.

#include "platform/winapi/PixelAllocator.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "platform/gdi.h"

namespace {

// How many of the pages under [memory, memory + bytes) are resident.
std::size_t ResidentPages(const void* memory, std::size_t bytes) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(memory) / page * page;
    const std::size_t length = reinterpret_cast<std::uintptr_t>(memory) + bytes - start;
    std::vector<unsigned char> flags((length + page - 1) / page);
    if (mincore(reinterpret_cast<void*>(start), length, flags.data()) != 0)
        return static_cast<std::size_t>(-1);
    std::size_t resident = 0;
    for (unsigned char flag : flags)
        resident += flag & 1;
    return resident;
}

TEST(PixelMemory, EverySizeComesZeroedAndLargeOnesUntouched) {
    constexpr std::size_t kLarge = std::size_t{64} << 10;
    for (std::size_t bytes : {std::size_t{0}, std::size_t{1}, std::size_t{28}, kLarge - 1, kLarge,
                              std::size_t{1} << 20, pixel_memory::kHugePage + 12345}) {
        auto* memory = static_cast<unsigned char*>(pixel_memory::Allocate(bytes));
        ASSERT_NE(memory, nullptr) << bytes;
        if (bytes >= pixel_memory::kOwnPages) {
            EXPECT_EQ(ResidentPages(memory, bytes), 0u) << bytes << " bytes resident at once";
        }
        std::size_t nonzero = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            nonzero += memory[i] != 0;
        EXPECT_EQ(nonzero, 0u) << bytes;
        if (pixel_memory::kOwnPagesUsed && bytes >= pixel_memory::kHugePage) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(memory) % pixel_memory::kHugePage, 0u);
        }
        if (bytes > 0) {
            memory[bytes - 1] = 0xAB;  // the last byte is ours to write
            EXPECT_EQ(memory[bytes - 1], 0xAB);
        }
        pixel_memory::Free(memory, bytes);
    }
}

TEST(PixelMemory, AVectorOfPixelsSizedOnceWritesNothingAndReadsBlack) {
    constexpr std::size_t kPixels = 1920 * 1080;
    std::vector<std::uint32_t, PixelAllocator<std::uint32_t>> pixels(kPixels);
    if (pixel_memory::kOwnPagesUsed) {
        EXPECT_LE(ResidentPages(pixels.data(), kPixels * 4), 1u);
    }
    pixels[kPixels / 2] = 0x123456;
    EXPECT_GE(ResidentPages(pixels.data(), kPixels * 4), 1u);
    EXPECT_EQ(pixels.front(), 0u);
    EXPECT_EQ(pixels.back(), 0u);
    // Values given explicitly are still written.
    std::vector<std::uint8_t, PixelAllocator<std::uint8_t>> filled(100000, 0xFF);
    EXPECT_EQ(filled.front(), 0xFF);
    EXPECT_EQ(filled.back(), 0xFF);
}

TEST(PixelMemory, ANewLargeBitmapIsBlackAndCostsNothingUntilDrawn) {
    const HDC dc = CreateCompatibleDC(0);
    const HBITMAP colour = CreateCompatibleBitmap(GetDC(GetDesktopWindow()), 1500, 1000);
    ASSERT_NE(colour, 0);
    const HGDIOBJ old = SelectObject(dc, colour);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{1499, 0}, std::pair{750, 500}, std::pair{0, 999},
                        std::pair{1499, 999}}) {
        EXPECT_EQ(GetPixel(dc, x, y), RGB(0, 0, 0)) << x << "," << y;
    }
    EXPECT_TRUE(SetPixel(dc, 1499, 999, RGB(1, 2, 3)));
    EXPECT_EQ(GetPixel(dc, 1499, 999), RGB(1, 2, 3));
    SelectObject(dc, old);
    DeleteObject(colour);
    DeleteDC(dc);
}

}  // namespace
