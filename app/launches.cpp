// SPDX-License-Identifier: MIT
// Web pages, the companion program and the e-mail prompt.

#include "app/mScreenSaver.h"
#include "platform/HostServices.h"
#include "platform/RuntimeError.h"
#include "platform/numbers.h"

Long OpenDocument(const std::string& sTarget) {
    return Host().ShellExecute(sTarget);
}

std::string EmailProgramPath() {
    std::string path = ProgramFolder();
    if (path.empty() || path.back() != kPathSeparator)
        path += kPathSeparator;
    return path + kCompanionProgramName;
}

Boolean IsOnline() {
    std::uint32_t flags = 0;
    return ToBoolean((Host().InternetGetConnectedState(&flags, 0) & 0xFFFF) != 0);
}

Boolean IsEmailPromptDue() {
    // A step that fails (a text that is no number) goes on with the next one.
    Boolean result = kFalse;
    ReadSetting("applic", "appcurrent", g_appCurrent, IniPath());
    ReadSetting("applic", "appalert", g_appAlert, IniPath());
    ReadSetting("applic", "appdisplay", g_appDisplay, IniPath());
    if (g_appDisplay != "1")
        return result;

    bool counting = false;
    try {
        counting = TextToInteger(g_appCurrent) < TextToInteger(g_appAlert);
    } catch (const RuntimeError&) {
        counting = false;  // unreadable counters: the prompt is due
    }
    if (!counting) {
        result = kTrue;
        return result;
    }
    try {
        g_appCurrent = NumberToText(TextToNumber(g_appCurrent) + 1);
    } catch (const RuntimeError&) {
    }
    WriteSetting("applic", "appcurrent", g_appCurrent);
    return result;
}

void RunEmailPrompt() {
    if (!IsEmailPromptDue())
        return;
    if (!IsOnline())
        return;
    try {
        Host().Shell(EmailProgramPath());
    } catch (const RuntimeError&) {
        // A missing companion program disarms the prompt all the same.
    }
    WriteSetting("applic", "appdisplay", "0");
}

std::string FriendPageAddress() {
    return std::string(kProductWebsite) + "/dovizozira.php?s=22";
}
