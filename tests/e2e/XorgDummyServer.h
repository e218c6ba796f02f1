// SPDX-License-Identifier: MIT
#pragma once
// An Xorg server with the dummy video driver, for tests with several monitors side by side
// (Xvfb stacks its screens on one another). It needs root; Running() is false without it.
// Monitors are the driver's outputs DUMMY0..15, given modes and placed with xrandr.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/e2e/XSession.h"
#include "tools/harness/TempDir.h"

class XorgDummyServer {
  public:
    XorgDummyServer();
    ~XorgDummyServer();
    XorgDummyServer(const XorgDummyServer&) = delete;
    XorgDummyServer& operator=(const XorgDummyServer&) = delete;

    bool Running() const { return m_pid > 0; }
    const std::string& Display() const { return m_display; }

    struct Monitor {
        int x, y, width, height;
    };
    // Gives the outputs DUMMY0, DUMMY1, ... these sizes and places (the screen grows to hold
    // them) and switches every other output off; true once the server reports exactly these.
    bool Arrange(const std::vector<Monitor>& monitors);
    // The whole screen, as 0x00RRGGBB pixels.
    XvfbServer::Picture Capture() const;
    // The monitors' part of a capture as a JPEG file (what no monitor shows is left black).
    static void SaveJpeg(const XvfbServer::Picture& picture, const std::vector<Monitor>& monitors,
                         const std::string& path);
    // True when the pointer shows no visible pixel (hidden by the window under it).
    bool PointerHidden() const;
    // Runs xdotool or xrandr on this display; their standard output.
    std::string Run(const std::vector<std::string>& argv) const;
    // Viewable top-level windows named exactly so, after waiting up to the timeout for there
    // to be exactly `count` of them.
    std::vector<unsigned long> FindWindows(const std::string& name, size_t count,
                                           std::chrono::milliseconds timeout) const;

  private:
    TempDir m_folder;
    pid_t m_pid = -1;
    std::string m_display;
    std::vector<std::string> m_modes;
};
