// SPDX-License-Identifier: MIT
#pragma once
// Host services for a scene that runs inside a window given by a screen-saver daemon
// (xscreensaver and friends): the window is the screen. There is no input to watch, no pointer,
// keyboard or window placement to change and no dialog to show; messages go to standard error.
// The run ends on SIGTERM, SIGINT and SIGHUP, when the window is destroyed and when the X
// connection is lost; a resized window makes the event processing throw ScreenChanged.
//
// In window mode the host makes that window itself: an ordinary top-level window with a title,
// which the user resizes and ends by closing it or with Escape or Ctrl+Q (mouse movement does
// not end it).

#include <string>
#include <vector>

#include "platform/posix/PosixHost.h"
#include "platform/x11/X11SceneWatch.h"

typedef struct _XDisplay Display;

class EmbeddedHost : public PosixHost {
  public:
    // window: the X window to draw on; 0 means the root window.
    EmbeddedHost(const std::vector<std::string>& arguments, unsigned long window);
    ~EmbeddedHost() override;

    // Connects to the X server and checks the window; false (with a message on standard error)
    // when there is no display or no such window.
    bool Open();
    // Window mode: connects to the X server and makes a top-level window of width x height
    // titled title; false (with a message on standard error) when that is not possible.
    bool OpenOwnWindow(int width, int height, const std::string& title);

    Long ScreenWidthTwips() override { return m_width * TwipsPerPixelX(); }
    Long ScreenHeightTwips() override { return m_height * TwipsPerPixelY(); }
    // One window, one scene, whatever the monitors.
    int MonitorCount() override { return 1; }
    void SelectMonitor(int) override {}
    void DoEvents() override;
    void WaitForEvents(Long timeoutMs) override;
    // Not while the display is powered down or the window unmapped or fully covered.
    bool SceneSeen() override { return m_watch.Seen(GetTickCount()); }
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    [[noreturn]] void EndProgram(int status) override;
    std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;

  private:
    class WindowPeer;
    bool Connect();
    // A key pressed in our own window: true when it ends the run (Escape, Ctrl+Q).
    bool EndsRun(void* keyEvent) const;

    Display* m_display = nullptr;
    unsigned long m_window;
    int m_width = 0;
    int m_height = 0;
    bool m_messageShown = false;
    bool m_ownWindow = false;
    unsigned long m_deleteWindowAtom = 0;
    WindowPeer* m_peer = nullptr;
    X11SceneWatch m_watch;
};
