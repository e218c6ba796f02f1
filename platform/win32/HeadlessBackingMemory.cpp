// SPDX-License-Identifier: MIT
// A headless window's pixels on Windows: a 32-bit top-down bitmap of the system's (a DIB
// section), so that the real drawing calls draw into it and the pixels can be read as 0x00RRGGBB
// words once the system has finished every call on them.

#include <algorithm>

#include "platform/headless/HeadlessBacking.h"

struct HeadlessBacking::Memory {
    HBITMAP bitmap = nullptr;
    std::uint32_t* bits = nullptr;
};

HeadlessBacking::Memory* HeadlessBacking::MakeMemory(int width, int height, std::uint32_t fill) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr)
        return nullptr;
    auto* memory = new Memory{bitmap, static_cast<std::uint32_t*>(bits)};
    std::fill_n(memory->bits, static_cast<std::size_t>(width) * height, fill);
    return memory;
}

void HeadlessBacking::MemoryDeleter::operator()(Memory* memory) const {
    if (memory->bitmap != nullptr)
        DeleteObject(memory->bitmap);
    delete memory;
}

std::uint32_t* HeadlessBacking::PixelsOf(Memory& memory) {
    GdiFlush();
    return memory.bits;
}

HBITMAP HeadlessBacking::BitmapOf(const Memory& memory) {
    return memory.bitmap;
}
