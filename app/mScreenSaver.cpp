// SPDX-License-Identifier: MIT
// Mode dispatch and the start of the full-screen run.

#include "app/mScreenSaver.h"

#include <cmath>

#include "platform/Form.h"
#include "platform/HostServices.h"
#include "platform/numbers.h"

Form* g_frmSaver = nullptr;
Form* g_frmSettings = nullptr;
Form* g_frmPreview = nullptr;

HWND HandleFromText(const std::string& text) {
    const double value = RoundHalfEven(LeadingNumber(text));
    if (!(value >= -2147483648.0 && value <= 2147483647.0))
        return 0;
    return HwndFromLong(static_cast<Long>(value));
}

void DispatchCommandLine(const std::string& sCommand) {
    const std::string s = sCommand.substr(0, 2);
    if (s == "/C") {
        g_frmSettings->Show();
        return;
    }
    if (s == "/A") {
        const std::string raw = Host().Command();
        const HWND parent = HandleFromText(raw.size() > 2 ? raw.substr(2) : std::string());
        Host().PwdChangePasswordA("SCRSAVE", parent, 0, 0);
        return;
    }
    if (s == "/P") {
        RunPreview();
        return;
    }
    // "", "/S" and anything unrecognised run the saver.
    if (Host().PrevInstance())
        Host().EndProgram(0);
    StartSaver();
}

void StartSaver() {
    ShowMousePointer(kFalse);
    g_frmSaver->Load();
    g_frmSaver->Show();
}
