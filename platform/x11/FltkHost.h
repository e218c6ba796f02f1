#pragma once
// The real host services: FLTK windows and dialogs, Xlib for pixels, POSIX for the rest.
// On this platform the system family is the one where the screen locker, not the saver, owns
// passwords; there is no registry and no taskbar window to hide.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/HostServices.h"
#include "platform/RandomGenerator.h"
#include "platform/monitors.h"
#include "platform/x11/InstanceLock.h"

class FltkFormPeer;

class FltkHost : public HostServices {
  public:
    // arguments: the program's arguments after its name.
    explicit FltkHost(const std::vector<std::string>& arguments);
    ~FltkHost() override;

    // The one default font size of the whole program (every caption fits its control with it:
    // the tightest is "Speed", 30 pixels wide in its 33-pixel label at this size).
    static constexpr int kDefaultFontSize = 10;

    Long ScreenWidthTwips() override;
    Long ScreenHeightTwips() override;
    Long TwipsPerPixelX() override { return 15; }
    Long TwipsPerPixelY() override { return 15; }
    int MonitorCount() override;
    void SelectMonitor(int index) override;
    void DoEvents() override;
    void WaitForEvents(Long timeoutMs) override;
    std::uint32_t GetTickCount() override;
    double Timer() override;
    std::string Command() override { return m_command; }
    std::string AppPath() override { return m_appPath; }
    bool PrevInstance() override { return m_instance.OtherInstanceRunning(); }
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

    // The scale of every monitor's scene (--scale); unset: chosen from each monitor's size.
    void SetScale(std::optional<int> scale) { m_requestedScale = scale; }
    // The selected monitor: where a maximised form goes, and at what scale it shows.
    MonitorArea SelectedMonitor();

    // Form windows report their life, so that the pointer and placement reach them.
    void PeerCreated(FltkFormPeer* peer);
    void PeerDestroyed(FltkFormPeer* peer);

  private:
    void EnsureDisplay();
    void QueryMonitors();
    static int OnSystemEvent(void* event, void* host);
    FltkFormPeer* PeerOf(HWND hWnd);

    std::string m_command;
    std::string m_appPath;
    InstanceLock m_instance;
    RandomGenerator m_random;
    int m_cursorCount = 0;
    bool m_displayOpen = false;
    std::set<FltkFormPeer*> m_peers;
    std::optional<int> m_requestedScale;
    std::vector<MonitorArea> m_monitors;
    int m_selectedMonitor = 0;
    int m_randrEventBase = 0;
    bool m_monitorsChanged = false;
};
