#pragma once
// The real host services on Windows: plain Win32 windows and controls, the system's drawing
// calls, registry, shell, network state and the screen-saver password libraries (loaded when
// the program needs them: they exist only on the older system family).

#include <set>
#include <string>

#include "platform/HostServices.h"
#include "platform/RandomGenerator.h"

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
    void DoEvents() override;
    void WaitForEvents(Long timeoutMs) override;
    std::uint32_t GetTickCount() override;
    double Timer() override;
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
    // Form windows report their life, so that dialog keys (Tab, Escape) reach their controls.
    void PeerCreated(Win32FormPeer* peer) { m_peers.insert(peer); }
    void PeerDestroyed(Win32FormPeer* peer) { m_peers.erase(peer); }

  private:
    bool DispatchOne(MSG& message);

    HINSTANCE m_instance;
    std::string m_command;
    std::string m_appPath;
    HANDLE m_instanceMutex = nullptr;
    bool m_prevInstance = false;
    Long m_twipsPerPixelX = kTwipsPerPixelAt96Dpi;
    Long m_twipsPerPixelY = kTwipsPerPixelAt96Dpi;
    RandomGenerator m_random;
    std::set<Win32FormPeer*> m_peers;
};
