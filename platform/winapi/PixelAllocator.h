#pragma once
// Memory for pixels. Large surfaces (the stage, the sky) get memory aligned to the system's huge
// pages and marked for them: a frame touches a few rows of many sprites scattered over the whole
// stage, and with small pages nearly every row costs a page-table walk on a cold cache.

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>

template <typename T>
class PixelAllocator {
  public:
    using value_type = T;

    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        const std::size_t bytes = count * sizeof(T);
        void* memory = nullptr;
        if (bytes >= kHugePage) {
            // Only the whole huge pages are marked: the rest stays on small pages, so that the
            // surface costs no more memory than its pixels.
            if (posix_memalign(&memory, kHugePage, bytes) != 0)
                memory = nullptr;
            if (memory != nullptr)
                madvise(memory, bytes / kHugePage * kHugePage, MADV_HUGEPAGE);  // only a hint
        } else {
            memory = std::malloc(bytes == 0 ? 1 : bytes);
        }
        if (memory == nullptr)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t) noexcept { std::free(memory); }

    template <typename U>
    bool operator==(const PixelAllocator<U>&) const noexcept {
        return true;
    }

  private:
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;
};
