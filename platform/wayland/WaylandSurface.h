// SPDX-License-Identifier: MIT
#pragma once
// A surface of ours on one output, with its role: the saver's (an overlay layer surface over
// the whole output that takes the keyboard; a fullscreen toplevel on that output where the
// compositor has no layer shell), the background's (the background layer, no input), or a
// message's (a small surface in the middle of the output that takes the keyboard; a plain
// toplevel without layer shell).
//
// Mapping commits the role without a buffer and waits for the compositor's first configure:
// the surface's size is the configured one, its buffers that size at the output's density
// (buffer scale N for an integer scale; with fractional-scale and viewporter, buffers at the
// preferred scale and the viewport set to the configured size). Input on the surface goes to
// its InputTarget.

#include <cstdint>

struct wl_surface;
struct wp_fractional_scale_v1;
struct wp_viewport;
struct xdg_surface;
struct xdg_toplevel;
struct zwlr_layer_surface_v1;

class InputTarget;
class WaylandHost;
class WaylandOutput;

class WaylandSurface {
  public:
    enum class Role { Saver, Background, Message };

    // width, height: the logical size a message asks for (the others cover the output).
    WaylandSurface(WaylandHost& host, WaylandOutput& output, Role role, InputTarget* input,
                   int width = 0, int height = 0);
    ~WaylandSurface();
    WaylandSurface(const WaylandSurface&) = delete;
    WaylandSurface& operator=(const WaylandSurface&) = delete;

    // Gives the surface its role and waits for the first configure; false when the compositor
    // closed it instead. Sets the density for the buffers to come.
    bool Map();
    // Takes the buffer away: the surface is not shown until it is mapped again.
    void Unmap();
    bool Mapped() const { return m_mapped; }
    bool Closed() const { return m_closed; }
    // Whether it may show another buffer: not once the compositor closed it or gave it another
    // size (a buffer of the old size would not match what was acknowledged; the host builds
    // the scenes again instead).
    bool TakesBuffers() const { return m_mapped && !m_closed && !m_resized; }

    wl_surface* Surface() const { return m_surface; }
    WaylandOutput& Output() const { return m_output; }
    Role GetRole() const { return m_role; }
    int LogicalWidth() const { return m_width; }
    int LogicalHeight() const { return m_height; }
    // The size of the buffers it shows.
    int PixelWidth() const;
    int PixelHeight() const;

  private:
    friend struct WaylandSurfaceEvents;
    void MakeRole();
    void DropRole();
    void ApplyDensity();
    // The fractional scale its buffers follow, in 120ths (0: none, the integer scale holds).
    int FractionalScale() const;
    int BufferScale() const;
    // A configure with this logical size (0: the compositor leaves it to us).
    void Configured(std::uint32_t width, std::uint32_t height);
    // The compositor's preferred fractional scale, in 120ths.
    void PreferredScale(std::uint32_t scale120);

    WaylandHost& m_host;
    WaylandOutput& m_output;
    Role m_role;
    int m_askedWidth;
    int m_askedHeight;
    wl_surface* m_surface = nullptr;
    zwlr_layer_surface_v1* m_layerSurface = nullptr;
    xdg_surface* m_xdgSurface = nullptr;
    xdg_toplevel* m_toplevel = nullptr;
    wp_viewport* m_viewport = nullptr;
    wp_fractional_scale_v1* m_fractional = nullptr;
    InputTarget* m_input;
    int m_width = 0;
    int m_height = 0;
    int m_pendingWidth = 0;  // a toplevel's size, until its configure is complete
    int m_pendingHeight = 0;
    int m_scale120 = 0;  // from the surface's own preferred scale; 0: unknown
    bool m_configured = false;
    bool m_awaitingConfigure = false;
    bool m_mapped = false;
    bool m_closed = false;
    bool m_resized = false;
};
