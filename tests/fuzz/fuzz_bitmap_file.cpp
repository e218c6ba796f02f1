// SPDX-License-Identifier: MIT
// The bitmap loader on arbitrary bytes: truncated files, huge or negative dimensions, bad pixel
// offsets, every bit depth and compression. Whatever the bytes, LoadImageA either fails or gives
// a bitmap within the size limits whose pixels can be drawn from, and nothing leaks.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/winapi/BitmapFile.h"

namespace {

// The file the loader reads: an anonymous in-memory file, rewritten for every input.
struct MemoryFile {
    int fd = -1;
    std::string path;
    MemoryFile() {
        fd = memfd_create("bitmap", MFD_CLOEXEC);
        if (fd < 0)
            std::abort();
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    void Set(const std::uint8_t* data, std::size_t size) {
        if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
            std::abort();
    }
};

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// The dimensions the file header claims, read here independently of the decoder; false when
// the bytes carry no bitmap header.
bool ClaimedSize(const std::uint8_t* data, std::size_t size, long long& width, long long& height) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M')
        return false;
    const std::uint32_t headerSize = Le32(data + 14);
    if (headerSize == 12) {
        width = Le16(data + 18);
        height = Le16(data + 20);
    } else {
        width = static_cast<std::int32_t>(Le32(data + 18));
        height = static_cast<std::int32_t>(Le32(data + 22));
    }
    return true;
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    static const HDC target = [] {
        const HDC dc = CreateCompatibleDC(0);
        SelectObject(dc, CreateCompatibleBitmap(GetDC(0), 8, 8));
        return dc;
    }();
    static const int baseline = gdi::LiveObjectCount();
    file.Set(data, size);

    // The decoder alone.
    bitmap_file::Image image;
    const bool decoded = bitmap_file::Load(file.path.c_str(), image);
    if (decoded) {
        Check(image.width >= 1 && image.width <= bitmap_file::kMaxSide);
        Check(image.height >= 1 && image.height <= bitmap_file::kMaxSide);
        Check(image.pixels.size() == static_cast<std::size_t>(image.width) * image.height);
        Check(image.pixels.size() * 4 <= bitmap_file::kMaxBytes);
        for (std::uint32_t pixel : image.pixels)
            Check((pixel >> 24) == 0);
        // The size the header claims is the size loaded (rows may be stored top down).
        long long width = 0;
        long long height = 0;
        Check(ClaimedSize(data, size, width, height));
        Check(width == image.width && (height == image.height || -height == image.height));
    }

    // Through the drawing layer, as the graphics library loads its pictures.
    const HBITMAP bitmap = LoadImageA(0, file.path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    Check((bitmap != 0) == decoded);
    if (bitmap != 0) {
        BITMAP record{};
        Check(GetObjectA(bitmap, sizeof record, &record) == sizeof record);
        Check(record.bmWidth == image.width && record.bmHeight == image.height);
        const HDC source = CreateCompatibleDC(0);
        const HBITMAP previous = SelectObject(source, bitmap);
        Check(previous != 0);
        // Its corners and its middle drawn onto a small surface: every pixel is readable.
        const int xs[] = {0, record.bmWidth / 2, record.bmWidth - 8};
        const int ys[] = {0, record.bmHeight / 2, record.bmHeight - 8};
        for (int x : xs) {
            for (int y : ys)
                Check(BitBlt(target, 0, 0, 8, 8, source, x, y, SRCCOPY) == TRUE);
        }
        std::uint32_t pixels[64];
        Check(gdi::ReadPixels(target, 0, 0, 8, 8, pixels));
        SelectObject(source, previous);
        Check(DeleteObject(bitmap) == TRUE);
        Check(DeleteDC(source) == TRUE);
    }
    Check(gdi::LiveObjectCount() == baseline);
    return 0;
}
