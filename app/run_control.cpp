// SPDX-License-Identifier: MIT
// Everything around the animation while the saver runs: host facts, the pointer, the taskbar,
// the password, the activity watch, pacing and the fatal-error exit.

#include <algorithm>
#include <cstring>

#include "app/mScreenSaver.h"
#include "platform/Form.h"
#include "platform/HostServices.h"
#include "platform/SceneVisibility.h"
#include "platform/numbers.h"

bool g_embedded = false;
Long g_platformId = 0;
Integer g_usePassword = 0;
Integer g_moveCount = 0;
Long g_moveWindowStart = 0;

namespace {
// No single wait for the next frame lasts longer than one frame period while the scene can
// be seen; while nobody can see it, they last as long as a polled display state may stay
// unasked.
constexpr Long kLongestWaitMs = 20;
constexpr Long kUnseenWaitMs = static_cast<Long>(SceneVisibility::kPollMs);
constexpr double kSecondsPerDay = 86400.0;
}  // namespace

void ReadPlatformId() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    Host().GetVersionExA(&info);
    g_platformId = static_cast<Long>(info.dwPlatformId);
}

void ReadPasswordFlag() {
    const std::string text =
        ReadRegistryText(kHKeyCurrentUser, "Control Panel\\Desktop", "ScreenSaveUsePassword");
    const double value = RoundHalfEven(LeadingNumber(text));
    // A number too large for the flag is still a number other than 0: protection is on.
    if (value < -32768.0 || value > 32767.0) {
        g_usePassword = 1;
    } else {
        g_usePassword = static_cast<Integer>(value);
    }
}

std::string ReadRegistryText(std::uint32_t hKey, const std::string& sSubKey,
                             const std::string& sValueName) {
    if (hKey < kHKeyClassesRoot || hKey > kHKeyDynData)
        return "";
    HKEY key = 0;
    if (Host().RegOpenKeyExA(HkeyFromValue(hKey), sSubKey.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return "";
    }
    std::uint8_t buffer[255] = {};
    std::uint32_t size = sizeof buffer;
    std::uint32_t type = 0;
    std::string result;
    if (Host().RegQueryValueExA(key, sValueName.c_str(), nullptr, &type, buffer, &size) ==
        ERROR_SUCCESS) {
        size = std::min<std::uint32_t>(size, sizeof buffer);
        if (type == REG_DWORD) {
            const std::int32_t number =
                static_cast<std::int32_t>(buffer[0] | (buffer[1] << 8) | (buffer[2] << 16) |
                                          (static_cast<std::uint32_t>(buffer[3]) << 24));
            const long long magnitude = number < 0 ? -static_cast<long long>(number) : number;
            std::string digits = std::to_string(magnitude);
            if (digits.size() < 3)
                digits.insert(0, 3 - digits.size(), '0');
            result = (number < 0 ? "-" : "") + digits;
        } else if (size > 0) {
            // The text without its terminating zero; a value of size 0 reads as empty.
            result.assign(reinterpret_cast<const char*>(buffer), size - 1);
        }
    }
    Host().RegCloseKey(key);
    return result;
}

bool PasswordMode() {
    return g_platformId != static_cast<Long>(VER_PLATFORM_WIN32_NT) && g_usePassword != 0;
}

void ShowMousePointer(Boolean bShow) {
    // Drive the display counter to a margin, so that code that shows or hides the pointer
    // once does not undo the choice.
    if (bShow) {
        while (Host().ShowCursor(TRUE) < 6) {
        }
    } else {
        while (Host().ShowCursor(FALSE) > -6) {
        }
    }
}

void AllowSystemKeys(Boolean bAllow) {
    if (!PasswordMode())
        return;
    std::int32_t unused = 0;
    Host().SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, bAllow ? 0 : 1, &unused, 0);
}

void SetSaverTopmost(Boolean bTopmost) {
    if (!PasswordMode())
        return;
    Host().SetWindowPos(g_frmSaver->hWnd(), bTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE);
}

void HideTaskbar(Boolean bHide) {
    const HWND taskbar = Host().FindWindowA("Shell_traywnd", "");
    Host().SetWindowPos(taskbar, 0, 0, 0, 0, 0, bHide ? SWP_HIDEWINDOW : SWP_SHOWWINDOW);
}

void CountMouseMove() {
    if (g_moveCount < 32767)
        ++g_moveCount;
    if (g_moveCount == 5) {
        EndSaver();
        return;
    }
    if (g_moveWindowStart == 0) {
        g_moveWindowStart = ToLong(Host().Timer());
        return;
    }
    double elapsed = Host().Timer() - g_moveWindowStart;
    // The start is rounded to a whole second, so it may lie up to half a second ahead; only a
    // far negative difference means the window opened before midnight.
    if (elapsed < -kSecondsPerDay / 2)
        elapsed += kSecondsPerDay;
    if (elapsed > 2.0) {
        g_moveWindowStart = 0;
        g_moveCount = 0;
    }
}

void EndSaver() {
    ShowMousePointer(kTrue);
    if (PasswordMode()) {
        const Long answer = Host().VerifyScreenSavePwd(g_frmSaver->hWnd());
        if ((answer & 0xFFFF) == 0) {
            ShowMousePointer(kFalse);
            g_frmSaver->Show();
            return;
        }
        AllowSystemKeys(kTrue);
        SetSaverTopmost(kFalse);
    }
    g_frmSaver->Unload();
    HideTaskbar(kFalse);
    // A run inside a daemon's window is the daemon's, not a run the user started: no prompt.
    if (!g_embedded)
        RunEmailPrompt();
    Host().EndProgram(0);
}

void EndSaverAtSessionEnd() {
    ShowMousePointer(kTrue);
    AllowSystemKeys(kTrue);
    g_frmSaver->Unload();
    HideTaskbar(kFalse);
    Host().EndProgram(0);
}

void FatalMessage(const std::string& sText) {
    SetSaverTopmost(kFalse);
    ShowMousePointer(kTrue);
    Host().MsgBox(sText, vbOKOnly | vbExclamation, std::string(kProductTitle));
    EndSaver();
}

void WaitUntil(Long lDeadline) {
    // While nobody can see the scene, the next frame waits until somebody can: the host wakes
    // on every event and at least once per kUnseenWaitMs (when a polled state is asked again).
    std::uint32_t unseenWake = 0;
    bool unseen = false;
    for (;;) {
        Host().DoEvents();
        const bool seen = Host().SceneSeen();
        // Wrap-safe: the deadline has come once the tick count is at or past it, counted on the
        // 32-bit circle.
        const std::uint32_t now = Host().GetTickCount();
        if (seen) {
            unseen = false;
            const std::int32_t remaining =
                static_cast<std::int32_t>(static_cast<std::uint32_t>(lDeadline) - now);
            if (remaining <= 0)
                return;
            Host().WaitForEvents(std::min<Long>(remaining, kLongestWaitMs));
            continue;
        }
        // The wake is counted from after the look, so that a state polled at that pace is
        // asked again when it comes, even when events wake the wait before.
        if (!unseen || static_cast<std::int32_t>(unseenWake - now) <= 0)
            unseenWake = now + static_cast<std::uint32_t>(kUnseenWaitMs);
        unseen = true;
        Host().WaitForEvents(static_cast<Long>(static_cast<std::int32_t>(unseenWake - now)));
    }
}

std::string MissingFilesMessage() {
    return "One or more files are missing from application. Please download and re-install the "
           "software from " +
           std::string(kProductWebsite);
}
