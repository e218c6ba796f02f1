// SPDX-License-Identifier: MIT
#pragma once
// Tests of the app layer: the headless host with its program folder in a temporary folder, the
// module state reset, and forms that record what is done to them.

#include <string>

#include "app/mScreenSaver.h"
#include "platform/Form.h"
#include "tests/support/HostFixture.h"
#include "tools/harness/TempDir.h"

class RecordingForm : public Form {
  public:
    explicit RecordingForm(std::string name) : Form(std::move(name)) {}
    int loads = 0;
    int unloads = 0;

  protected:
    void Form_Load() override { ++loads; }
    void Form_Unload(Integer&) override { ++unloads; }
};

class AppFixture : public HostFixture {
  protected:
    AppFixture() {
        host.SetAppPath(folder.Path());
        g_lights = g_chimneySmoke = g_snowing = g_lightSpeed = g_smokeSpeed = g_snowSpeed = "";
        g_appCurrent = g_appAlert = g_appDisplay = "";
        g_platformId = 0;
        g_usePassword = 0;
        g_moveCount = 0;
        g_moveWindowStart = 0;
        g_frmSaver = &saver;
        g_frmSettings = &settings;
        g_frmPreview = nullptr;
    }
    ~AppFixture() override { g_frmSaver = g_frmSettings = g_frmPreview = nullptr; }
    // The settings file of the program folder.
    void WriteIni(const std::string& content) { folder.Write("vantroglimmerdel.ini", content); }
    std::string ReadIni() { return folder.Read("vantroglimmerdel.ini"); }

    TempDir folder;
    RecordingForm saver{"frmSaver"};
    RecordingForm settings{"frmSettings"};
};
