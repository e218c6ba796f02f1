// SPDX-License-Identifier: MIT
#pragma once
// The pixels of a Wayland surface, and how changed rectangles reach the compositor.
//
// The window's DC draws into a retained copy of its own; each rectangle presented is recorded.
// Once a frame, Flush brings one of two wl_shm buffers up to date from that copy (only a buffer
// the compositor has released, only the rectangles it lacks), sends the changed rectangles as
// buffer damage and commits it with a frame callback. While that callback has not come back,
// the surface gets nothing and the damage waits (see BufferDamage). The surface's own state
// (its role, scale and viewport) belongs to its owner; the backing only attaches and commits.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/WindowBacking.h"
#include "platform/wayland/BufferDamage.h"
#include "platform/wayland/ShmBuffer.h"
#include "platform/winapi/PixelAllocator.h"

struct wl_callback;
struct wl_callback_listener;
struct wl_surface;

class WaylandWindowBacking : public WindowBacking,
                             private BufferDamage::Target,
                             private ShmBuffer::Owner {
  public:
    // Buffers of width x height pixels for the surface; null when they cannot be made.
    static std::shared_ptr<WaylandWindowBacking> Create(wl_shm* shm, wl_surface* surface, int width,
                                                        int height);
    ~WaylandWindowBacking() override;
    WaylandWindowBacking(const WaylandWindowBacking&) = delete;
    WaylandWindowBacking& operator=(const WaylandWindowBacking&) = delete;

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    std::uint32_t* Pixels() override { return m_pixels.data(); }
    int Stride() const override { return m_width; }
    // Records the rectangle for the next flush.
    void Present(int x, int y, int w, int h) override;
    // Commits what changed, when the surface may take a buffer (see above).
    void Flush() override;

    // Whether flushes reach the surface: off until the surface is configured and shown, and
    // while it is unmapped.
    void SetShown(bool shown) { m_shown = shown; }
    bool Shown() const { return m_shown; }
    // Whether the last commit's frame callback has stayed out for ms milliseconds.
    bool UnseenFor(std::uint32_t ms) const;
    // Forgets a frame callback that can no longer come (the surface was unmapped).
    void ForgetFrame();

  private:
    WaylandWindowBacking(wl_surface* surface, int width, int height);
    void CopyToBuffer(int buffer, const Rect& area) override;
    void DamageBuffer(const Rect& area) override;
    void CommitBuffer(int buffer) override;
    void BufferReleased(int index) override;
    static void OnFrameDone(void* data, wl_callback* callback, std::uint32_t time);
    static const wl_callback_listener kFrameListener;

    wl_surface* m_surface;
    int m_width;
    int m_height;
    std::vector<std::uint32_t, PixelAllocator<std::uint32_t>> m_pixels;
    std::array<std::unique_ptr<ShmBuffer>, BufferDamage::kBuffers> m_buffers;
    BufferDamage m_damage;
    wl_callback* m_frame = nullptr;
    bool m_shown = false;
};
