// SPDX-License-Identifier: MIT
#pragma once
// The Wayland host: one surface per output for the saver (overlay layer surfaces where the
// compositor has wlr-layer-shell, fullscreen toplevels elsewhere) or for the background of a
// locker or a desktop (the background layer, no input), wl_shm buffers, the seats' input and
// the pointer, on the POSIX services of PosixHost.
//
// The outputs are the monitors: each gets a scene of its own, composed for its size in buffer
// pixels (ChooseScale on those, as on X11). Outputs that come, go or change while the saver
// runs make event processing throw ScreenChanged, as do surfaces the compositor closes or
// resizes; with no output at all, the host waits for one. Event processing flushes every
// surface, then sleeps on the display's descriptor with the time left (prepare_read, flush,
// poll, read_events, dispatch_pending). A lost connection ends the program at once with 0, a
// protocol error with 1 and a message; SIGTERM, SIGINT and SIGHUP end it with 0.
//
// The one message the saver shows goes to standard error and, where an X server answers, into
// the X11 backend's message box; without one, into a message surface of our own on each output.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/MonitorSelection.h"
#include "platform/monitors.h"
#include "platform/posix/PosixHost.h"
#include "platform/wayland/WaylandGlobals.h"
#include "platform/wayland/WaylandOutput.h"
#include "platform/wayland/WaylandSurface.h"

struct wl_registry;

class InputTarget;
class WaylandFormPeer;
class WaylandSeat;

class WaylandHost : public PosixHost, private WaylandOutput::Watcher {
  public:
    // background: the scene goes on the background layer and takes no input (--background).
    WaylandHost(const std::vector<std::string>& arguments, bool background);
    ~WaylandHost() override;

    // Connects to the compositor ($WAYLAND_SOCKET, else $WAYLAND_DISPLAY) and binds its
    // globals; false, with a message on standard error, when that fails.
    bool Open();

    Long ScreenWidthTwips() override;
    Long ScreenHeightTwips() override;
    int MonitorCount() override;
    void SelectMonitor(int index) override;
    void DoEvents() override;
    void WaitForEvents(Long timeoutMs) override;
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    [[noreturn]] void EndProgram(int status) override;
    int ShowCursor(BOOL show) override;
    std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;

    // The scale of every output's scene (--scale); unset: chosen from each output's size.
    void SetScale(std::optional<int> scale) { m_requestedScale = scale; }
    // True while no output can be seen: every surface of the scene has had the frame callback
    // of its last commit out for kUnseenMs (outputs off, hidden or asleep). A few frames'
    // time: a callback that comes back later wakes the wait at once.
    bool NoOutputSeen() const;
    static constexpr std::uint32_t kUnseenMs = 100;
    bool SceneSeen() override { return !NoOutputSeen(); }

    // --- For the backend's own classes ---------------------------------------------------
    const WaylandGlobals& Globals() const { return m_globals; }
    bool Background() const { return m_background; }
    // The role of the surfaces that cover outputs.
    WaylandSurface::Role CoveringRole() const;
    // The selected output, and its scene's size (the configured one, once a surface covers it).
    WaylandOutput& SelectedOutput();
    MonitorArea SelectedMonitor();
    // A surface covering the output was configured at this size in buffer pixels.
    void OutputCovered(WaylandOutput& output, int width, int height);
    void PeerCreated(WaylandFormPeer* peer);
    void PeerDestroyed(WaylandFormPeer* peer);
    // The compositor closed or resized one of the scene's surfaces: the scenes are built again.
    void SurfaceChanged(WaylandSurface& surface);
    // A surface goes away: the seats drop it.
    void SurfaceGone(WaylandSurface& surface);
    bool PointerShown() const { return CursorCount() >= 0; }
    // While a message is shown, a key or a click anywhere answers it: AnswerMessage answers
    // and returns true then.
    bool MessageShown() const { return m_messageUp; }
    bool AnswersMessage();
    void AnswerMessage() { m_messageAnswered = true; }
    // Runs an input handler from inside the compositor's events: what it throws is thrown
    // again once the events are dispatched (never through the library's own frames).
    template <typename Handler>
    void Deliver(Handler&& handler) {
        try {
            handler();
        } catch (...) {
            if (!m_pendingError)
                m_pendingError = std::current_exception();
        }
    }
    // Processes events until the condition holds (true) or timeoutMs pass (false).
    bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
    // Ends the program with a message and status 1.
    [[noreturn]] void Fail(const std::string& problem);

  private:
    friend struct WaylandHostEvents;
    void OutputChanged(WaylandOutput& output) override;
    void Global(wl_registry* registry, std::uint32_t name, const char* interface,
                std::uint32_t version);
    void GlobalRemoved(std::uint32_t name);
    void EnsureOutputs();
    // The outputs as monitors; true when they changed.
    bool QueryMonitors();
    // Flushes every surface, sleeps up to timeoutMs for events and dispatches them.
    void Pump(int timeoutMs);
    [[noreturn]] void ConnectionBroken();
    void EndOnSignal();
    bool SaverShown() const;
    void ShowMessageSurfaces(const std::string& text, int style, const std::string& title);

    bool m_background;
    wl_registry* m_registry = nullptr;
    WaylandGlobals m_globals;
    std::vector<std::unique_ptr<WaylandOutput>> m_outputs;
    // Outputs the compositor removed, kept while surfaces may still name them.
    std::vector<std::unique_ptr<WaylandOutput>> m_removedOutputs;
    std::vector<std::unique_ptr<WaylandSeat>> m_seats;
    std::set<WaylandFormPeer*> m_peers;
    std::optional<int> m_requestedScale;
    MonitorSelection m_monitors;
    std::vector<WaylandOutput*> m_monitorOutputs;  // the output of each of m_monitors
    bool m_outputsChanged = false;
    bool m_rebuild = false;
    bool m_messageUp = false;
    bool m_messageAnswered = false;
    bool m_messageShown = false;
    std::exception_ptr m_pendingError;
};
