// SPDX-License-Identifier: MIT
// A headless window's pixels on the drawing stand-in: fresh zeroed pages (filled only when the
// fill colour is not black), drawn into directly by the window's DC.

#include <vector>

#include "platform/headless/HeadlessBacking.h"
#include "platform/winapi/PixelAllocator.h"

struct HeadlessBacking::Memory {
    std::vector<std::uint32_t, PixelAllocator<std::uint32_t>> pixels;
};

HeadlessBacking::Memory* HeadlessBacking::MakeMemory(int width, int height, std::uint32_t fill) {
    auto* memory = new Memory;
    memory->pixels.assign(static_cast<std::size_t>(width) * height, fill);
    return memory;
}

void HeadlessBacking::MemoryDeleter::operator()(Memory* memory) const {
    delete memory;
}

std::uint32_t* HeadlessBacking::PixelsOf(Memory& memory) {
    return memory.pixels.data();
}

HBITMAP HeadlessBacking::BitmapOf(const Memory&) {
    return 0;
}
