// SPDX-License-Identifier: MIT
#pragma once
// The X11 host: FLTK windows and dialogs, Xlib (MIT-SHM, RandR) for pixels and monitors, on the
// POSIX services of PosixHost.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/MonitorSelection.h"
#include "platform/monitors.h"
#include "platform/posix/PosixHost.h"
#include "platform/x11/X11SceneWatch.h"

class FltkFormPeer;

class FltkHost : public PosixHost {
  public:
    // arguments: the program's arguments after its name.
    explicit FltkHost(const std::vector<std::string>& arguments);
    ~FltkHost() override;

    // The one default font size of the whole program (every caption fits its control with it:
    // the tightest is "Speed", 30 pixels wide in its 33-pixel label at this size).
    static constexpr int kDefaultFontSize = 10;

    Long ScreenWidthTwips() override;
    Long ScreenHeightTwips() override;
    int MonitorCount() override;
    void SelectMonitor(int index) override;
    void DoEvents() override;
    void WaitForEvents(Long timeoutMs) override;
    // Not while the display is powered down or every window of the scene is unmapped or fully
    // covered.
    bool SceneSeen() override;
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    [[noreturn]] void EndProgram(int status) override;
    int ShowCursor(BOOL show) override;
    BOOL SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;

    // The scale of every monitor's scene (--scale); unset: chosen from each monitor's size.
    void SetScale(std::optional<int> scale) { m_requestedScale = scale; }
    // The selected monitor: where a maximised form goes, and at what scale it shows.
    MonitorArea SelectedMonitor();

    // Form windows report their life, so that the pointer and placement reach them.
    void PeerCreated(FltkFormPeer* peer);
    void PeerDestroyed(FltkFormPeer* peer);
    // The X windows that show the saver's scenes (the monitors' windows), while they exist.
    void WatchSceneWindow(unsigned long window);
    void ForgetSceneWindow(unsigned long window);

  private:
    void EnsureDisplay();
    // Asks the server for the monitors; true when they changed.
    bool QueryMonitors();
    static int OnSystemEvent(void* event, void* host);
    FltkFormPeer* PeerOf(HWND hWnd);

    bool m_displayOpen = false;
    std::set<FltkFormPeer*> m_peers;
    std::optional<int> m_requestedScale;
    MonitorSelection m_monitors;
    int m_randrEventBase = 0;
    bool m_monitorsChanged = false;
    X11SceneWatch m_watch;
};
