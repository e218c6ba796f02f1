// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandHost.h"

#include <X11/Xlib.h>
#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fractional-scale-v1-client-protocol.h"
#include "platform/posix/stop_signals.h"
#include "platform/wayland/MessageSurface.h"
#include "platform/wayland/WaylandFormPeer.h"
#include "platform/wayland/WaylandSeat.h"
#include "platform/x11/FltkHost.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

WaylandHost& Self(void* data) {
    return *static_cast<WaylandHost*>(data);
}

template <typename Proxy>
Proxy* Bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface,
            std::uint32_t offered, std::uint32_t wanted) {
    return static_cast<Proxy*>(
        wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

// Whether an X server answers on $DISPLAY (XWayland, or the X session the compositor runs in).
bool XServerReachable() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        return false;
    Display* connection = XOpenDisplay(nullptr);
    if (connection == nullptr)
        return false;
    XCloseDisplay(connection);
    return true;
}

}  // namespace

struct WaylandHostEvents {
    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        Self(data).Global(registry, name, interface, version);
    }
    static void GlobalRemove(void* data, wl_registry*, std::uint32_t name) {
        Self(data).GlobalRemoved(name);
    }
    static void Ping(void*, xdg_wm_base* base, std::uint32_t serial) {
        xdg_wm_base_pong(base, serial);
    }
};

namespace {

const wl_registry_listener kRegistryListener = {WaylandHostEvents::Global,
                                                WaylandHostEvents::GlobalRemove};
const xdg_wm_base_listener kWmBaseListener = {WaylandHostEvents::Ping};

}  // namespace

WaylandHost::WaylandHost(const std::vector<std::string>& arguments, bool background)
    : PosixHost(arguments), m_background(background) {
    stop_signals::Install();
}

WaylandHost::~WaylandHost() {
    m_seats.clear();
    m_outputs.clear();
    m_removedOutputs.clear();
    if (m_globals.display != nullptr)
        wl_display_disconnect(m_globals.display);
}

bool WaylandHost::Open() {
    // Where the connection was to go, for the message (the library reads these itself).
    const char* socket = std::getenv("WAYLAND_SOCKET");
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const std::string where = socket != nullptr ? std::string("WAYLAND_SOCKET=") + socket
                                                : std::string("WAYLAND_DISPLAY=") +
                                                      (name != nullptr ? name : "wayland-0");
    m_globals.display = wl_display_connect(nullptr);
    if (m_globals.display == nullptr) {
        std::fprintf(stderr, "glimmerdel: cannot connect to the Wayland compositor (%s)\n",
                     where.c_str());
        return false;
    }
    m_registry = wl_display_get_registry(m_globals.display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    // The globals, then what the bound ones say of themselves (outputs, seats).
    if (wl_display_roundtrip(m_globals.display) < 0 ||
        wl_display_roundtrip(m_globals.display) < 0) {
        ConnectionBroken();
    }
    std::string missing;
    if (m_globals.compositor == nullptr)
        missing += " wl_compositor (version 4)";
    if (m_globals.shm == nullptr)
        missing += " wl_shm";
    if (m_globals.layerShell == nullptr && m_globals.wmBase == nullptr)
        missing += " zwlr_layer_shell_v1 or xdg_wm_base";
    if (!missing.empty()) {
        std::fprintf(stderr, "glimmerdel: the Wayland compositor lacks%s\n", missing.c_str());
        return false;
    }
    QueryMonitors();
    return true;
}

void WaylandHost::Global(wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version) {
    const std::string kind = interface;
    if (kind == wl_compositor_interface.name && version >= 4) {
        // Version 4 damages buffers in their own pixels.
        m_globals.compositor =
            Bind<wl_compositor>(registry, name, wl_compositor_interface, version, 4);
    } else if (kind == wl_shm_interface.name) {
        m_globals.shm = Bind<wl_shm>(registry, name, wl_shm_interface, version, 1);
    } else if (kind == zwlr_layer_shell_v1_interface.name) {
        m_globals.layerShell =
            Bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, version, 4);
    } else if (kind == xdg_wm_base_interface.name) {
        m_globals.wmBase = Bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, version, 2);
        xdg_wm_base_add_listener(m_globals.wmBase, &kWmBaseListener, this);
    } else if (kind == zxdg_output_manager_v1_interface.name) {
        m_globals.outputManager = Bind<zxdg_output_manager_v1>(
            registry, name, zxdg_output_manager_v1_interface, version, 3);
        for (const auto& output : m_outputs)
            output->DescribeWith(m_globals.outputManager);
    } else if (kind == wp_viewporter_interface.name) {
        m_globals.viewporter =
            Bind<wp_viewporter>(registry, name, wp_viewporter_interface, version, 1);
    } else if (kind == wp_fractional_scale_manager_v1_interface.name) {
        m_globals.fractionalScale = Bind<wp_fractional_scale_manager_v1>(
            registry, name, wp_fractional_scale_manager_v1_interface, version, 1);
    } else if (kind == wl_output_interface.name) {
        WaylandOutput::Watcher& watcher = *this;
        m_outputs.push_back(std::make_unique<WaylandOutput>(registry, name, version, watcher));
        m_outputs.back()->DescribeWith(m_globals.outputManager);
    } else if (kind == wl_seat_interface.name) {
        m_seats.push_back(std::make_unique<WaylandSeat>(*this, registry, name, version));
    }
}

