// SPDX-License-Identifier: MIT
#pragma once
// A wl_shm buffer of XRGB8888 pixels (0x00RRGGBB in memory, the stage's own format) in a memory
// file of its own, mapped for writing. It tells its owner when the compositor lets go of it.

#include <cstdint>
#include <memory>

struct wl_buffer;
struct wl_buffer_listener;
struct wl_shm;

class ShmBuffer {
  public:
    // Told when the compositor released the buffer.
    class Owner {
      public:
        virtual ~Owner() = default;
        virtual void BufferReleased(int index) = 0;
    };

    // A buffer of width x height; null when the memory or the buffer cannot be made.
    static std::unique_ptr<ShmBuffer> Create(wl_shm* shm, int width, int height, Owner* owner,
                                             int index);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Rows of Stride() pixels.
    std::uint32_t* Pixels() { return m_pixels; }
    int Stride() const { return m_width; }
    wl_buffer* Buffer() const { return m_buffer; }

  private:
    ShmBuffer() = default;
    static void OnRelease(void* data, wl_buffer* buffer);
    static const wl_buffer_listener kListener;

    int m_width = 0;
    int m_height = 0;
    std::uint32_t* m_pixels = nullptr;
    std::size_t m_bytes = 0;
    wl_buffer* m_buffer = nullptr;
    Owner* m_owner = nullptr;
    int m_index = 0;
};
