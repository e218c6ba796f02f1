// SPDX-License-Identifier: MIT
#pragma once
// The real host services on Windows: plain Win32 windows and controls, the system's drawing
// calls, registry, shell, network state and the screen-saver password libraries (loaded when
// the program needs them: they exist only on the older system family).
//
// The saver covers every monitor (physical pixels, the primary monitor's scene first) and
// builds its scenes again when they change (ScreenChanged from DoEvents). Whatever ends the
// process gives back what the saver took: the pointer, the taskbar, the timers' resolution.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/HostServices.h"
#include "platform/MonitorSelection.h"
#include "platform/RandomGenerator.h"
#include "platform/SceneVisibility.h"
#include "platform/monitors.h"
#include "platform/win32/Win32MonitorList.h"

class Win32FormPeer;

class Win32Host : public HostServices {
  public:
    // commandLine: the program's arguments after its name, as the system passed them.
    Win32Host(HINSTANCE instance, std::string commandLine);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    // The arguments after the program's name in a full command line (its name may be quoted).
    static std::string ArgumentsOf(const std::string& commandLine);

    Long ScreenWidthTwips() override;
    Long ScreenHeightTwips() override;
    Long TwipsPerPixelX() override { return m_twipsPerPixelX; }
    Long TwipsPerPixelY() override { return m_twipsPerPixelY; }
    int MonitorCount() override { return m_monitors.Count(); }
    void SelectMonitor(int index) override;
    void DoEvents() override;
    void WaitForEvents(Long timeoutMs) override;
    std::uint32_t GetTickCount() override;
    double Timer() override;
    // Not while the display is off (a saver window's power notifications).
    bool SceneSeen() override { return m_visibility.Seen(GetTickCount()); }
    std::string Command() override { return m_command; }
    std::string AppPath() override { return m_appPath; }
    bool PrevInstance() override { return m_prevInstance; }
    std::string Dir(const std::string& path) override;
    void Randomize() override;
    double Rnd() override { return m_random.Next(); }
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    void Shell(const std::string& path) override;
    Long ShellExecute(const std::string& target) override;
    Long InternetGetConnectedState(std::uint32_t* flags, std::uint32_t reserved) override;
    [[noreturn]] void EndProgram(int status) override;
    int ShowCursor(BOOL show) override;
    BOOL SystemParametersInfoA(std::uint32_t action, std::uint32_t param, void* pvParam,
                               std::uint32_t winIni) override;
    BOOL SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                      std::uint32_t flags) override;
    HWND FindWindowA(const char* className, const char* windowName) override;
    BOOL GetVersionExA(OSVERSIONINFOA* info) override;
    Long RegOpenKeyExA(HKEY key, const char* subKey, std::uint32_t options, std::uint32_t desired,
                       HKEY* result) override;
    Long RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t* reserved,
                          std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
    Long RegCloseKey(HKEY key) override;
    Long VerifyScreenSavePwd(HWND hWnd) override;
    Long PwdChangePasswordA(const char* registryKey, HWND parent, std::uint32_t reserved1,
                            std::uint32_t reserved2) override;
    std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;

    HINSTANCE Instance() const { return m_instance; }
    // The display's density (the primary monitor's when the process started).
    int DotsPerInch() const { return m_dotsPerInch; }
    // Form windows report their life, so that dialog keys (Tab, Escape) reach their controls.
    void PeerCreated(Win32FormPeer* peer) { m_peers.insert(peer); }
    void PeerDestroyed(Win32FormPeer* peer) { m_peers.erase(peer); }

    // --- Monitors -------------------------------------------------------------------------
    // The selected monitor: where a maximised form goes, and at what scale it shows.
    MonitorArea SelectedMonitor() const;
    // The scale of every monitor's scene (tests); unset: chosen from each monitor's size.
    void SetScale(std::optional<int> scale);
    // A window was told that the monitors changed (WM_DISPLAYCHANGE).
    void DisplayChanged() { m_monitorsChanged = true; }

    // --- While the saver runs --------------------------------------------------------------
    // A window of the saver is shown: the frame clock runs at millisecond resolution until the
    // program ends.
    void SaverShown();
    static bool TimerResolutionHeld();
    // The system told a saver window the display's new power state. While it is off the
    // frames stop, and so does the millisecond resolution of the system's timers.
    void DisplayPowerChanged(SceneVisibility::DisplayPower power);
    // True while a message box of the program is open: the foreground is its, not another
    // program's.
    bool InModalLoop() const { return m_modalDepth > 0; }
    // What the saver took, given back by a process about to go however it goes (a crash, the
    // end of the program): the taskbar, the pointer, the timers' resolution. Only once a saver
    // window was shown.
    static void GiveDesktopBack();

  private:
    bool DispatchOne(MSG& message);
    // Asks the system for the monitors; true when they changed.
    bool QueryMonitors();
    // Builds the scenes again (throws ScreenChanged) when the monitors changed while the saver
    // runs: on WM_DISPLAYCHANGE, and also by a look at them once a second (not every system
    // sends the message: Wine does not for a monitor switched off or added outside it).
    void CheckMonitors();
    bool SaverWindowShown() const;

    HINSTANCE m_instance;
    std::string m_command;
    std::string m_appPath;
    HANDLE m_instanceMutex = nullptr;
    bool m_prevInstance = false;
    int m_dotsPerInch = 96;
    Long m_twipsPerPixelX = kTwipsPerPixelAt96Dpi;
    Long m_twipsPerPixelY = kTwipsPerPixelAt96Dpi;
    RandomGenerator m_random;
    std::set<Win32FormPeer*> m_peers;
    int m_modalDepth = 0;

    std::optional<int> m_requestedScale;
    MonitorSelection m_monitors;
    Win32MonitorList::Layout m_layout;
    std::uint32_t m_lastMonitorLook = 0;
    bool m_monitorsChanged = false;
    SceneVisibility m_visibility;
};
