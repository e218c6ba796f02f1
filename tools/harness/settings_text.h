#pragma once
// The text of a settings file, for the tests and the benchmarks that write one.

#include <optional>
#include <string>
#include <vector>

// The "controls" keys in the order the settings file holds them: lights, chimneysmoke, snowing,
// lightspeed, smokespeed, snowspeed.
extern const std::vector<std::string> kControlKeys;
// The values of the file as delivered: every effect on, the delivered speeds.
extern const std::vector<std::string> kDeliveredControls;

// A settings file: a [controls] section with the values given (as many of kControlKeys as there
// are values, in that order), then, unless applic is nullopt, an [applic] section with the lines
// given as they stand (the default: no e-mail prompt). lineBreak ends the lines of [controls]
// and the section names.
std::string SettingsFileText(const std::vector<std::string>& controls,
                             const std::optional<std::string>& applic = "appdisplay=0\n",
                             const std::string& lineBreak = "\n");
