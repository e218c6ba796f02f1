#include "app/LinuxOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "app/product.h"
#include "platform/numbers.h"
#include "settings_ui/frmSettings.h"

namespace {

// An option's name without its value ("--light-speed=5" gives "--light-speed" and "5").
struct Option {
    std::string name;
    std::optional<std::string> value;
};

Option Split(const std::string& argument) {
    const size_t equals = argument.find('=');
    if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
        return {argument.substr(0, equals), argument.substr(equals + 1)};
    }
    return {argument, std::nullopt};
}

// Both spellings of an option: "--root" and "-root".
bool Is(const std::string& name, const char* option) {
    return name == std::string("--") + option || name == std::string("-") + option;
}

bool IsSwitch(const std::string& name) {
    for (const char* option : {"lights", "no-lights", "smoke", "no-smoke", "snow", "no-snow"}) {
        if (Is(name, option))
            return true;
    }
    return false;
}

bool TakesValue(const std::string& name) {
    return Is(name, "window-id") || Is(name, "light-speed") || Is(name, "smoke-speed") ||
           Is(name, "snow-speed") || Is(name, "scale");
}

bool IsOurs(const std::string& argument) {
    const std::string name = Split(argument).name;
    return Is(name, "root") || Is(name, "help") || Is(name, "version") || Is(name, "window") ||
           IsSwitch(name) || TakesValue(name);
}

constexpr int kSmallestWindow = 64;
constexpr int kLargestWindow = 16384;

// A whole number within low to high, or nullopt.
std::optional<int> WholeNumber(const std::string& text, int low, int high) {
    try {
        const double value = TextToNumber(text);
        // The range first: a number outside it may not be cast.
        if (value >= low && value <= high && value == std::trunc(value)) {
            return static_cast<int>(value);
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::pair<int, int>> ParseWindowSize(const std::string& text) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos || x == 0 || x + 1 >= text.size() || text.size() > 11)
        return std::nullopt;
    auto side = [](const std::string& digits) -> std::optional<int> {
        if (digits.empty() || digits.size() > 5)
            return std::nullopt;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return std::nullopt;
        }
        const int value = std::stoi(digits);
        if (value < kSmallestWindow || value > kLargestWindow)
            return std::nullopt;
        return value;
    };
    const auto width = side(text.substr(0, x));
    const auto height = side(text.substr(x + 1));
    if (!width || !height)
        return std::nullopt;
    return std::make_pair(*width, *height);
}

std::optional<unsigned long> ParseWindowId(const std::string& text) {
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty())
        return std::nullopt;
    for (char c : digits) {
        const bool ok =
            hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
        if (!ok)
            return std::nullopt;
    }
    errno = 0;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    // X window ids have 29 bits.
    if (errno != 0 || value == 0 || value > 0x1FFFFFFFull)
        return std::nullopt;
    return static_cast<unsigned long>(value);
}

