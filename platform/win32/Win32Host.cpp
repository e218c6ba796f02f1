// SPDX-License-Identifier: MIT
#include "platform/win32/Win32Host.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <wininet.h>
// The host's own method of that name, not the system's character-set macro.
#undef ShellExecute

#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>

#include "platform/RuntimeError.h"
#include "platform/file_store.h"
#include "platform/win32/Win32FormPeer.h"

namespace {

// How often the monitors are looked at while the saver runs, besides WM_DISPLAYCHANGE.
constexpr std::uint32_t kMonitorLookMs = 1000;

// What the saver took from the desktop, for the way out of a process that crashes: set once a
// saver window is shown, and while the timers run at millisecond resolution.
std::atomic<bool> g_saverShown{false};
std::atomic<bool> g_timerHeld{false};

void HoldTimerResolution() {
    if (!g_timerHeld.exchange(true))
        timeBeginPeriod(1);
}

void ReleaseTimerResolution() {
    if (g_timerHeld.exchange(false))
        timeEndPeriod(1);
}

// An exception nothing caught: the desktop is given back before the process goes. The process
// then ends quietly with the exception's code as its status (no system error report).
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS*) {
    Win32Host::GiveDesktopBack();
    return EXCEPTION_EXECUTE_HANDLER;
}

[[noreturn]] void OnTerminate() {
    Win32Host::GiveDesktopBack();
    std::abort();
}

std::uint64_t PerformanceCount() {
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return static_cast<std::uint64_t>(count.QuadPart);
}

std::string ProgramFolder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return ".";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    // The root of a drive keeps its separator ("C:\").
    if (slash == 2 && path[1] == ':')
        return path.substr(0, 3);
    return path.substr(0, slash);
}

