// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandOutput.h"

#include <wayland-client.h>

#include <algorithm>

#include "xdg-output-unstable-v1-client-protocol.h"

namespace {

WaylandOutput& Self(void* data) {
    return *static_cast<WaylandOutput*>(data);
}

}  // namespace

// The listeners reach the private members through these.
struct WaylandOutputEvents {
    static void Geometry(void* data, wl_output*, std::int32_t, std::int32_t, std::int32_t,
                         std::int32_t, std::int32_t, const char*, const char*,
                         std::int32_t transform) {
        Self(data).m_rotated = transform == WL_OUTPUT_TRANSFORM_90 ||
                               transform == WL_OUTPUT_TRANSFORM_270 ||
                               transform == WL_OUTPUT_TRANSFORM_FLIPPED_90 ||
                               transform == WL_OUTPUT_TRANSFORM_FLIPPED_270;
    }
    static void Mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                     std::int32_t height, std::int32_t) {
        if (flags & WL_OUTPUT_MODE_CURRENT) {
            Self(data).m_modeWidth = width;
            Self(data).m_modeHeight = height;
        }
    }
    static void Done(void* data, wl_output*) { Self(data).Apply(); }
    static void Scale(void* data, wl_output*, std::int32_t factor) {
        Self(data).m_scale = std::clamp(factor, 1, 16);
    }
    static void Name(void* data, wl_output*, const char* name) {
        if (name != nullptr && Self(data).m_name.empty())
            Self(data).m_name = name;
    }
    static void Description(void*, wl_output*, const char*) {}

    static void LogicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
        Self(data).m_logicalX = x;
        Self(data).m_logicalY = y;
    }
    static void LogicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
        Self(data).m_xdgWidth = width;
        Self(data).m_xdgHeight = height;
    }
    static void XdgDone(void* data, zxdg_output_v1*) { Self(data).Apply(); }
    static void XdgName(void* data, zxdg_output_v1*, const char* name) {
        if (name != nullptr)
            Self(data).m_name = name;
    }
    static void XdgDescription(void*, zxdg_output_v1*, const char*) {}
};

const wl_output_listener WaylandOutput::kOutputListener = {
    WaylandOutputEvents::Geometry, WaylandOutputEvents::Mode, WaylandOutputEvents::Done,
    WaylandOutputEvents::Scale,    WaylandOutputEvents::Name, WaylandOutputEvents::Description,
};

const zxdg_output_v1_listener WaylandOutput::kXdgOutputListener = {
    WaylandOutputEvents::LogicalPosition, WaylandOutputEvents::LogicalSize,
    WaylandOutputEvents::XdgDone,         WaylandOutputEvents::XdgName,
    WaylandOutputEvents::XdgDescription,
};

WaylandOutput::WaylandOutput(wl_registry* registry, std::uint32_t globalName, std::uint32_t version,
                             Watcher& watcher)
    : m_watcher(watcher), m_globalName(globalName) {
    m_output = static_cast<wl_output*>(
        wl_registry_bind(registry, globalName, &wl_output_interface, std::min(version, 4u)));
    wl_output_add_listener(m_output, &kOutputListener, this);
}

WaylandOutput::~WaylandOutput() {
    Retire();
}

void WaylandOutput::Retire() {
    if (m_xdgOutput != nullptr)
        zxdg_output_v1_destroy(m_xdgOutput);
    m_xdgOutput = nullptr;
    if (m_output == nullptr)
        return;
    if (wl_output_get_version(m_output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
        wl_output_release(m_output);
    } else {
        wl_output_destroy(m_output);
    }
    m_output = nullptr;
}

void WaylandOutput::DescribeWith(zxdg_output_manager_v1* manager) {
    if (manager == nullptr || m_xdgOutput != nullptr || m_output == nullptr)
        return;
    m_xdgOutput = zxdg_output_manager_v1_get_xdg_output(manager, m_output);
    zxdg_output_v1_add_listener(m_xdgOutput, &kXdgOutputListener, this);
}

int WaylandOutput::LogicalWidth() const {
    if (m_xdgWidth > 0)
        return m_xdgWidth;
    return (m_rotated ? m_modeHeight : m_modeWidth) / m_scale;
}

int WaylandOutput::LogicalHeight() const {
    if (m_xdgHeight > 0)
        return m_xdgHeight;
    return (m_rotated ? m_modeWidth : m_modeHeight) / m_scale;
}

void WaylandOutput::SetScale120(int scale120) {
    if (scale120 == m_scale120)
        return;
    m_scale120 = scale120;
    Apply();
}

int WaylandOutput::AtScale120(int logical, int scale120) {
    return static_cast<int>((static_cast<long long>(logical) * scale120 + 60) / 120);
}

int WaylandOutput::PixelsFor(int logical) const {
    return m_scale120 > 0 ? AtScale120(logical, m_scale120) : logical * m_scale;
}

void WaylandOutput::Apply() {
    const Reported now{LogicalWidth(), LogicalHeight(), m_scale, m_scale120};
    if (!Ready() || now == m_reported)
        return;
    m_reported = now;
    m_watcher.OutputChanged(*this);
}
