// SPDX-License-Identifier: MIT
#pragma once
// The host services of every POSIX backend that are not about windows: the program's arguments
// and folder, the earlier-instance lock, the clocks, the random generator, launches, the network
// state, the end of the program, and the system family's answers (the screen locker, not the
// saver, owns passwords; there is no registry and no taskbar window to hide).
//
// A backend adds its windows, input and pixels: the screen's size, event processing, forms'
// windows, and where it has them, message boxes, the pointer and window placement.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/HostServices.h"
#include "platform/RandomGenerator.h"
#include "platform/posix/InstanceLock.h"

class PosixHost : public HostServices {
  public:
    // arguments: the program's arguments after its name.
    explicit PosixHost(const std::vector<std::string>& arguments);
    ~PosixHost() override;

    Long TwipsPerPixelX() override { return kTwipsPerPixelAt96Dpi; }
    Long TwipsPerPixelY() override { return kTwipsPerPixelAt96Dpi; }
    std::uint32_t GetTickCount() override;
    double Timer() override;
    std::string Command() override { return m_command; }
    std::string AppPath() override { return m_appPath; }
    bool PrevInstance() override { return m_instance.OtherInstanceRunning(); }
    std::string Dir(const std::string& path) override;
    void Randomize() override;
    double Rnd() override { return m_random.Next(); }
    // Without windows of its own, a message goes to standard error ("title: text").
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    void Shell(const std::string& path) override;
    Long ShellExecute(const std::string& target) override;
    Long InternetGetConnectedState(std::uint32_t* flags, std::uint32_t reserved) override;
    // Flushes the standard streams and ends the process with the status.
    [[noreturn]] void EndProgram(int status) override;
    // Counts; a backend with a pointer shows or hides it as the count says.
    int ShowCursor(BOOL show) override;
    BOOL SystemParametersInfoA(std::uint32_t action, std::uint32_t param, void* pvParam,
                               std::uint32_t winIni) override;
    // No window to place here; backends with windows place their own.
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

  protected:
    // Nanoseconds from now until the millisecond clock has moved on by timeoutMs whole ticks:
    // a wait for a deadline then ends when the deadline comes, not up to a tick later.
    static std::uint64_t NanosecondsUntilTick(Long timeoutMs);
    int CursorCount() const { return m_cursorCount; }

  private:
    std::string m_command;
    std::string m_appPath;
    InstanceLock m_instance;
    RandomGenerator m_random;
    int m_cursorCount = 0;
};
