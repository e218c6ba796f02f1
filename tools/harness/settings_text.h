// SPDX-License-Identifier: MIT
#pragma once
// The text of a settings file, for the tests and the benchmarks that write one.

#include <optional>
#include <string>
#include <vector>

// The "controls" keys in the order the settings file holds them. (Inline, so that constants of
// other files made from them at start-up find them made.)
inline const std::vector<std::string> kControlKeys{"lights",     "chimneysmoke", "snowing",
                                                   "lightspeed", "smokespeed",   "snowspeed"};
// The values of the file as delivered: every effect on, the delivered speeds.
inline const std::vector<std::string> kDeliveredControls{"1", "1", "1", "3", "2", "4"};

// A settings file: a [controls] section with the values given (as many of kControlKeys as there
// are values, in that order), then, unless applic is nullopt, an [applic] section with the lines
// given as they stand (the default: no e-mail prompt). lineBreak ends the lines of [controls]
// and the section names.
std::string SettingsFileText(const std::vector<std::string>& controls,
                             const std::optional<std::string>& applic = "appdisplay=0\n",
                             const std::string& lineBreak = "\n");
