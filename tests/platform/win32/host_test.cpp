// SPDX-License-Identifier: MIT
// The Windows host's own rules: the arguments after the program's name, the measures of the
// screen, and the password libraries of the older system family where they are missing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/win32/Win32Host.h"

TEST(Win32Host, ArgumentsFollowTheProgramsName) {
    EXPECT_EQ(Win32Host::ArgumentsOf("glimmerdel.scr /s"), "/s");
    EXPECT_EQ(Win32Host::ArgumentsOf("\"C:\\Program Files\\Glimmerdel\\glimmerdel.scr\" /p 1234"),
              "/p 1234");
    EXPECT_EQ(Win32Host::ArgumentsOf("glimmerdel.scr  /c:4711 "), " /c:4711 ")
        << "one separator goes, the rest stays as given";
    EXPECT_EQ(Win32Host::ArgumentsOf("glimmerdel.scr"), "");
    EXPECT_EQ(Win32Host::ArgumentsOf("\"unclosed quote /s"), "");
    EXPECT_EQ(Win32Host::ArgumentsOf(""), "");
}

TEST(Win32Host, MeasuresTheScreenAndStandsInForMissingPasswordLibraries) {
    Win32Host host(GetModuleHandleA(nullptr), "/s");
    EXPECT_EQ(host.Command(), "/s");
    EXPECT_GE(host.TwipsPerPixelX(), 1);
    EXPECT_EQ(host.ScreenWidthTwips(), GetSystemMetrics(SM_CXSCREEN) * host.TwipsPerPixelX());
    EXPECT_FALSE(host.AppPath().empty());
    // Every NT-family system lacks both: the password counts as confirmed, nothing is changed.
    EXPECT_EQ(host.VerifyScreenSavePwd(nullptr), 1);
    EXPECT_EQ(host.PwdChangePasswordA("SCRSAVE", nullptr, 0, 0), 0);
    // The tick count moves in milliseconds, not in the system's coarse ticks.
    const std::uint32_t start = host.GetTickCount();
    Sleep(3);
    const std::uint32_t later = host.GetTickCount();
    EXPECT_GE(later - start, 2u);
    EXPECT_LT(later - start, 2000u);
}

TEST(Win32Host, AnInstanceStartedEarlierIsSeenUntilItEnds) {
    auto first = std::make_unique<Win32Host>(GetModuleHandleA(nullptr), "/s");
    EXPECT_FALSE(first->PrevInstance());
    {
        Win32Host second(GetModuleHandleA(nullptr), "/s");
        EXPECT_TRUE(second.PrevInstance());
    }
    first.reset();
    Win32Host third(GetModuleHandleA(nullptr), "/s");
    EXPECT_FALSE(third.PrevInstance()) << "the first one ended";
}

namespace {

// A window of the taskbar's class, hidden as the saver leaves it. Topmost, so that the search
// for the taskbar finds it before any the system has.
class TaskbarStandIn {
  public:
    TaskbarStandIn() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&windowClass);
        m_window =
            CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0,
                            100, 20, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TaskbarStandIn() { DestroyWindow(m_window); }
    TaskbarStandIn(const TaskbarStandIn&) = delete;
    TaskbarStandIn& operator=(const TaskbarStandIn&) = delete;
    HWND Window() const { return m_window; }

  private:
    HWND m_window = nullptr;
};

constexpr const char* kCrashChild = "GLIMMERDEL_CRASH_CHILD";

}  // namespace

// The other half of the next test, run in a process of its own.
TEST(Win32HostCrash, Child) {
    if (std::getenv(kCrashChild) == nullptr)
        GTEST_SKIP() << "runs only in the process the crash test starts";
    Win32Host host(GetModuleHandleA(nullptr), "/s");
    host.SaverShown();
    ShowCursor(FALSE);
    RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
}

TEST(Win32HostCrash, ACrashingSaverShowsTheTaskbarAgainAndGoesQuietly) {
    TaskbarStandIn taskbar;
    ASSERT_NE(taskbar.Window(), nullptr);
    ASSERT_FALSE(IsWindowVisible(taskbar.Window()));
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --gtest_filter=Win32HostCrash.Child";
    SetEnvironmentVariableA(kCrashChild, "1");
    // The child's report stays out of this one's.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE nothing =
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = nothing;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableA(kCrashChild, nullptr);
    CloseHandle(nothing);
    ASSERT_TRUE(started);
    // The taskbar is shown without the crashing process waiting for it: this thread answers.
    DWORD waited = WAIT_TIMEOUT;
    for (int i = 0; i < 1200 && waited == WAIT_TIMEOUT; ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        waited = WaitForSingleObject(process.hProcess, 50);
    }
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the crashed process is gone";
    EXPECT_EQ(status, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    for (int i = 0; i < 100 && !IsWindowVisible(taskbar.Window()); ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(20);
    }
    EXPECT_TRUE(IsWindowVisible(taskbar.Window()));
}

TEST(Win32Host, TheDisplaySettingsListTheSaverByItsName) {
    // The name the display settings show is the saver file's string 1.
    HMODULE saver =
        LoadLibraryExA(GLIMMERDEL_PROGRAM_DIR "/glimmerdel.scr", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(saver, nullptr);
    char name[64] = {};
    EXPECT_GT(LoadStringA(saver, 1, name, sizeof name), 0);
    EXPECT_STREQ(name, "Glimmerdel");
    FreeLibrary(saver);
}
