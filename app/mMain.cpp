// SPDX-License-Identifier: MIT
#include "app/mMain.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

#include "app/frmPreview.h"
#include "app/mScreenSaver.h"
#include "platform/Form.h"
#include "platform/HostServices.h"
#include "scene/frmSaver.h"
#include "settings_ui/frmSettings.h"

namespace {
std::unique_ptr<frmSaver> g_saverForm;
std::unique_ptr<frmSettings> g_settingsForm;
std::unique_ptr<frmPreview> g_previewForm;

std::string NormalisedCommand(std::string command) {
    const size_t first = command.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    command = command.substr(first, command.find_last_not_of(' ') - first + 1);
    std::transform(command.begin(), command.end(), command.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return command;
}
}  // namespace

void DestroyForms() {
    g_frmSaver = nullptr;
    g_frmSettings = nullptr;
    g_frmPreview = nullptr;
    g_saverForm.reset();
    g_settingsForm.reset();
    g_previewForm.reset();
}

void Main() {
    // Whichever way Main is left, the forms go while the host still stands.
    struct FormsGuard {
        ~FormsGuard() { DestroyForms(); }
    } guard;
    DestroyForms();
    g_saverForm = std::make_unique<frmSaver>();
    g_settingsForm = std::make_unique<frmSettings>();
    g_previewForm = std::make_unique<frmPreview>();
    g_frmSaver = g_saverForm.get();
    g_frmSettings = g_settingsForm.get();
    g_frmPreview = g_previewForm.get();

    ReadPlatformId();
    ReadPasswordFlag();
    DispatchCommandLine(NormalisedCommand(Host().Command()));

    // The program lives on the loaded forms' events until none is left.
    while (Form::LoadedCount() > 0)
        Host().WaitForEvents(1000);
}

void RunMain() {
    for (;;) {
        try {
            Main();
            break;
        } catch (const ScreenChanged&) {
            // Build every scene again, for the screen as it is now.
        }
    }
    Host().EndProgram(0);
    // Not reached: ending the program does not return (a compiler may not see that through the
    // virtual call).
    std::abort();
}

void RunEmbedded() {
    g_embedded = true;
    for (;;) {
        DestroyForms();
        g_saverForm = std::make_unique<frmSaver>();
        g_frmSaver = g_saverForm.get();
        try {
            g_saverForm->Load();
        } catch (const ScreenChanged&) {
            continue;  // build the scene again at the window's new size
        }
        // The frame loop ends only after its error message: the scene cannot run.
        Host().EndProgram(1);
    }
}
