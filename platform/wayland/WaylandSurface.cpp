// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandSurface.h"

#include <wayland-client.h>

#include <algorithm>

#include "fractional-scale-v1-client-protocol.h"
#include "platform/wayland/InputTarget.h"
#include "platform/wayland/WaylandHost.h"
#include "platform/wayland/WaylandOutput.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

// The namespace compositors show for our layer surfaces, and the toplevels' application id.
constexpr const char* kApplicationId = "glimmerdel";
constexpr const char* kTitle = "Glimmerdel";
// How long the compositor may take to configure a new surface.
constexpr int kConfigureTimeoutMs = 10000;

WaylandSurface& Self(void* data) {
    return *static_cast<WaylandSurface*>(data);
}

}  // namespace

struct WaylandSurfaceEvents {
    static void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                               std::uint32_t width, std::uint32_t height) {
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        Self(data).Configured(width, height);
    }
    static void LayerClosed(void* data, zwlr_layer_surface_v1*) {
        WaylandSurface& self = Self(data);
        self.m_closed = true;
        self.m_mapped = false;
        self.m_host.SurfaceChanged(self);
    }

    static void XdgConfigure(void* data, xdg_surface* surface, std::uint32_t serial) {
        xdg_surface_ack_configure(surface, serial);
        WaylandSurface& self = Self(data);
        self.Configured(static_cast<std::uint32_t>(self.m_pendingWidth),
                        static_cast<std::uint32_t>(self.m_pendingHeight));
    }
    static void ToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width,
                                  std::int32_t height, wl_array*) {
        Self(data).m_pendingWidth = std::max(width, 0);
        Self(data).m_pendingHeight = std::max(height, 0);
    }
    static void ToplevelClose(void* data, xdg_toplevel*) {
        WaylandSurface& self = Self(data);
        if (self.m_input != nullptr)
            self.m_host.Deliver([&] { self.m_input->CloseRequested(); });
    }
    static void ToplevelBounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}
    static void ToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

    static void PreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
        Self(data).PreferredScale(scale);
    }
};

namespace {

const zwlr_layer_surface_v1_listener kLayerListener = {
    WaylandSurfaceEvents::LayerConfigure,
    WaylandSurfaceEvents::LayerClosed,
};
const xdg_surface_listener kXdgSurfaceListener = {WaylandSurfaceEvents::XdgConfigure};
const xdg_toplevel_listener kToplevelListener = {
    WaylandSurfaceEvents::ToplevelConfigure,
    WaylandSurfaceEvents::ToplevelClose,
    WaylandSurfaceEvents::ToplevelBounds,
    WaylandSurfaceEvents::ToplevelCapabilities,
};
const wp_fractional_scale_v1_listener kFractionalListener = {WaylandSurfaceEvents::PreferredScale};

}  // namespace

WaylandSurface::WaylandSurface(WaylandHost& host, WaylandOutput& output, Role role,
                               InputTarget* input, int width, int height)
    : m_host(host),
      m_output(output),
      m_role(role),
      m_askedWidth(std::max(width, 1)),
      m_askedHeight(std::max(height, 1)),
      m_input(input) {
    const WaylandGlobals& globals = host.Globals();
    m_surface = wl_compositor_create_surface(globals.compositor);
    // The seats find the target of their input through the surface.
    wl_surface_set_user_data(m_surface, input);
    if (role == Role::Background) {
        // No input at all: the pointer and touches go through to what lies below.
        wl_region* nothing = wl_compositor_create_region(globals.compositor);
        wl_surface_set_input_region(m_surface, nothing);
        wl_region_destroy(nothing);
    }
    if (globals.viewporter != nullptr && globals.fractionalScale != nullptr) {
        m_viewport = wp_viewporter_get_viewport(globals.viewporter, m_surface);
        m_fractional =
            wp_fractional_scale_manager_v1_get_fractional_scale(globals.fractionalScale, m_surface);
        wp_fractional_scale_v1_add_listener(m_fractional, &kFractionalListener, this);
    }
}

WaylandSurface::~WaylandSurface() {
    m_host.SurfaceGone(*this);
    DropRole();
    if (m_fractional != nullptr)
        wp_fractional_scale_v1_destroy(m_fractional);
    if (m_viewport != nullptr)
        wp_viewport_destroy(m_viewport);
    wl_surface_destroy(m_surface);
}

