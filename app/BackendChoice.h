// SPDX-License-Identifier: MIT
#pragma once
// Which windowing backend runs the program on Linux: X11 (FLTK and Xlib, also through XWayland)
// or Wayland (the compositor's own protocol).
//
// The full-screen saver runs natively when a Wayland compositor is named ($WAYLAND_DISPLAY or
// $WAYLAND_SOCKET) and nothing asks for an X window (--root, --window-id, $XSCREENSAVER_WINDOW);
// the background of a locker or a desktop (--background) always does. The settings dialog, the
// preview, the password switch and the window mode stay on X11. $GLIMMERDEL_BACKEND set to
// "x11" or "wayland" chooses the full-screen saver's backend whatever else is set.

#include <string>
#include <vector>

struct LinuxOptions;

enum class Backend { X11, Wayland };

// The environment the choice reads; null for what is not set.
struct BackendEnvironment {
    const char* forced = nullptr;          // $GLIMMERDEL_BACKEND
    const char* waylandDisplay = nullptr;  // $WAYLAND_DISPLAY
    const char* waylandSocket = nullptr;   // $WAYLAND_SOCKET
    const char* display = nullptr;         // $DISPLAY
};

struct BackendChoice {
    Backend backend = Backend::X11;
    // A problem with the command line or the environment: the text for standard error, and
    // the program ends with status 2.
    std::string error;
    // A mode that needs an X server where there is none: the text for standard error, and the
    // program ends with status 1.
    std::string noXServer;
};

// arguments: the program's arguments after its name; options: what ParseLinuxOptions made of
// them (--background among them).
BackendChoice ChooseBackend(const std::vector<std::string>& arguments, const LinuxOptions& options,
                            const BackendEnvironment& environment);
