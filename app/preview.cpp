// SPDX-License-Identifier: MIT
// The preview: one still picture painted into the host's preview window.

#include "app/frmPreview.h"
#include "app/mScreenSaver.h"
#include "platform/HostServices.h"

void RunPreview() {
    g_frmPreview->Load();
    for (int i = 1; i <= 200; ++i)
        Host().DoEvents();

    const std::string raw = Host().Command();
    const HWND handle = HandleFromText(raw.size() > 3 ? raw.substr(3) : std::string());
    // No handle (no number, a bare "/P") paints nothing, rather than over the whole screen.
    if (handle != 0) {
        const HDC hDC = GetDC(handle);
        if (hDC != 0) {
            auto& preview = static_cast<frmPreview&>(*g_frmPreview);
            BitBlt(hDC, 0, 0, 160, 120, preview.Picture1.hDC(), 0, 0, SRCCOPY);
            ReleaseDC(handle, hDC);
        }
    }
    for (int i = 1; i <= 200; ++i)
        Host().DoEvents();
    Host().EndProgram(0);
}