// The program folder: beside the running file, unless that is the copy of the screen saver
// file in the system folder (where the display settings list it), whose installed program
// folder the installer recorded.
std::string InstalledFolderOr(const std::string& beside) {
    if (GetFileAttributesA((beside + "\\vantroglimmerdel.ini").c_str()) != INVALID_FILE_ATTRIBUTES)
        return beside;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Glimmerdel", 0,
                        KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return beside;
    }
    char folder[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    const bool found =
        ::RegQueryValueExA(key, "InstallDir", nullptr, &type, reinterpret_cast<BYTE*>(folder),
                           &size) == ERROR_SUCCESS &&
        type == REG_SZ && size > 1;
    ::RegCloseKey(key);
    if (!found)
        return beside;
    std::string path(folder, strnlen(folder, MAX_PATH));
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

Long TwipsPerPixel(int dotsPerInch) {
    if (dotsPerInch <= 0)
        return kTwipsPerPixelAt96Dpi;
    // Rounded to a whole number, halves to even, as every twips length is.
    return static_cast<Long>(std::nearbyint(1440.0 / dotsPerInch));
}

template <typename Function>
Function LoadFunction(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

Win32Host::Win32Host(HINSTANCE instance, std::string commandLine)
    : m_instance(instance),
      m_command(std::move(commandLine)),
      m_appPath(InstalledFolderOr(ProgramFolder())) {
    SetUnhandledExceptionFilter(OnUnhandledException);
    std::set_terminate(OnTerminate);
    // Physical pixels, whatever the manifest of the process that links this says.
    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    m_dotsPerInch = dotsPerInch > 0 ? dotsPerInch : 96;
    m_twipsPerPixelX = TwipsPerPixel(dotsPerInch);
    m_twipsPerPixelY = TwipsPerPixel(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    QueryMonitors();
    // An instance started earlier still holds this name.
    m_instanceMutex = CreateMutexA(nullptr, FALSE, "Local\\Glimmerdel.instance");
    m_prevInstance = m_instanceMutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    m_random.Stir(PerformanceCount() ^ (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32));
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

Win32Host::~Win32Host() {
    ReleaseTimerResolution();
    if (m_instanceMutex != nullptr)
        CloseHandle(m_instanceMutex);
}

void Win32Host::GiveDesktopBack() {
    if (!g_saverShown)
        return;
    // Without waiting for the taskbar's program: it may not be answering.
    HWND taskbar = ::FindWindowA("Shell_traywnd", "");
    if (taskbar != nullptr) {
        ::SetWindowPos(taskbar, nullptr, 0, 0, 0, 0,
                       SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                           SWP_ASYNCWINDOWPOS);
    }
    while (::ShowCursor(TRUE) < 0) {
    }
    ReleaseTimerResolution();
}

void Win32Host::SaverShown() {
    g_saverShown = true;
    // A frame period of 20 ms needs the system's timers at millisecond resolution.
    HoldTimerResolution();
}

void Win32Host::DisplayPowerChanged(SceneVisibility::DisplayPower power) {
    m_visibility.DisplayPowerChanged(power);
    if (power != SceneVisibility::DisplayPower::On) {
        ReleaseTimerResolution();
    } else if (g_saverShown) {
        HoldTimerResolution();
    }
}

bool Win32Host::TimerResolutionHeld() {
    return g_timerHeld;
}

bool Win32Host::QueryMonitors() {
    m_layout = Win32MonitorList::CurrentLayout();
    return m_monitors.Replace(Win32MonitorList::Query(m_requestedScale));
}

void Win32Host::SetScale(std::optional<int> scale) {
    m_requestedScale = scale;
    QueryMonitors();
}

void Win32Host::SelectMonitor(int index) {
    m_monitors.Select(index);
}

MonitorArea Win32Host::SelectedMonitor() const {
    if (m_monitors.Empty()) {
        MonitorArea screen;
        screen.width = std::max(GetSystemMetrics(SM_CXSCREEN), 1);
        screen.height = std::max(GetSystemMetrics(SM_CYSCREEN), 1);
        return screen;
    }
    return m_monitors.Selected();
}

bool Win32Host::SaverWindowShown() const {
    for (Win32FormPeer* peer : m_peers) {
        if (peer->CoversMonitor() && peer->Visible())
            return true;
    }
    return false;
}

void Win32Host::CheckMonitors() {
    const std::uint32_t now = timeGetTime();
    if (!m_monitorsChanged && now - m_lastMonitorLook < kMonitorLookMs)
        return;
    if (!SaverWindowShown())
        return;
    m_lastMonitorLook = now;
    if (!m_monitorsChanged && Win32MonitorList::CurrentLayout() == m_layout)
        return;
    m_monitorsChanged = false;
    // The saver's scenes are built for the monitors as they were: build them again.
    if (QueryMonitors())
        throw ScreenChanged{};
}

std::string Win32Host::ArgumentsOf(const std::string& commandLine) {
    size_t at = 0;
    while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t'))
        ++at;
    if (at < commandLine.size() && commandLine[at] == '"') {
        const size_t close = commandLine.find('"', at + 1);
        at = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        while (at < commandLine.size() && commandLine[at] != ' ' && commandLine[at] != '\t')
            ++at;
    }
    // One separator goes; the rest is the arguments as given.
    if (at < commandLine.size())
        ++at;
    return commandLine.substr(std::min(at, commandLine.size()));
}

Long Win32Host::ScreenWidthTwips() {
    return SelectedMonitor().ComposedWidth() * m_twipsPerPixelX;
}

Long Win32Host::ScreenHeightTwips() {
    return SelectedMonitor().ComposedHeight() * m_twipsPerPixelY;
}

bool Win32Host::DispatchOne(MSG& message) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (message.message == WM_QUIT)
        return true;
    for (Win32FormPeer* peer : m_peers) {
        if (peer->HandlesDialogKeys() && IsDialogMessageA(peer->hWnd(), &message))
            return true;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

void Win32Host::DoEvents() {
    GdiFlush();
    MSG message;
    // What arrives while these are handled waits for the next pass, so that a stream of
    // input cannot hold the frame loop here.
    for (int i = 0; i < 1000 && DispatchOne(message); ++i) {
    }
    // After the handlers, never from inside one: an exception must not cross the system's
    // message dispatch.
    CheckMonitors();
}

void Win32Host::WaitForEvents(Long timeoutMs) {
    GdiFlush();
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::max<Long>(timeoutMs, 0)),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    DoEvents();
}

std::uint32_t Win32Host::GetTickCount() {
    // The same millisecond count since the system started as the tick count, but at the
    // resolution set above (the tick count itself moves in steps of about 16 ms, which would
    // pace 20 ms frames at 32 ms).
    return static_cast<std::uint32_t>(timeGetTime());
}

double Win32Host::Timer() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

std::string Win32Host::Dir(const std::string& path) {
    return file_store::FileNameIfExists(path);
}

void Win32Host::Randomize() {
    m_random.Stir(PerformanceCount());
}

int Win32Host::MsgBox(const std::string& text, int style, const std::string& title) {
    // The pointer shows over the message, whatever the saver made of it.
    int shown = ::ShowCursor(TRUE);
    int extra = 1;
    while (shown < 0 && extra < 32) {
        shown = ::ShowCursor(TRUE);
        ++extra;
    }
    HWND owner = nullptr;
    for (Win32FormPeer* peer : m_peers) {
        if (peer->Visible())
            owner = peer->hWnd();
    }
    ++m_modalDepth;
    MessageBoxA(owner, text.c_str(), title.c_str(),
                static_cast<UINT>(style) | MB_TOPMOST | MB_SETFOREGROUND);
    --m_modalDepth;
    while (extra-- > 0)
        ::ShowCursor(FALSE);
    return vbOK;
}

void Win32Host::Shell(const std::string& path) {
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        throw RuntimeError(53, "File not found: " + path);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

Long Win32Host::ShellExecute(const std::string& target) {
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<Long>(reinterpret_cast<INT_PTR>(result));
}

Long Win32Host::InternetGetConnectedState(std::uint32_t* flags, std::uint32_t reserved) {
    DWORD state = 0;
    const BOOL connected = ::InternetGetConnectedState(&state, reserved);
    if (flags != nullptr)
        *flags = state;
    return connected;
}

void Win32Host::EndProgram(int status) {
    GdiFlush();
    std::fflush(stdout);
    std::fflush(stderr);
    ReleaseTimerResolution();
    ExitProcess(static_cast<UINT>(status));
}

int Win32Host::ShowCursor(BOOL show) {
    return ::ShowCursor(show);
}

BOOL Win32Host::SystemParametersInfoA(std::uint32_t action, std::uint32_t param, void* pvParam,
                                      std::uint32_t winIni) {
    return ::SystemParametersInfoA(action, param, pvParam, winIni);
}

BOOL Win32Host::SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                             std::uint32_t flags) {
    return ::SetWindowPos(hWnd, insertAfter, x, y, cx, cy, flags);
}

HWND Win32Host::FindWindowA(const char* className, const char* windowName) {
    return ::FindWindowA(className, windowName);
}

BOOL Win32Host::GetVersionExA(OSVERSIONINFOA* info) {
    return ::GetVersionExA(info);
}

Long Win32Host::RegOpenKeyExA(HKEY key, const char* subKey, std::uint32_t options,
                              std::uint32_t desired, HKEY* result) {
    return ::RegOpenKeyExA(key, subKey, options, desired, result);
}

Long Win32Host::RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t* reserved,
                                 std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
    static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
    return ::RegQueryValueExA(key, valueName, reinterpret_cast<DWORD*>(reserved),
                              reinterpret_cast<DWORD*>(type), data, reinterpret_cast<DWORD*>(size));
}

Long Win32Host::RegCloseKey(HKEY key) {
    return ::RegCloseKey(key);
}

Long Win32Host::VerifyScreenSavePwd(HWND hWnd) {
    // Only the older system family has it; where it is missing the system asks for the
    // password itself, so the saver counts it as confirmed.
    using Verify = BOOL(WINAPI*)(HWND);
    static const Verify verify = LoadFunction<Verify>("password.cpl", "VerifyScreenSavePwd");
    if (verify == nullptr)
        return 1;
    ++m_modalDepth;
    const Long answer = verify(hWnd);
    --m_modalDepth;
    return answer;
}

Long Win32Host::PwdChangePasswordA(const char* registryKey, HWND parent, std::uint32_t reserved1,
                                   std::uint32_t reserved2) {
    // Only the older system family has it; where it is missing the system's own settings own
    // the password and there is nothing to change.
    using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    static const Change change = LoadFunction<Change>("mpr", "PwdChangePasswordA");
    if (change == nullptr)
        return 0;
    return static_cast<Long>(change(registryKey, parent, reserved1,
                                    reinterpret_cast<LPVOID>(std::uintptr_t{reserved2})));
}

std::unique_ptr<FormPeer> Win32Host::CreateFormPeer(Form& form) {
    return std::make_unique<Win32FormPeer>(*this, form);
}
