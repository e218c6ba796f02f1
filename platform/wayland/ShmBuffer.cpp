// SPDX-License-Identifier: MIT
#include "platform/wayland/ShmBuffer.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <limits>

const wl_buffer_listener ShmBuffer::kListener = {&ShmBuffer::OnRelease};

std::unique_ptr<ShmBuffer> ShmBuffer::Create(wl_shm* shm, int width, int height, Owner* owner,
                                             int index) {
    if (shm == nullptr || width <= 0 || height <= 0)
        return nullptr;
    const std::size_t stride = static_cast<std::size_t>(width) * sizeof(std::uint32_t);
    if (stride > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) /
                     static_cast<std::size_t>(height)) {
        return nullptr;  // the pool's size is a 32-bit number
    }
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    const int fd = memfd_create("glimmerdel-buffer", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
        close(fd);
        return nullptr;
    }
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes));
    wl_buffer* buffer = wl_shm_pool_create_buffer(
        pool, 0, width, height, static_cast<std::int32_t>(stride), WL_SHM_FORMAT_XRGB8888);
    // The buffer keeps the pool's memory; the pool and the descriptor are no longer needed.
    wl_shm_pool_destroy(pool);
    close(fd);

    std::unique_ptr<ShmBuffer> made(new ShmBuffer());
    made->m_width = width;
    made->m_height = height;
    made->m_pixels = static_cast<std::uint32_t*>(memory);
    made->m_bytes = bytes;
    made->m_buffer = buffer;
    made->m_owner = owner;
    made->m_index = index;
    wl_buffer_add_listener(buffer, &kListener, made.get());
    return made;
}

ShmBuffer::~ShmBuffer() {
    if (m_buffer != nullptr)
        wl_buffer_destroy(m_buffer);
    if (m_pixels != nullptr)
        munmap(m_pixels, m_bytes);
}

void ShmBuffer::OnRelease(void* data, wl_buffer*) {
    auto* self = static_cast<ShmBuffer*>(data);
    if (self->m_owner != nullptr)
        self->m_owner->BufferReleased(self->m_index);
}