LinuxOptions ParseLinuxOptions(const std::vector<std::string>& arguments,
                               const char* screensaverWindow) {
    LinuxOptions options;
    auto fromEnvironment = [&]() {
        if (screensaverWindow == nullptr)
            return true;
        const auto window = ParseWindowId(screensaverWindow);
        if (!window) {
            options.error = "XSCREENSAVER_WINDOW is not a window id: \"" +
                            std::string(screensaverWindow) + "\"";
            return false;
        }
        options.window = *window;
        return true;
    };
    if (arguments.empty()) {
        // Started by a screen-saver daemon that names its window in the environment.
        if (screensaverWindow != nullptr) {
            options.recognised = true;
            options.embedded = true;
            fromEnvironment();
        }
        return options;
    }
    if (!IsOurs(arguments[0]))
        return options;

    options.recognised = true;
    for (size_t i = 0; i < arguments.size() && options.error.empty(); ++i) {
        const Option option = Split(arguments[i]);
        const std::string& name = option.name;
        std::string value;
        if (TakesValue(name)) {
            if (option.value) {
                value = *option.value;
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                options.error = name + " needs a value";
                break;
            }
        } else if (Is(name, "window")) {
            // An optional size: "--window=WxH", or "--window WxH" when the next argument is one.
            if (option.value) {
                value = *option.value;
            } else if (i + 1 < arguments.size() && ParseWindowSize(arguments[i + 1])) {
                value = arguments[++i];
            }
        } else if (option.value) {
            options.error = name + " takes no value";
            break;
        }
        auto speed = [&](const char* key, int low, int high, bool mirrored) {
            const auto position = WholeNumber(value, low, high);
            if (!position) {
                options.error = name + " wants a whole number from " + std::to_string(low) +
                                " to " + std::to_string(high) + ", not \"" + value + "\"";
                return;
            }
            // Like the dialog's scroll bars: further right is faster.
            const std::string text = std::to_string(*position);
            options.overrides.emplace_back(key,
                                           mirrored ? frmSettings::MirrorSpeed(text, "10") : text);
        };
        if (Is(name, "root")) {
            options.embedded = true;
            fromEnvironment();
        } else if (Is(name, "window-id")) {
            const auto window = ParseWindowId(value);
            if (!window) {
                options.error =
                    name + " wants a window id (decimal or 0x hexadecimal), not \"" + value + "\"";
            } else {
                options.embedded = true;
                options.window = *window;
            }
        } else if (Is(name, "window")) {
            options.windowed = true;
            if (!value.empty()) {
                const auto size = ParseWindowSize(value);
                if (!size) {
                    options.error = name + " wants a size WxH (each side " +
                                    std::to_string(kSmallestWindow) + " to " +
                                    std::to_string(kLargestWindow) + "), not \"" + value + "\"";
                } else {
                    options.windowWidth = size->first;
                    options.windowHeight = size->second;
                }
            }
        } else if (Is(name, "scale")) {
            const auto factor = WholeNumber(value, 1, 4);
            if (!factor) {
                options.error = name + " wants a whole number from 1 to 4, not \"" + value + "\"";
            } else {
                options.scale = *factor;
            }
        } else if (Is(name, "help")) {
            options.help = true;
        } else if (Is(name, "version")) {
            options.version = true;
        } else if (Is(name, "lights") || Is(name, "no-lights")) {
            options.overrides.emplace_back("lights", Is(name, "lights") ? "1" : "0");
        } else if (Is(name, "smoke") || Is(name, "no-smoke")) {
            options.overrides.emplace_back("chimneysmoke", Is(name, "smoke") ? "1" : "0");
        } else if (Is(name, "snow") || Is(name, "no-snow")) {
            options.overrides.emplace_back("snowing", Is(name, "snow") ? "1" : "0");
        } else if (Is(name, "light-speed")) {
            speed("lightspeed", 1, 10, true);
        } else if (Is(name, "smoke-speed")) {
            speed("smokespeed", 1, 10, true);
        } else if (Is(name, "snow-speed")) {
            speed("snowspeed", 2, 20, false);
        } else {
            options.error = "unknown option \"" + arguments[i] + "\"";
        }
    }
    if (options.error.empty() && options.windowed && options.embedded)
        options.error =
            "--window shows a window of its own: it does not go with --root or --window-id";
    return options;
}

std::string LinuxOptionsUsage() {
    return std::string(kProductTitle) + " " + std::string(kProductVersion) +
           " - a winter night screen saver\n"
           "\n"
           "usage: glimmerdel [/s | /c | /p WINDOW | /a WINDOW]\n"
           "       glimmerdel [--root | --window-id ID | --window [WxH]] [OPTIONS]\n"
           "       glimmerdel --background [OPTIONS]\n"
           "\n"
           "Classic switches:\n"
           "  /s, no switch      run the saver full screen\n"
           "  /c                 open the settings dialog\n"
           "  /p WINDOW          paint a still picture into a preview window\n"
           "  /a WINDOW          change the screen-saver password (nothing to do here)\n"
           "\n"
           "Screen-saver daemons (xscreensaver and friends):\n"
           "  --root             draw on $XSCREENSAVER_WINDOW, or on the root window\n"
           "  --window-id ID     draw on that window (decimal or 0x hexadecimal)\n"
           "  With $XSCREENSAVER_WINDOW set and no arguments, --root is meant.\n"
           "\n"
           "A window of its own (for desktops without X screen-saver programs):\n"
           "  --window [WxH]     the scene in a resizable window, 1024x600 unless given;\n"
           "                     closing it, Escape or Ctrl+Q ends it\n"
           "\n"
           "Wayland (the saver covers every output where $WAYLAND_DISPLAY is set; /c, /p and\n"
           "--window show through XWayland):\n"
           "  --background       the scene behind the windows on every output, no input: a\n"
           "                     wallpaper, or a locker's background over $WAYLAND_SOCKET\n"
           "  GLIMMERDEL_BACKEND=x11 or =wayland chooses the full-screen saver's backend.\n"
           "\n"
           "Screens (the saver covers every monitor):\n"
           "  --scale N          show each pixel of the scene as N x N pixels (1 to 4);\n"
           "                     unset: 2 on monitors wider than 2560 or taller than 1600\n"
           "\n"
           "Settings for this run (the settings file stays as it is):\n"
           "  --lights, --no-lights      Christmas lights on or off\n"
           "  --smoke, --no-smoke        chimney smoke on or off\n"
           "  --snow, --no-snow          snowfall on or off\n"
           "  --light-speed N            1 (slow) to 10 (fast)\n"
           "  --smoke-speed N            1 (slow) to 10 (fast)\n"
           "  --snow-speed N             2 (gentle) to 20 (a storm)\n"
           "  --help, --version\n"
           "\n"
           "Options take one or two dashes, and values as \"--snow-speed 8\" or "
           "\"--snow-speed=8\".\n";
}
