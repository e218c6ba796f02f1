// SPDX-License-Identifier: MIT
#include "app/BackendChoice.h"

#include <algorithm>
#include <cctype>

#include "app/LinuxOptions.h"

namespace {

bool Set(const char* value) {
    return value != nullptr && *value != '\0';
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The mode of the classic switches that draws no full-screen scene, as the user would name it;
// empty for the saver. Only the first two characters of the command line count.
std::string ClassicWindowMode(const std::vector<std::string>& arguments) {
    std::string command;
    for (const std::string& argument : arguments)
        command += (command.empty() ? "" : " ") + argument;
    const size_t first = command.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    const std::string mode = Lower(command.substr(first, 2));
    if (mode == "/c")
        return "the settings dialog (/c)";
    if (mode == "/p")
        return "the preview (/p)";
    if (mode == "/a")
        return "the password switch (/a)";
    return "";
}

}  // namespace

BackendChoice ChooseBackend(const std::vector<std::string>& arguments, const LinuxOptions& options,
                            const BackendEnvironment& environment) {
    const bool background = options.background;
    BackendChoice choice;
    std::string forced;
    if (Set(environment.forced)) {
        forced = Lower(environment.forced);
        if (forced != "x11" && forced != "wayland") {
            choice.error = "GLIMMERDEL_BACKEND must be \"x11\" or \"wayland\", not \"" +
                           std::string(environment.forced) + "\"";
            return choice;
        }
    }
    // What only X11 can show: a window of an X client, or one of the dialog-like modes.
    std::string xOnly;
    if (options.embedded)
        xOnly = "drawing on an X window (--root, --window-id, XSCREENSAVER_WINDOW)";
    else if (options.windowed)
        xOnly = "the window mode (--window)";
    else if (!options.recognised)
        xOnly = ClassicWindowMode(arguments);

    if (background) {
        if (!xOnly.empty()) {
            choice.error = "--background draws behind the desktop: it does not go with " + xOnly;
        } else if (forced == "x11") {
            choice.error =
                "--background needs Wayland's background layer, not GLIMMERDEL_BACKEND=x11";
        } else {
            choice.backend = Backend::Wayland;
        }
        return choice;
    }
    const bool waylandNamed = Set(environment.waylandDisplay) || Set(environment.waylandSocket);
    if (!xOnly.empty()) {
        // On a Wayland desktop without XWayland these cannot start: say why.
        if (waylandNamed && !Set(environment.display))
            choice.noXServer = xOnly +
                               " runs on X11, and no X server is named (DISPLAY is not "
                               "set; XWayland provides one)";
        return choice;
    }
    if (forced == "x11")
        return choice;
    if (forced == "wayland" || waylandNamed)
        choice.backend = Backend::Wayland;
    return choice;
}
