// SPDX-License-Identifier: MIT
// The companion program on Windows: opens the user's mail program with a ready recommendation
// of the screen saver (a mailto: link with subject and body), then ends.

#include <windows.h>
// After the system's main header, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "tools/recommendation.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const std::string link = RecommendationLink();
    if (commandLine != nullptr && std::string(commandLine).rfind("--print", 0) == 0) {
        std::printf("%s\n", link.c_str());
        return 0;
    }
    // Greater than 32: the mail program was started (or the link handed to it).
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        MessageBoxA(nullptr,
                    "No e-mail program is set up on this computer to send the recommendation.",
                    "Glimmerdel", MB_OK | MB_ICONINFORMATION);
        return 1;
    }
    return 0;
}
