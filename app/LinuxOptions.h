// SPDX-License-Identifier: MIT
#pragma once
// The options of the Linux screen-saver convention, recognised before the classic switches:
// where to draw (--root, --window-id), and settings that override the settings file for one run.

#include <optional>
#include <string>
#include <vector>

struct LinuxOptions {
    // Whether the command line is one of ours; otherwise the classic switches apply.
    bool recognised = false;
    // Draw into a given window (the window is the screen) instead of a full-screen form.
    bool embedded = false;
    unsigned long window = 0;  // 0: the root window
    // Show the scene in an ordinary top-level window of this size (--window [WxH]).
    bool windowed = false;
    int windowWidth = 1024;
    int windowHeight = 600;
    // Each pixel of the composed scene shown as scale x scale pixels (--scale N); unset: chosen
    // per monitor from its size.
    std::optional<int> scale;
    // The scene behind the windows of a Wayland desktop, taking no input (--background).
    bool background = false;
    bool help = false;
    bool version = false;
    // A problem with the command line: the text for standard error (the program ends with 2).
    std::string error;
    // Settings for this run, as the settings file would hold them (key, value).
    std::vector<std::pair<std::string, std::string>> overrides;
};

// arguments: the program's arguments after its name; screensaverWindow: $XSCREENSAVER_WINDOW
// (null when it is not set).
LinuxOptions ParseLinuxOptions(const std::vector<std::string>& arguments,
                               const char* screensaverWindow);

// The usage text (--help).
std::string LinuxOptionsUsage();

// A window size "WxH" (each side kSmallestWindowSide to kLargestWindowSide); nullopt for
// anything else.
std::optional<std::pair<int, int>> ParseWindowSize(const std::string& text);

// A window id in decimal or 0x hexadecimal; nullopt for anything else.
std::optional<unsigned long> ParseWindowId(const std::string& text);
