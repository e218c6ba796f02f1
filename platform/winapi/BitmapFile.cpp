// SPDX-License-Identifier: MIT
#include "platform/winapi/BitmapFile.h"

#include <fcntl.h>
#include <stb/stb_image.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

namespace bitmap_file {
namespace {

// The decoder reads through these callbacks so that a file that ends before its pixel data does
// is noticed: the decoder itself would fill the missing rows with zeros.
struct Reader {
    std::FILE* file = nullptr;
    bool starved = false;  // the decoder wanted bytes after the end of the file
};

int Read(void* user, char* data, int size) {
    auto* reader = static_cast<Reader*>(user);
    if (size <= 0)
        return 0;
    const std::size_t got = std::fread(data, 1, static_cast<std::size_t>(size), reader->file);
    // The decoder refills its buffer only when it needs another byte: nothing left means the
    // file is shorter than its header says.
    if (got == 0)
        reader->starved = true;
    return static_cast<int>(got);
}

void Skip(void* user, int n) {
    auto* reader = static_cast<Reader*>(user);
    if (n > 0)
        std::fseek(reader->file, n, SEEK_CUR);
}

int Eof(void* user) {
    auto* reader = static_cast<Reader*>(user);
    return std::feof(reader->file) ? 1 : 0;
}

constexpr stbi_io_callbacks kCallbacks = {Read, Skip, Eof};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct PixelsFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

// The decoded bytes of a large picture are given back to the system page by page as they are
// converted: the scene's largest pictures are loaded when the rest of it is already in memory,
// and would otherwise take their memory twice for a moment. Only whole pages inside the block
// go (the allocator keeps its own records before the block's first byte and after its last),
// and nothing reads them again before the block is freed.
class ConsumedPages {
  public:
    static constexpr std::size_t kWorthIt = std::size_t{1} << 20;

    ConsumedPages(const stbi_uc* block, std::size_t bytes)
        : m_used(kPagesUsed && bytes >= kWorthIt),
          m_from(RoundUp(reinterpret_cast<std::uintptr_t>(block))),
          m_end(RoundDown(reinterpret_cast<std::uintptr_t>(block) + bytes)) {}

    // Everything before upTo has been read for the last time.
    void ReadUpTo(const stbi_uc* upTo) {
        if (!m_used)
            return;
        const std::uintptr_t to =
            std::min(RoundDown(reinterpret_cast<std::uintptr_t>(upTo)), m_end);
        if (to < m_from + kStep)
            return;
        madvise(reinterpret_cast<void*>(m_from), to - m_from, MADV_DONTNEED);
        m_from = to;
    }

  private:
#if defined(GLIMMERDEL_ADDRESS_SANITIZER)
    static constexpr bool kPagesUsed = false;  // the sanitizer's allocator watches its blocks
#else
    static constexpr bool kPagesUsed = true;
#endif
    static constexpr std::uintptr_t kPage = 4096;
    static constexpr std::uintptr_t kStep = 64 * kPage;
    static std::uintptr_t RoundUp(std::uintptr_t at) {
        return (at + kPage - 1) / kPage * kPage;
    }
    static std::uintptr_t RoundDown(std::uintptr_t at) {
        return at / kPage * kPage;
    }

    bool m_used;
    std::uintptr_t m_from;
    std::uintptr_t m_end;
};

}  // namespace

bool Load(const char* path, Image& image) {
    if (path == nullptr || *path == '\0')
        return false;
    // Only a regular file is a picture; opened without blocking, so that a named pipe in its
    // place does not hold the program up.
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(fdopen(fd, "rb"));
    if (!file) {
        close(fd);
        return false;
    }

    // The size first, from the header alone.
    Reader reader{file.get()};
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_callbacks(&kCallbacks, &reader, &width, &height, &channels))
        return false;
    // A file stored from the top row down gives its height as a negative number here.
    if (height < 0 && height != INT_MIN)
        height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    const std::size_t bytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (bytes > kMaxBytes)
        return false;
    // Every pixel takes at least one bit of the file (the decoder knows no compression): a header
    // that claims more pixels than the file can hold fails here, before the decoder allocates the
    // whole picture and fills it in from nothing.
    const long long leastPixelBytes = (static_cast<long long>(width) + 7) / 8 * height;
    if (st.st_size < leastPixelBytes)
        return false;

    // Then the pixels, from the start of the file again.
    if (std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    std::clearerr(file.get());
    reader = Reader{file.get()};
    int loadedWidth = 0;
    int loadedHeight = 0;
    std::unique_ptr<stbi_uc, PixelsFree> rgba(
        stbi_load_from_callbacks(&kCallbacks, &reader, &loadedWidth, &loadedHeight, &channels, 4));
    if (!rgba || reader.starved)
        return false;
    if (loadedWidth != width || loadedHeight != height)
        return false;

    try {
        image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const stbi_uc* in = rgba.get();
    ConsumedPages consumed(in, image.pixels.size() * 4);
    std::size_t done = 0;
    for (std::uint32_t& pixel : image.pixels) {
        pixel = (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2];
        in += 4;
        if (++done % (std::size_t{64} << 10) == 0)
            consumed.ReadUpTo(in);
    }
    image.width = width;
    image.height = height;
    return true;
}

}  // namespace bitmap_file
