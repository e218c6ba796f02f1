// SPDX-License-Identifier: MIT
#pragma once
// The options of the Linux screen-saver convention, one row each: the parser, its error messages
// and the usage text all read them from here.

#include <span>
#include <string>
#include <string_view>

// What an option does, and so what value it takes.
enum class OptionKind {
    Root,        // draw on the daemon's window or the root window; no value
    WindowId,    // draw on the window given as its value
    OwnWindow,   // a window of its own, with an optional size WxH
    Background,  // behind the windows of a Wayland desktop, taking no input; no value
    Scale,       // the pixel scale, a whole number within the range
    Switch,      // an effect on (the name) or off (the negation) for the run; no value
    Speed,       // a speed for the run, a whole number within the range
    Help,        // the usage text; no value
    Version,     // the program's version; no value
};

// The headings of the usage text the options stand under, in their order there.
enum class OptionGroup { Daemons, OwnWindow, Wayland, Screens, Settings };

// A window of its own: each side in pixels.
inline constexpr int kSmallestWindowSide = 64;
inline constexpr int kLargestWindowSide = 16384;

struct LinuxOptionTable {
    // One option. Names are written without dashes; one or two are accepted.
    struct Row {
        std::string_view name;
        // A switch's other spelling, which turns it off.
        std::string_view negation = {};
        OptionKind kind;
        OptionGroup group;
        // The key of the settings file a switch or a speed replaces for the run.
        std::string_view key = {};
        // The whole numbers a scale or a speed accepts; for a window of its own, those of a side.
        int low = 0;
        int high = 0;
        // A speed stored mirrored, as the dialog's light and smoke bars store theirs: the
        // settings file holds a hold count (larger is slower), the option a pace (larger is
        // faster).
        bool mirrored = false;
        // The value's name in the usage text ("N"); in brackets when it may be left out.
        std::string_view value = {};
        // The usage text's description; "{low}" and "{high}" stand for the range, and a line
        // break continues it on the next line.
        std::string_view help;

        bool TakesValue() const;
        bool ValueIsOptional() const;
        bool Ranged() const { return low != 0 || high != 0; }
        // The description with the range written in.
        std::string Help() const;
        // "--light-speed N", "--lights, --no-lights".
        std::string Label() const;
    };

    static std::span<const Row> Rows();

    // The row an option's name ("--snow", "-no-snow") belongs to, or null; negated tells which
    // spelling of a switch it is.
    static const Row* Find(std::string_view dashedName, bool* negated = nullptr);
    // The first row of a kind (there is one of each but Switch and Speed).
    static const Row& OfKind(OptionKind kind);
};
