// SPDX-License-Identifier: MIT
// The program's entry on Windows: the screen saver file that the display settings start with
// /s, /c, /p or /a. Installs the host services and starts the program.

#include "app/mMain.h"
#include "platform/win32/Win32Host.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Win32Host host(instance, Win32Host::ArgumentsOf(GetCommandLineA()));
    SetHost(&host);
    RunMain();
}
