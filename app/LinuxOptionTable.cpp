// SPDX-License-Identifier: MIT
// The options of the Linux screen-saver convention. The speeds have the ranges of the settings
// dialog's scroll bars; the scale that of the monitors' scale.

#include "app/LinuxOptionTable.h"

#include <stdexcept>

#include "platform/monitors.h"

namespace {

using Row = LinuxOptionTable::Row;
using enum OptionKind;
using Group = OptionGroup;

constexpr Row kRows[] = {
    {.name = "root",
     .kind = Root,
     .group = Group::Daemons,
     .help = "draw on $XSCREENSAVER_WINDOW, or on the root window"},
    {.name = "window-id",
     .kind = WindowId,
     .group = Group::Daemons,
     .value = "ID",
     .help = "draw on that window (decimal or 0x hexadecimal)"},
    {.name = "window",
     .kind = OwnWindow,
     .group = Group::OwnWindow,
     .low = kSmallestWindowSide,
     .high = kLargestWindowSide,
     .value = "[WxH]",
     .help = "the scene in a resizable window, 1024x600 unless given\n"
             "(sides {low} to {high}); closing it, Escape or Ctrl+Q ends it"},
    {.name = "background",
     .kind = Background,
     .group = Group::Wayland,
     .help = "the scene behind the windows on every output, no input: a\n"
             "wallpaper, or a locker's background over $WAYLAND_SOCKET"},
    {.name = "scale",
     .kind = Scale,
     .group = Group::Screens,
     .low = 1,
     .high = kLargestScale,
     .value = "N",
     .help = "show each pixel of the scene as N x N pixels ({low} to {high});\n"
             "unset: 2 on monitors wider than 2560 or taller than 1600"},
    {.name = "lights",
     .negation = "no-lights",
     .kind = Switch,
     .group = Group::Settings,
     .key = "lights",
     .help = "Christmas lights on or off"},
    {.name = "smoke",
     .negation = "no-smoke",
     .kind = Switch,
     .group = Group::Settings,
     .key = "chimneysmoke",
     .help = "chimney smoke on or off"},
    {.name = "snow",
     .negation = "no-snow",
     .kind = Switch,
     .group = Group::Settings,
     .key = "snowing",
     .help = "snowfall on or off"},
    {.name = "light-speed",
     .kind = Speed,
     .group = Group::Settings,
     .key = "lightspeed",
     .low = 1,
     .high = 10,
     .mirrored = true,
     .value = "N",
     .help = "{low} (slow) to {high} (fast)"},
    {.name = "smoke-speed",
     .kind = Speed,
     .group = Group::Settings,
     .key = "smokespeed",
     .low = 1,
     .high = 10,
     .mirrored = true,
     .value = "N",
     .help = "{low} (slow) to {high} (fast)"},
    {.name = "snow-speed",
     .kind = Speed,
     .group = Group::Settings,
     .key = "snowspeed",
     .low = 2,
     .high = 20,
     .value = "N",
     .help = "{low} (gentle) to {high} (a storm)"},
    {.name = "help", .kind = Help, .group = Group::Settings, .help = "this text"},
    {.name = "version", .kind = Version, .group = Group::Settings, .help = "the program's version"},
};

void ReplaceAll(std::string& text, std::string_view placeholder, int number) {
    const std::string digits = std::to_string(number);
    for (size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + digits.size())) {
        text.replace(at, placeholder.size(), digits);
    }
}

}  // namespace

bool Row::TakesValue() const {
    return kind == OptionKind::WindowId || kind == OptionKind::Scale || kind == OptionKind::Speed ||
           kind == OptionKind::OwnWindow;
}

bool Row::ValueIsOptional() const {
    return kind == OptionKind::OwnWindow;
}

std::string Row::Help() const {
    std::string text(help);
    ReplaceAll(text, "{low}", low);
    ReplaceAll(text, "{high}", high);
    return text;
}

std::string Row::Label() const {
    std::string label = "--" + std::string(name);
    if (!negation.empty())
        label += ", --" + std::string(negation);
    if (!value.empty())
        label += " " + std::string(value);
    return label;
}

std::span<const Row> LinuxOptionTable::Rows() {
    return kRows;
}

const Row* LinuxOptionTable::Find(std::string_view dashedName, bool* negated) {
    std::string_view name = dashedName;
    if (name.starts_with("--"))
        name.remove_prefix(2);
    else if (name.starts_with("-"))
        name.remove_prefix(1);
    else
        return nullptr;
    for (const Row& row : kRows) {
        if (name == row.name || (!row.negation.empty() && name == row.negation)) {
            if (negated != nullptr)
                *negated = name == row.negation;
            return &row;
        }
    }
    return nullptr;
}

const Row& LinuxOptionTable::OfKind(OptionKind kind) {
    for (const Row& row : kRows) {
        if (row.kind == kind)
            return row;
    }
    throw std::logic_error("no option of this kind");
}