void WaylandHost::GlobalRemoved(std::uint32_t name) {
    for (auto it = m_outputs.begin(); it != m_outputs.end(); ++it) {
        if ((*it)->GlobalName() == name) {
            (*it)->Retire();
            m_removedOutputs.push_back(std::move(*it));
            m_outputs.erase(it);
            m_outputsChanged = true;
            return;
        }
    }
    std::erase_if(m_seats, [&](const auto& seat) { return seat->GlobalName() == name; });
}

void WaylandHost::OutputChanged(WaylandOutput&) {
    m_outputsChanged = true;
}

bool WaylandHost::QueryMonitors() {
    std::vector<MonitorArea> monitors;
    std::vector<WaylandOutput*> outputs;
    for (const auto& output : m_outputs) {
        if (!output->Ready())
            continue;
        MonitorArea area;
        area.x = output->LogicalX();
        area.y = output->LogicalY();
        area.width = output->PixelWidth();
        area.height = output->PixelHeight();
        area.scale = ChooseScale(area.width, area.height, m_requestedScale);
        monitors.push_back(area);
        outputs.push_back(output.get());
    }
    m_monitorOutputs = std::move(outputs);
    return m_monitors.Replace(std::move(monitors));
}

void WaylandHost::EnsureOutputs() {
    // Without outputs there is nothing to cover: wait until one comes (an output switched on, a
    // locker that adds its outputs after it started us).
    while (m_monitors.Empty()) {
        Pump(1000);
        if (m_outputsChanged) {
            m_outputsChanged = false;
            QueryMonitors();
        }
    }
}

int WaylandHost::MonitorCount() {
    EnsureOutputs();
    return m_monitors.Count();
}

void WaylandHost::SelectMonitor(int index) {
    EnsureOutputs();
    m_monitors.Select(index);
}

MonitorArea WaylandHost::SelectedMonitor() {
    EnsureOutputs();
    return m_monitors.Selected();
}

WaylandOutput& WaylandHost::SelectedOutput() {
    EnsureOutputs();
    return *m_monitorOutputs.at(static_cast<size_t>(m_monitors.SelectedIndex()));
}

void WaylandHost::OutputCovered(WaylandOutput& output, int width, int height) {
    for (size_t i = 0; i < m_monitorOutputs.size(); ++i) {
        if (m_monitorOutputs[i] == &output) {
            MonitorArea& area = m_monitors.At(i);
            area.width = width;
            area.height = height;
            area.scale = ChooseScale(width, height, m_requestedScale);
        }
    }
}

Long WaylandHost::ScreenWidthTwips() {
    return SelectedMonitor().ComposedWidth() * TwipsPerPixelX();
}

Long WaylandHost::ScreenHeightTwips() {
    return SelectedMonitor().ComposedHeight() * TwipsPerPixelY();
}

WaylandSurface::Role WaylandHost::CoveringRole() const {
    return m_background ? WaylandSurface::Role::Background : WaylandSurface::Role::Saver;
}

bool WaylandHost::SaverShown() const {
    // Also when the compositor has closed every surface of it (its outputs went away).
    return std::any_of(m_peers.begin(), m_peers.end(),
                       [](WaylandFormPeer* peer) { return peer->CoversOutput() && peer->Shown(); });
}

bool WaylandHost::NoOutputSeen() const {
    bool any = false;
    for (WaylandFormPeer* peer : m_peers) {
        if (!peer->CoversOutput())
            continue;
        any = true;
        if (!peer->UnseenFor(kUnseenMs))
            return false;
    }
    return any;
}

void WaylandHost::PeerCreated(WaylandFormPeer* peer) {
    m_peers.insert(peer);
}

void WaylandHost::PeerDestroyed(WaylandFormPeer* peer) {
    m_peers.erase(peer);
}

void WaylandHost::SurfaceChanged(WaylandSurface& surface) {
    if (surface.GetRole() != WaylandSurface::Role::Message)
        m_rebuild = true;
}

void WaylandHost::SurfaceGone(WaylandSurface& surface) {
    const auto* target =
        static_cast<const InputTarget*>(wl_surface_get_user_data(surface.Surface()));
    for (const auto& seat : m_seats)
        seat->Forget(target);
}

bool WaylandHost::AnswersMessage() {
    if (!m_messageUp)
        return false;
    m_messageAnswered = true;
    return true;
}

std::unique_ptr<FormPeer> WaylandHost::CreateFormPeer(Form& form) {
    return std::make_unique<WaylandFormPeer>(*this, form);
}

