// SPDX-License-Identifier: MIT
#pragma once
// Host services without a display: a virtual screen and clock, input fed by the caller, and a
// record of everything the program asked for. The snapshot tool renders with it; the tests use
// it as their double (they set the time, feed input and answer the password check).

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/HostServices.h"
#include "platform/RandomGenerator.h"
#include "platform/SceneVisibility.h"

class HeadlessBacking;

// What EndProgram throws in place of ending the process, so that a test or tool regains control.
// It derives from nothing the program's error traps catch.
struct ProgramEnded {
    int status;
};

class HeadlessHost : public HostServices {
  public:
    HeadlessHost();
    ~HeadlessHost() override;

    // --- Setting the scene ----------------------------------------------------------------
    void SetScreenPixels(int width, int height);
    // Several monitors, each of its own size (pixels); the first is selected. Without them the
    // screen above is the one monitor.
    void SetMonitors(std::vector<std::pair<int, int>> sizes);
    void SetTickCount(std::uint32_t ms) { m_tick = ms; }
    void SetTimeOfDay(double seconds) {
        m_timeOfDay = seconds;
        m_timeOrigin = m_tick;
    }
    void SetCommand(std::string command) { m_command = std::move(command); }
    void SetAppPath(std::string path) { m_appPath = std::move(path); }
    void SetPrevInstance(bool running) { m_prevInstance = running; }
    void SetSeed(std::uint64_t seed) { m_random = RandomGenerator(seed); }
    void SetOnline(bool online) { m_online = online; }
    void SetPlatformId(std::uint32_t id) { m_platformId = id; }
    void SetPasswordAnswer(Long answer) { m_passwordAnswer = answer; }
    void SetTaskbar(HWND taskbar) { m_taskbar = taskbar; }
    void SetShellExecuteResult(Long result) { m_shellExecuteResult = result; }
    // Whether folders count as writable (unset: as the file system says) and the user's folder
    // for settings.
    void SetFoldersWritable(std::optional<bool> writable) { m_foldersWritable = writable; }
    void SetUserConfigFolder(std::string folder) { m_userConfigFolder = std::move(folder); }
    // A registry value under HKEY_CURRENT_USER (sub key and name match without regard to case).
    void SetRegistryValue(const std::string& subKey, const std::string& name, std::uint32_t type,
                          std::vector<std::uint8_t> data);

    // --- Input, delivered to the form by the next pass of event processing -----------------
    void QueueKeyDown(Form& form, Integer keyCode, Integer shift = 0);
    void QueueMouseDown(Form& form, Integer button, float x, float y);
    void QueueMouseMove(Form& form, float x, float y);
    // Runs on every pass of event processing, before queued input is delivered.
    void OnEvents(std::function<void()> hook) { m_onEvents = std::move(hook); }
    // Whether the scene can be seen, as a real host would learn it (told, polled, windows).
    SceneVisibility& Visibility() { return m_visibility; }

    struct MessageBoxCall;
    // Runs when the program shows a message box (after it is recorded).
    void OnMessageBox(std::function<void(const MessageBoxCall&)> hook) {
        m_onMessageBox = std::move(hook);
    }

    // --- What the program asked -----------------------------------------------------------
    struct MessageBoxCall {
        std::string text;
        int style;
        std::string title;
    };
    // Calls that matter for order, as text: "ShowCursor(0)=-1", "MsgBox", "SetWindowPos(...)".
    const std::vector<std::string>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }
    const std::vector<MessageBoxCall>& MessageBoxes() const { return m_messageBoxes; }
    const std::vector<std::string>& Launched() const { return m_launched; }
    const std::vector<std::string>& Opened() const { return m_opened; }
    int CursorCount() const { return m_cursorCount; }
    std::optional<int> EndStatus() const { return m_endStatus; }
    long long EventPasses() const { return m_eventPasses; }
    long long LongestWaitMs() const { return m_longestWait; }
    // How often the program slept on the event queue (each a wake-up of a real host).
    long long Waits() const { return m_waits; }
    // The retained pixels of a form's window (null before it is loaded).
    HeadlessBacking* BackingOf(Form& form);

    // --- HostServices ---------------------------------------------------------------------
    Long ScreenWidthTwips() override { return m_screenWidth * kTwipsPerPixelAt96Dpi; }
    Long ScreenHeightTwips() override { return m_screenHeight * kTwipsPerPixelAt96Dpi; }
    Long TwipsPerPixelX() override { return kTwipsPerPixelAt96Dpi; }
    Long TwipsPerPixelY() override { return kTwipsPerPixelAt96Dpi; }
    int MonitorCount() override {
        return m_monitors.empty() ? 1 : static_cast<int>(m_monitors.size());
    }
    void SelectMonitor(int index) override;
    void DoEvents() override;
    void WaitForEvents(Long timeoutMs) override;
    std::uint32_t GetTickCount() override { return m_tick; }
    double Timer() override;
    bool SceneSeen() override { return m_visibility.Seen(m_tick); }
    std::string Command() override { return m_command; }
    std::string AppPath() override { return m_appPath; }
    bool PrevInstance() override { return m_prevInstance; }
    std::string Dir(const std::string& path) override;
    bool FolderWritable(const std::string& folder) override {
        return m_foldersWritable ? *m_foldersWritable : HostServices::FolderWritable(folder);
    }
    std::string UserConfigFolder() override { return m_userConfigFolder; }
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

  private:
    struct QueuedInput {
        Form* form;
        enum { Key, Down, Move } kind;
        Integer code;
        Integer shift;
        float x;
        float y;
    };
    struct RegistryValue {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };

    int m_screenWidth = 1024;
    int m_screenHeight = 768;
    std::vector<std::pair<int, int>> m_monitors;
    std::uint32_t m_tick = 0;
    std::uint32_t m_timeOrigin = 0;
    double m_timeOfDay = 12 * 3600.0;
    std::string m_command;
    std::string m_appPath = ".";
    bool m_prevInstance = false;
    RandomGenerator m_random;
    bool m_online = false;
    std::uint32_t m_platformId = VER_PLATFORM_WIN32_NT;
    Long m_passwordAnswer = 1;
    HWND m_taskbar = 0;
    Long m_shellExecuteResult = 42;
    std::optional<bool> m_foldersWritable;
    std::string m_userConfigFolder;
    std::map<std::string, RegistryValue> m_registry;  // "subkey\\name" in lower case
    std::map<HKEY, std::string> m_openKeys;
    std::uint32_t m_nextKey = 0x1000;
    std::deque<QueuedInput> m_input;
    std::function<void()> m_onEvents;
    SceneVisibility m_visibility;
    std::function<void(const MessageBoxCall&)> m_onMessageBox;
    std::vector<std::string> m_calls;
    std::vector<MessageBoxCall> m_messageBoxes;
    std::vector<std::string> m_launched;
    std::vector<std::string> m_opened;
    int m_cursorCount = 0;
    std::optional<int> m_endStatus;
    long long m_eventPasses = 0;
    long long m_longestWait = 0;
    long long m_waits = 0;
};
