// SPDX-License-Identifier: MIT
#pragma once
// What the program asks of the windowing layer and the operating system, behind one interface.
//
// One implementation per backend runs the real program: on Linux FltkHost (FLTK windows and
// dialogs, Xlib pixels) and EmbeddedHost (a window given by a screen-saver daemon, or one of its
// own), both on the POSIX services of PosixHost; on Windows Win32Host. HeadlessHost serves the
// snapshot tool and the tests on both systems (virtual screen and clock, fed input, recorded
// requests). The program reaches the installed one through Host().
//
// System calls keep their Win32 names and the semantics the program relies on, so that the
// Windows backend passes them straight to the system.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gdi.h"
#include "platform/types.h"

class Form;
class FormPeer;

// Twips per pixel on a screen of 96 dots per inch (1440 twips to the inch): what every backend
// that knows no other density reports, and the headless screen's.
inline constexpr Long kTwipsPerPixelAt96Dpi = 15;

// Message boxes.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbExclamation = 48;
inline constexpr int vbOK = 1;

// Thrown by event processing when the screen the scene runs on changed its size (the window a
// screen-saver daemon gave us was resized): the scene must be built again at the new size. It
// derives from nothing the program's error traps catch.
struct ScreenChanged {};

class HostServices {
  public:
    virtual ~HostServices() = default;

    // --- The screen ---------------------------------------------------------------------
    virtual Long ScreenWidthTwips() = 0;
    virtual Long ScreenHeightTwips() = 0;
    virtual Long TwipsPerPixelX() = 0;
    virtual Long TwipsPerPixelY() = 0;
    // The monitors the saver covers, each with a scene of its own. The screen's size above is
    // that of the selected monitor's scene; forms maximised while it is selected cover it.
    // Hosts that know of one screen only keep these defaults.
    virtual int MonitorCount() { return 1; }
    virtual void SelectMonitor(int index) { (void)index; }

    // --- Events and time ------------------------------------------------------------------
    // Dispatches every waiting event (handlers run nested), then returns.
    virtual void DoEvents() = 0;
    // Sleeps until an event arrives or timeoutMs passes, dispatching what arrived. Never spins.
    virtual void WaitForEvents(Long timeoutMs) = 0;
    // Milliseconds from a monotonic clock, as a 32-bit counter that wraps.
    virtual std::uint32_t GetTickCount() = 0;
    // Seconds since local midnight, with fraction.
    virtual double Timer() = 0;
    // Whether anybody can see the scene: false while the display is powered down or every
    // window of the scene is unmapped or covered (see SceneVisibility). The frame loop runs no
    // frames then and waits on the events with a long timeout. Hosts that cannot tell keep
    // this default.
    virtual bool SceneSeen() { return true; }

    // --- Program environment --------------------------------------------------------------
    // The arguments after the program's name, joined by single blanks.
    virtual std::string Command() = 0;
    // The folder of the running program file, without a trailing separator except the root.
    virtual std::string AppPath() = 0;
    // True when an earlier instance of this program is still running.
    virtual bool PrevInstance() = 0;
    // For a full path: the file's name if it exists, otherwise the empty text.
    virtual std::string Dir(const std::string& path) = 0;
    // Whether the program may make and replace files in a folder.
    virtual bool FolderWritable(const std::string& folder);
    // The user's own folder for this program's settings ($XDG_CONFIG_HOME/glimmerdel,
    // %APPDATA%\Glimmerdel); "" when unknown.
    virtual std::string UserConfigFolder();
    // Copies a file where none is yet (making folders); true when the destination exists.
    virtual bool CopyIfMissing(const std::string& from, const std::string& to);

    // --- Random numbers -------------------------------------------------------------------
    // Mixes the clock into the generator's state (never restarts a sequence).
    virtual void Randomize() = 0;
    // A uniform draw in [0, 1).
    virtual double Rnd() = 0;

    // --- Dialogs and launches -------------------------------------------------------------
    // A modal message box with an OK button; returns vbOK once it is closed.
    virtual int MsgBox(const std::string& text, int style, const std::string& title) = 0;
    // Starts a program by path in a normal window with the focus, without waiting for it.
    // Throws RuntimeError when it cannot be started.
    virtual void Shell(const std::string& path) = 0;
    // Opens a document or web address with its default handler, without waiting.
    // Greater than 32 on success.
    virtual Long ShellExecute(const std::string& target) = 0;
    // Nonzero when the machine has a working network connection.
    virtual Long InternetGetConnectedState(std::uint32_t* flags, std::uint32_t reserved) = 0;

    // Ends the program at once: no further handler runs.
    [[noreturn]] virtual void EndProgram(int status) = 0;

    // --- Pointer, windows and system ------------------------------------------------------
    // The pointer display counter: returns the new count; the pointer shows while it is >= 0.
    virtual int ShowCursor(BOOL show) = 0;
    virtual BOOL SystemParametersInfoA(std::uint32_t action, std::uint32_t param, void* pvParam,
                                       std::uint32_t winIni) = 0;
    virtual BOOL SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                              std::uint32_t flags) = 0;
    virtual HWND FindWindowA(const char* className, const char* windowName) = 0;
    virtual BOOL GetVersionExA(OSVERSIONINFOA* info) = 0;
    virtual Long RegOpenKeyExA(HKEY key, const char* subKey, std::uint32_t options,
                               std::uint32_t desired, HKEY* result) = 0;
    virtual Long RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t* reserved,
                                  std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) = 0;
    virtual Long RegCloseKey(HKEY key) = 0;
    // The older system family's screen-saver password check; nonzero low word: confirmed.
    virtual Long VerifyScreenSavePwd(HWND hWnd) = 0;
    // The system's password-change dialog.
    virtual Long PwdChangePasswordA(const char* registryKey, HWND parent, std::uint32_t reserved1,
                                    std::uint32_t reserved2) = 0;

    // --- Forms ----------------------------------------------------------------------------
    // The window behind a form: made when the form is loaded.
    virtual std::unique_ptr<FormPeer> CreateFormPeer(Form& form) = 0;
};

// The installed host: the program's entry installs its backend's; tests and tools install a
// HeadlessHost (tools/harness/ScopedInstall for a while).
HostServices& Host();
void SetHost(HostServices* host);
bool HasHost();
// The installed host, or null.
HostServices* InstalledHost();
