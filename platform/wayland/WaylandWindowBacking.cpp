// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandWindowBacking.h"

#include <wayland-client.h>

#include <cstring>

#include "platform/posix/posix_env.h"

const wl_callback_listener WaylandWindowBacking::kFrameListener = {
    &WaylandWindowBacking::OnFrameDone};

std::shared_ptr<WaylandWindowBacking> WaylandWindowBacking::Create(wl_shm* shm, wl_surface* surface,
                                                                   int width, int height) {
    if (surface == nullptr || width <= 0 || height <= 0)
        return nullptr;
    std::shared_ptr<WaylandWindowBacking> backing(new WaylandWindowBacking(surface, width, height));
    for (int i = 0; i < BufferDamage::kBuffers; ++i) {
        backing->m_buffers[static_cast<std::size_t>(i)] =
            ShmBuffer::Create(shm, width, height, backing.get(), i);
        if (!backing->m_buffers[static_cast<std::size_t>(i)])
            return nullptr;
    }
    return backing;
}

WaylandWindowBacking::WaylandWindowBacking(wl_surface* surface, int width, int height)
    : m_surface(surface),
      m_width(width),
      m_height(height),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)),
      m_damage(width, height) {}

WaylandWindowBacking::~WaylandWindowBacking() {
    ForgetFrame();
}

void WaylandWindowBacking::Present(int x, int y, int w, int h) {
    m_damage.Add(Rect{x, y, w, h});
}

void WaylandWindowBacking::Flush() {
    if (m_shown)
        m_damage.Flush(*this, posix_env::MonotonicMilliseconds());
}

bool WaylandWindowBacking::UnseenFor(std::uint32_t ms) const {
    return m_shown && m_damage.UnseenFor(posix_env::MonotonicMilliseconds(), ms);
}

void WaylandWindowBacking::ForgetFrame() {
    if (m_frame != nullptr) {
        wl_callback_destroy(m_frame);
        m_frame = nullptr;
    }
    m_damage.FrameShown();
}

void WaylandWindowBacking::CopyToBuffer(int buffer, const Rect& area) {
    ShmBuffer& target = *m_buffers[static_cast<std::size_t>(buffer)];
    const std::size_t bytes = static_cast<std::size_t>(area.width) * sizeof(std::uint32_t);
    for (int row = area.y; row < area.y + area.height; ++row) {
        const std::size_t offset =
            static_cast<std::size_t>(row) * static_cast<std::size_t>(m_width) +
            static_cast<std::size_t>(area.x);
        std::memcpy(target.Pixels() + offset, m_pixels.data() + offset, bytes);
    }
}

void WaylandWindowBacking::DamageBuffer(const Rect& area) {
    wl_surface_damage_buffer(m_surface, area.x, area.y, area.width, area.height);
}

void WaylandWindowBacking::CommitBuffer(int buffer) {
    wl_surface_attach(m_surface, m_buffers[static_cast<std::size_t>(buffer)]->Buffer(), 0, 0);
    m_frame = wl_surface_frame(m_surface);
    wl_callback_add_listener(m_frame, &kFrameListener, this);
    wl_surface_commit(m_surface);
}

void WaylandWindowBacking::BufferReleased(int index) {
    m_damage.BufferReleased(index);
}

void WaylandWindowBacking::OnFrameDone(void* data, wl_callback* callback, std::uint32_t) {
    auto* self = static_cast<WaylandWindowBacking*>(data);
    wl_callback_destroy(callback);
    if (self->m_frame == callback)
        self->m_frame = nullptr;
    self->m_damage.FrameShown();
}
