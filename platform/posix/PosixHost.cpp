// SPDX-License-Identifier: MIT
#include "platform/posix/PosixHost.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/RuntimeError.h"
#include "platform/posix/posix_env.h"

namespace {

std::string Join(const std::vector<std::string>& arguments) {
    std::string command;
    for (const std::string& argument : arguments) {
        if (!command.empty())
            command += ' ';
        command += argument;
    }
    return command;
}

}  // namespace

PosixHost::PosixHost(const std::vector<std::string>& arguments)
    : m_command(Join(arguments)), m_appPath(posix_env::ProgramFolder()) {
    m_random.Stir(posix_env::MonotonicNanoseconds() ^ (static_cast<std::uint64_t>(getpid()) << 32));
}

PosixHost::~PosixHost() = default;

std::uint64_t PosixHost::NanosecondsUntilTick(Long timeoutMs) {
    const std::uint64_t now = posix_env::MonotonicNanoseconds();
    const std::uint64_t boundary = (now / 1000000 + std::max<Long>(timeoutMs, 0)) * 1000000;
    return boundary - std::min(boundary, now);
}

std::uint32_t PosixHost::GetTickCount() {
    return posix_env::MonotonicMilliseconds();
}

double PosixHost::Timer() {
    return posix_env::SecondsSinceLocalMidnight();
}

std::string PosixHost::Dir(const std::string& path) {
    return posix_env::FileNameIfExists(path);
}

void PosixHost::Randomize() {
    m_random.Stir(posix_env::MonotonicNanoseconds());
}

int PosixHost::MsgBox(const std::string& text, int, const std::string& title) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    return vbOK;
}

void PosixHost::Shell(const std::string& path) {
    if (!posix_env::StartDetached({path}))
        throw RuntimeError(53, "File not found: " + path);
}

Long PosixHost::ShellExecute(const std::string& target) {
    // The desktop's default handler; 2 (file not found) when it cannot be started.
    return posix_env::StartDetached({"xdg-open", target}) ? 42 : 2;
}

Long PosixHost::InternetGetConnectedState(std::uint32_t* flags, std::uint32_t) {
    if (flags != nullptr)
        *flags = 0;
    return posix_env::NetworkInterfaceUp() ? 1 : 0;
}

void PosixHost::EndProgram(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(status);
}

int PosixHost::ShowCursor(BOOL show) {
    m_cursorCount += show ? 1 : -1;
    return m_cursorCount;
}

BOOL PosixHost::SystemParametersInfoA(std::uint32_t, std::uint32_t, void*, std::uint32_t) {
    return TRUE;  // the screen locker owns the system keys here
}

BOOL PosixHost::SetWindowPos(HWND, HWND, int, int, int, int, std::uint32_t) {
    return FALSE;
}

HWND PosixHost::FindWindowA(const char*, const char*) {
    return 0;  // no taskbar window
}

BOOL PosixHost::GetVersionExA(OSVERSIONINFOA* info) {
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return FALSE;
    info->dwMajorVersion = 6;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 0;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    return TRUE;
}

Long PosixHost::RegOpenKeyExA(HKEY, const char*, std::uint32_t, std::uint32_t, HKEY* result) {
    if (result != nullptr)
        *result = 0;
    return ERROR_FILE_NOT_FOUND;  // no registry here
}

Long PosixHost::RegQueryValueExA(HKEY, const char*, std::uint32_t*, std::uint32_t*, std::uint8_t*,
                                 std::uint32_t*) {
    return ERROR_FILE_NOT_FOUND;
}

Long PosixHost::RegCloseKey(HKEY) {
    return ERROR_SUCCESS;
}

Long PosixHost::VerifyScreenSavePwd(HWND) {
    return 1;
}

Long PosixHost::PwdChangePasswordA(const char*, HWND, std::uint32_t, std::uint32_t) {
    return 0;  // the screen locker owns the password here: nothing to change
}
