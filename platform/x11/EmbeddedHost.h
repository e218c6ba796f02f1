#pragma once
// Host services for a scene that runs inside a window given by a screen-saver daemon
// (xscreensaver and friends): the window is the screen. There is no input to watch, no pointer,
// keyboard or window placement to change and no dialog to show; messages go to standard error.
// The run ends on SIGTERM, SIGINT and SIGHUP, when the window is destroyed and when the X
// connection is lost; a resized window makes the event processing throw ScreenChanged.

#include <string>
#include <vector>

#include "platform/x11/FltkHost.h"

typedef struct _XDisplay Display;

class EmbeddedHost : public FltkHost {
  public:
    // window: the X window to draw on; 0 means the root window.
    EmbeddedHost(const std::vector<std::string>& arguments, unsigned long window);
    ~EmbeddedHost() override;

    // Connects to the X server and checks the window; false (with a message on standard error)
    // when there is no display or no such window.
    bool Open();

    Long ScreenWidthTwips() override { return m_width * TwipsPerPixelX(); }
    Long ScreenHeightTwips() override { return m_height * TwipsPerPixelY(); }
    void DoEvents() override;
    void WaitForEvents(Long timeoutMs) override;
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    [[noreturn]] void EndProgram(int status) override;
    int ShowCursor(BOOL show) override;
    BOOL SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;

  private:
    class WindowPeer;

    Display* m_display = nullptr;
    unsigned long m_window;
    int m_width = 0;
    int m_height = 0;
    int m_cursorCount = 0;
    bool m_messageShown = false;
    WindowPeer* m_peer = nullptr;
};