void WaylandHost::Pump(int timeoutMs) {
    EndOnSignal();
    for (WaylandFormPeer* peer : m_peers)
        peer->Flush();
    wl_display* display = m_globals.display;
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0)
            ConnectionBroken();
    }
    pollfd connection{wl_display_get_fd(display), POLLIN, 0};
    if (wl_display_flush(display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(display);
            ConnectionBroken();
        }
        connection.events |= POLLOUT;  // the rest goes once the socket takes it
    }
    const int ready = poll(&connection, 1, std::max(timeoutMs, 0));
    if (ready > 0 && (connection.revents & (POLLIN | POLLERR | POLLHUP))) {
        if (wl_display_read_events(display) < 0)
            ConnectionBroken();
    } else {
        wl_display_cancel_read(display);
    }
    if (wl_display_dispatch_pending(display) < 0)
        ConnectionBroken();
    if (m_pendingError) {
        std::exception_ptr error = m_pendingError;
        m_pendingError = nullptr;
        std::rethrow_exception(error);
    }
    EndOnSignal();
}

void WaylandHost::DoEvents() {
    if (m_globals.display == nullptr)
        return;
    Pump(0);
    if (m_outputsChanged) {
        m_outputsChanged = false;
        if (QueryMonitors())
            m_rebuild = true;
    }
    // The scenes are built for the outputs as they were: build them again.
    if (m_rebuild && SaverShown()) {
        m_rebuild = false;
        m_monitors.SelectFirst();
        throw ScreenChanged{};
    }
}

void WaylandHost::WaitForEvents(Long timeoutMs) {
    // To the boundary of the tick the caller waits for.
    const int waitMs = static_cast<int>((NanosecondsUntilTick(timeoutMs) + 999999) / 1000000);
    if (m_globals.display == nullptr) {
        poll(nullptr, 0, waitMs);
        return;
    }
    Pump(waitMs);
}

bool WaylandHost::WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return false;
        Pump(static_cast<int>(std::min<long long>(left, 1000)));
    }
    return true;
}

void WaylandHost::ConnectionBroken() {
    // A protocol error names the object it was raised on (the display's own errors too).
    const wl_interface* interface = nullptr;
    std::uint32_t id = 0;
    const std::uint32_t code = wl_display_get_protocol_error(m_globals.display, &interface, &id);
    if (interface != nullptr) {
        std::fprintf(stderr,
                     "glimmerdel: the Wayland compositor ended the connection: protocol error %u "
                     "on %s@%u\n",
                     code, interface->name, id);
        PosixHost::EndProgram(1);
    }
    // The compositor went away (or the locker that started us closed our connection): there is
    // nothing left to draw on.
    PosixHost::EndProgram(0);
}

void WaylandHost::Fail(const std::string& problem) {
    std::fprintf(stderr, "glimmerdel: %s\n", problem.c_str());
    PosixHost::EndProgram(1);
}

void WaylandHost::EndOnSignal() {
    if (stop_signals::Caught() != 0)
        EndProgram(0);
}

void WaylandHost::EndProgram(int status) {
    if (m_globals.display != nullptr && wl_display_get_error(m_globals.display) == 0)
        wl_display_flush(m_globals.display);
    // Behind a locker nobody answers a message: after one, the scene could not run.
    PosixHost::EndProgram(m_background && m_messageShown && status == 0 ? 1 : status);
}

int WaylandHost::ShowCursor(BOOL show) {
    const int count = PosixHost::ShowCursor(show);
    for (const auto& seat : m_seats)
        seat->ShowPointer(count >= 0);
    return count;
}

int WaylandHost::MsgBox(const std::string& text, int style, const std::string& title) {
    // Always on standard error, whoever sees the box.
    PosixHost::MsgBox(text, style, title);
    m_messageShown = true;
    if (m_background || m_globals.display == nullptr)
        return vbOK;
    if (XServerReachable()) {
        // The X11 box, with our surfaces out of its way.
        for (WaylandFormPeer* peer : m_peers)
            peer->Hide();
        wl_display_flush(m_globals.display);
        FltkHost box({});
        box.MsgBox(text, style, title);
        return vbOK;
    }
    ShowMessageSurfaces(text, style, title);
    return vbOK;
}

void WaylandHost::ShowMessageSurfaces(const std::string& text, int style,
                                      const std::string& title) {
    EnsureOutputs();
    std::vector<std::unique_ptr<MessageSurface>> surfaces;
    for (WaylandOutput* output : m_monitorOutputs) {
        surfaces.push_back(std::make_unique<MessageSurface>(*this, *output, text, title,
                                                            (style & vbExclamation) != 0));
    }
    m_messageUp = true;
    m_messageAnswered = false;
    // Without a seat nobody can answer: then a signal or the end of the connection ends it.
    while (!m_messageAnswered &&
           std::any_of(surfaces.begin(), surfaces.end(),
                       [](const std::unique_ptr<MessageSurface>& s) { return s->Shown(); })) {
        Pump(1000);
    }
    m_messageUp = false;
}
