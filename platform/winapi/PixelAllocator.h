// SPDX-License-Identifier: MIT
#pragma once
// Memory for pixels, always handed out zeroed, so that a new surface reads as black.
//
// Large surfaces come straight from the system as fresh anonymous pages: those read as zero
// without being written, and take no memory until the first pixel on them is drawn, so a
// surface that is made but never drawn into (a sprite's build DC, a background store that the
// scene never fills) costs nothing, and a surface given back returns its pages at once. Those of
// at least one huge page are aligned to huge pages and marked for them: a frame touches a few
// rows of many sprites scattered over the whole stage, and with small pages nearly every row
// costs a page-table walk on a cold cache.
//
// Because the memory is zero already, a default-constructed element is left as it is: a vector
// of pixels resized on fresh memory writes nothing. Such a vector must therefore only grow into
// memory it never wrote (make it at its size, or resize it once); assign or fill for anything
// else.

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GLIMMERDEL_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define GLIMMERDEL_ADDRESS_SANITIZER 1
#endif

namespace pixel_memory {

inline constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this, the C library's zeroed blocks; from here on, pages of their own. Under the
// address sanitizer every block is the C library's, so that it watches the ends of them all.
#if defined(GLIMMERDEL_ADDRESS_SANITIZER)
inline constexpr std::size_t kOwnPages = static_cast<std::size_t>(-1);
#else
inline constexpr std::size_t kOwnPages = std::size_t{64} << 10;
#endif
inline constexpr bool kOwnPagesUsed = kOwnPages != static_cast<std::size_t>(-1);

inline std::size_t PageBytes(std::size_t bytes) {
    constexpr std::size_t kPage = 4096;
    return (bytes + kPage - 1) / kPage * kPage;
}

// Fresh anonymous pages (zero until written), or null.
inline void* MapPages(std::size_t length) {
    constexpr int kAccess = PROT_READ | PROT_WRITE;
    constexpr int kKind = MAP_PRIVATE | MAP_ANONYMOUS;
    // An anonymous mapping has no file: its descriptor is -1, as portable programs pass it.
    // cppcheck-suppress invalidFunctionArg
    void* memory = mmap(nullptr, length, kAccess, kKind, -1, 0);
    if (memory == MAP_FAILED)
        return nullptr;
    return memory;
}

// Zeroed memory for bytes (at least 1), or null when there is none.
inline void* Allocate(std::size_t bytes) {
    if (bytes < kOwnPages)
        return std::calloc(bytes == 0 ? 1 : bytes, 1);
    const std::size_t length = PageBytes(bytes);
    if (length < kHugePage)
        return MapPages(length);
    // Map a huge page more than needed, then give back what lies before the first huge-page
    // boundary and after the end.
    const std::size_t mapped = length + kHugePage;
    void* memory = MapPages(mapped);
    if (memory == nullptr)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(memory);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start)
        munmap(memory, aligned - start);
    const std::uintptr_t end = start + mapped;
    if (end > aligned + length)
        munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    // Only the whole huge pages are marked: the rest stays on small pages, so that the surface
    // costs no more memory than its pixels. Only a hint.
    madvise(reinterpret_cast<void*>(aligned), length / kHugePage * kHugePage, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

inline void Free(void* memory, std::size_t bytes) noexcept {
    if (memory == nullptr)
        return;
    if (bytes < kOwnPages) {
        std::free(memory);
    } else {
        munmap(memory, PageBytes(bytes));
    }
}

}  // namespace pixel_memory

template <typename T>
class PixelAllocator {
    static_assert(std::is_trivially_default_constructible_v<T> && std::is_trivially_copyable_v<T>,
                  "pixels are plain numbers");

  public:
    using value_type = T;

    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        void* memory = pixel_memory::Allocate(count * sizeof(T));
        if (memory == nullptr)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t count) noexcept {
        pixel_memory::Free(memory, count * sizeof(T));
    }

    // A pixel made without a value keeps the zero its fresh memory holds.
    template <typename U>
    void construct(U*) noexcept {}
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const PixelAllocator<U>&) const noexcept {
        return true;
    }
};