void WaylandSurface::MakeRole() {
    const WaylandGlobals& globals = m_host.Globals();
    if (globals.layerShell != nullptr) {
        const bool background = m_role == Role::Background;
        m_layerSurface = zwlr_layer_shell_v1_get_layer_surface(
            globals.layerShell, m_surface, m_output.Output(),
            background ? ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND : ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
            kApplicationId);
        zwlr_layer_surface_v1_add_listener(m_layerSurface, &kLayerListener, this);
        if (m_role == Role::Message) {
            // No anchor: the compositor puts it in the middle of the output.
            zwlr_layer_surface_v1_set_size(m_layerSurface, static_cast<std::uint32_t>(m_askedWidth),
                                           static_cast<std::uint32_t>(m_askedHeight));
        } else {
            zwlr_layer_surface_v1_set_anchor(
                m_layerSurface,
                ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
            zwlr_layer_surface_v1_set_size(m_layerSurface, 0, 0);
            // Over panels and docks too, whatever room they keep for themselves.
            zwlr_layer_surface_v1_set_exclusive_zone(m_layerSurface, -1);
        }
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            m_layerSurface, background ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE
                                       : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
        return;
    }
    m_xdgSurface = xdg_wm_base_get_xdg_surface(globals.wmBase, m_surface);
    xdg_surface_add_listener(m_xdgSurface, &kXdgSurfaceListener, this);
    m_toplevel = xdg_surface_get_toplevel(m_xdgSurface);
    xdg_toplevel_add_listener(m_toplevel, &kToplevelListener, this);
    xdg_toplevel_set_title(m_toplevel, kTitle);
    xdg_toplevel_set_app_id(m_toplevel, kApplicationId);
    if (m_role == Role::Message) {
        xdg_toplevel_set_min_size(m_toplevel, m_askedWidth, m_askedHeight);
        xdg_toplevel_set_max_size(m_toplevel, m_askedWidth, m_askedHeight);
    } else {
        // Before the first commit, so that the first configure is already the output's size.
        xdg_toplevel_set_fullscreen(m_toplevel, m_output.Output());
    }
}

void WaylandSurface::DropRole() {
    if (m_layerSurface != nullptr) {
        zwlr_layer_surface_v1_destroy(m_layerSurface);
        m_layerSurface = nullptr;
    }
    if (m_toplevel != nullptr) {
        xdg_toplevel_destroy(m_toplevel);
        m_toplevel = nullptr;
    }
    if (m_xdgSurface != nullptr) {
        xdg_surface_destroy(m_xdgSurface);
        m_xdgSurface = nullptr;
    }
}

bool WaylandSurface::Map() {
    if (m_mapped)
        return true;
    if (m_closed)
        return false;
    if (m_layerSurface == nullptr && m_toplevel == nullptr)
        MakeRole();
    // A commit without a buffer asks for a configure (again, for a surface that was unmapped).
    m_awaitingConfigure = true;
    wl_surface_commit(m_surface);
    if (!m_host.WaitFor([&] { return !m_awaitingConfigure || m_closed; }, kConfigureTimeoutMs))
        m_host.Fail("the compositor did not configure our surface on output " + m_output.Name());
    if (m_closed)
        return false;
    ApplyDensity();
    m_mapped = true;
    return true;
}

void WaylandSurface::Unmap() {
    if (!m_mapped)
        return;
    wl_surface_attach(m_surface, nullptr, 0, 0);
    wl_surface_commit(m_surface);
    m_mapped = false;
}

void WaylandSurface::Configured(std::uint32_t width, std::uint32_t height) {
    int w = static_cast<int>(std::min<std::uint32_t>(width, 1u << 15));
    int h = static_cast<int>(std::min<std::uint32_t>(height, 1u << 15));
    if (m_role == Role::Message) {
        w = m_askedWidth;  // drawn for the size it asked for
        h = m_askedHeight;
    } else {
        if (w <= 0)
            w = m_output.LogicalWidth();
        if (h <= 0)
            h = m_output.LogicalHeight();
    }
    m_awaitingConfigure = false;
    if (!m_configured) {
        m_width = std::max(w, 1);
        m_height = std::max(h, 1);
        m_configured = true;
    } else if (w != m_width || h != m_height) {
        // It keeps the size its buffers have, and takes no buffer more: it is made again.
        m_resized = true;
        m_host.SurfaceChanged(*this);
    }
}

void WaylandSurface::PreferredScale(std::uint32_t scale120) {
    const int scale = static_cast<int>(std::clamp<std::uint32_t>(scale120, 1, 120 * 16));
    if (scale == m_scale120)
        return;
    m_scale120 = scale;
    // The output keeps it, so that the next surfaces on it start at that density; where that
    // changes the size of its buffers, the host builds the scenes again.
    m_output.SetScale120(scale);
}

int WaylandSurface::FractionalScale() const {
    if (m_viewport == nullptr)
        return 0;
    return m_scale120 > 0 ? m_scale120 : m_output.Scale120();
}

int WaylandSurface::BufferScale() const {
    if (wl_surface_get_version(m_surface) < WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION)
        return 1;
    return m_output.IntegerScale();
}

int WaylandSurface::PixelWidth() const {
    const int fractional = FractionalScale();
    return fractional > 0 ? WaylandOutput::AtScale120(m_width, fractional)
                          : m_width * BufferScale();
}

int WaylandSurface::PixelHeight() const {
    const int fractional = FractionalScale();
    return fractional > 0 ? WaylandOutput::AtScale120(m_height, fractional)
                          : m_height * BufferScale();
}

void WaylandSurface::ApplyDensity() {
    const bool scalable =
        wl_surface_get_version(m_surface) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION;
    if (scalable)
        wl_surface_set_buffer_scale(m_surface, FractionalScale() > 0 ? 1 : BufferScale());
    if (FractionalScale() > 0)
        wp_viewport_set_destination(m_viewport, m_width, m_height);
}
