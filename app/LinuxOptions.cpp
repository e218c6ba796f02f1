// SPDX-License-Identifier: MIT
#include "app/LinuxOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "app/LinuxOptionTable.h"
#include "app/mScreenSaver.h"
#include "app/product.h"
#include "platform/numbers.h"

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

bool IsOurs(const std::string& argument) {
    return LinuxOptionTable::Find(Split(argument).name) != nullptr;
}

std::string Dashed(OptionKind kind) {
    return "--" + std::string(LinuxOptionTable::OfKind(kind).name);
}

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
        if (value < kSmallestWindowSide || value > kLargestWindowSide)
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
        bool negated = false;
        const LinuxOptionTable::Row* row = LinuxOptionTable::Find(name, &negated);
        if (row == nullptr) {
            options.error = "unknown option \"" + arguments[i] + "\"";
            break;
        }
        std::string value;
        if (option.value) {
            value = *option.value;
            if (!row->TakesValue()) {
                options.error = name + " takes no value";
                break;
            }
        } else if (row->ValueIsOptional()) {
            // "--window WxH" when the next argument is a size.
            if (i + 1 < arguments.size() && ParseWindowSize(arguments[i + 1]))
                value = arguments[++i];
        } else if (row->TakesValue()) {
            if (i + 1 >= arguments.size()) {
                options.error = name + " needs a value";
                break;
            }
            value = arguments[++i];
        }
        // A whole number within the row's range; otherwise the error says so.
        auto wholeNumber = [&]() -> std::optional<int> {
            const auto number = WholeNumber(value, row->low, row->high);
            if (!number) {
                options.error = name + " wants a whole number from " + std::to_string(row->low) +
                                " to " + std::to_string(row->high) + ", not \"" + value + "\"";
            }
            return number;
        };
        switch (row->kind) {
            case OptionKind::Root:
                options.embedded = true;
                fromEnvironment();
                break;
            case OptionKind::WindowId:
                if (const auto window = ParseWindowId(value)) {
                    options.embedded = true;
                    options.window = *window;
                } else {
                    options.error = name +
                                    " wants a window id (decimal or 0x hexadecimal), not \"" +
                                    value + "\"";
                }
                break;
            case OptionKind::OwnWindow:
                options.windowed = true;
                if (value.empty())
                    break;
                if (const auto size = ParseWindowSize(value)) {
                    options.windowWidth = size->first;
                    options.windowHeight = size->second;
                } else {
                    options.error = name + " wants a size WxH (each side " +
                                    std::to_string(row->low) + " to " + std::to_string(row->high) +
                                    "), not \"" + value + "\"";
                }
                break;
            case OptionKind::Background:
                options.background = true;
                break;
            case OptionKind::Scale:
                if (const auto factor = wholeNumber())
                    options.scale = *factor;
                break;
            case OptionKind::Switch:
                options.overrides.emplace_back(row->key, negated ? "0" : "1");
                break;
            case OptionKind::Speed:
                if (const auto pace = wholeNumber()) {
                    // Like the dialog's scroll bars: further right is faster.
                    const std::string text = std::to_string(*pace);
                    options.overrides.emplace_back(
                        row->key,
                        row->mirrored ? MirrorSpeed(text, std::to_string(row->high)) : text);
                }
                break;
            case OptionKind::Help:
                options.help = true;
                break;
            case OptionKind::Version:
                options.version = true;
                break;
        }
    }
    if (options.error.empty() && options.windowed && options.embedded)
        options.error = Dashed(OptionKind::OwnWindow) +
                        " shows a window of its own: it does not go with " +
                        Dashed(OptionKind::Root) + " or " + Dashed(OptionKind::WindowId);
    return options;
}

namespace {

// The usage text's lines of two columns: what is typed, and what it does.
struct UsageLine {
    std::string label;
    std::string text;
};

// The classic switches, which the mode dispatch reads.
const UsageLine kClassicSwitches[] = {
    {"/s, no switch", "run the saver full screen"},
    {"/c", "open the settings dialog"},
    {"/p WINDOW", "paint a still picture into a preview window"},
    {"/a WINDOW", "change the screen-saver password (nothing to do here)"},
};

// The headings of the options' groups, and a line after a group where it needs one.
struct UsageGroup {
    OptionGroup group;
    const char* heading;
    const char* after;
};

const UsageGroup kGroups[] = {
    {OptionGroup::Daemons, "Screen-saver daemons (xscreensaver and friends):",
     "  With $XSCREENSAVER_WINDOW set and no arguments, --root is meant.\n"},
    {OptionGroup::OwnWindow,
     "A window of its own (for desktops without X screen-saver programs):", ""},
    {OptionGroup::Wayland,
     "Wayland (the saver covers every output where $WAYLAND_DISPLAY is set; /c, /p and\n"
     "--window show through XWayland):",
     "  GLIMMERDEL_BACKEND=x11 or =wayland chooses the full-screen saver's backend.\n"},
    {OptionGroup::Screens, "Screens (the saver covers every monitor):", ""},
    {OptionGroup::Settings, "Settings for this run (the settings file stays as it is):", ""},
};

// The lines in two columns: the texts start in one column, two places after the widest label
// and at least kLabelWidth; a text's line breaks continue it in its column.
constexpr size_t kLabelWidth = 19;

std::string TwoColumns(const std::vector<UsageLine>& lines) {
    size_t width = kLabelWidth;
    for (const UsageLine& line : lines)
        width = std::max(width, line.label.size() + 2);
    std::string text;
    for (const UsageLine& line : lines) {
        std::string label = line.label;
        for (size_t start = 0; start <= line.text.size();) {
            const size_t end = std::min(line.text.find('\n', start), line.text.size());
            text += "  " + label + std::string(width - label.size(), ' ') +
                    line.text.substr(start, end - start) + "\n";
            label.clear();
            start = end + 1;
        }
    }
    return text;
}

}  // namespace

std::string LinuxOptionsUsage() {
    std::vector<std::vector<UsageLine>> groups(std::size(kGroups));
    std::string places;
    for (const LinuxOptionTable::Row& row : LinuxOptionTable::Rows()) {
        groups[static_cast<size_t>(row.group)].push_back({row.Label(), row.Help()});
        if (row.kind == OptionKind::Root || row.kind == OptionKind::WindowId ||
            row.kind == OptionKind::OwnWindow)
            places += (places.empty() ? "" : " | ") + row.Label();
    }
    std::string text = std::string(kProductTitle) + " " + std::string(kProductVersion) +
                       " - a winter night screen saver\n"
                       "\n"
                       "usage: glimmerdel [/s | /c | /p WINDOW | /a WINDOW]\n"
                       "       glimmerdel [" +
                       places +
                       "] [OPTIONS]\n"
                       "       glimmerdel " +
                       LinuxOptionTable::OfKind(OptionKind::Background).Label() +
                       " [OPTIONS]\n"
                       "\n"
                       "Classic switches:\n" +
                       TwoColumns({std::begin(kClassicSwitches), std::end(kClassicSwitches)});
    for (const UsageGroup& group : kGroups) {
        text += "\n" + std::string(group.heading) + "\n" +
                TwoColumns(groups[static_cast<size_t>(group.group)]) + group.after;
    }
    return text +
           "\n"
           "Options take one or two dashes, and values as \"--snow-speed 8\" or "
           "\"--snow-speed=8\".\n";
}
