// SPDX-License-Identifier: MIT
#pragma once
// Tests of the settings dialog: the headless host with its program folder in a temporary
// folder, the in-memory settings cleared, and one dialog.

#include <string>
#include <vector>

#include "app/mScreenSaver.h"
#include "settings_ui/frmSettings.h"
#include "tests/support/HostFixture.h"
#include "tools/harness/TempDir.h"
#include "tools/harness/settings_text.h"

// The six "controls" values in the order the dialog reads and writes them: lights,
// chimneysmoke, snowing, lightspeed, smokespeed, snowspeed.
using Controls = std::vector<std::string>;

class SettingsDialogFixture : public HostFixture {
  protected:
    SettingsDialogFixture() {
        host.SetAppPath(folder.Path());
        g_lights = g_chimneySmoke = g_snowing = g_lightSpeed = g_smokeSpeed = g_snowSpeed = "";
    }

    void WriteIni(const std::string& content) { folder.Write("vantroglimmerdel.ini", content); }
    std::string ReadIni() { return folder.Read("vantroglimmerdel.ini"); }

    // A settings file holding these six values under [controls].
    void WriteControls(const Controls& values) { WriteIni(SettingsFileText(values, std::nullopt)); }

    // The six values as the settings file holds them now.
    Controls SavedControls() {
        Controls values;
        for (const char* key :
             {"lights", "chimneysmoke", "snowing", "lightspeed", "smokespeed", "snowspeed"}) {
            std::string value;
            ReadSetting("controls", key, value, IniPath());
            values.push_back(value);
        }
        return values;
    }

    // The dialog's controls, in the order of the settings.
    Controls Shown() {
        return {std::to_string(dialog.CheckLights.Value()),
                std::to_string(dialog.CheckSmoke.Value()),
                std::to_string(dialog.CheckSnowing.Value()),
                std::to_string(dialog.HScrollLights.Value()),
                std::to_string(dialog.HScrollSmoke.Value()),
                std::to_string(dialog.HScrollSnowing.Value())};
    }

    // Opens the dialog on these stored values and closes it untouched: what it saved.
    Controls RoundTrip(const Controls& stored) {
        WriteControls(stored);
        dialog.Load();
        dialog.Unload();
        return SavedControls();
    }

    TempDir folder;
    frmSettings dialog;
};
