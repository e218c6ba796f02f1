// SPDX-License-Identifier: MIT
#pragma once
// Our stand-ins for the few Win32 records and values the program passes through the host
// services (the version record, the registry, window placement, system parameters), where the
// system has none (Linux). On Windows the system's headers declare them.

#include <cstdint>

#include "platform/types.h"
#include "platform/winapi/gdi.h"

// The system's version record (148 bytes).
struct OSVERSIONINFOA {
    std::uint32_t dwOSVersionInfoSize;
    std::uint32_t dwMajorVersion;
    std::uint32_t dwMinorVersion;
    std::uint32_t dwBuildNumber;
    std::uint32_t dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);
inline constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;

// Registry.
using HKEY = std::uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006;
inline constexpr Long ERROR_SUCCESS = 0;
inline constexpr Long ERROR_FILE_NOT_FOUND = 2;
inline constexpr Long ERROR_MORE_DATA = 234;
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

// Window placement.
inline constexpr HWND HWND_TOPMOST = -1;
inline constexpr HWND HWND_NOTOPMOST = -2;
inline constexpr std::uint32_t SWP_NOSIZE = 0x0001;
inline constexpr std::uint32_t SWP_NOMOVE = 0x0002;
inline constexpr std::uint32_t SWP_SHOWWINDOW = 0x0040;
inline constexpr std::uint32_t SWP_HIDEWINDOW = 0x0080;
inline constexpr std::uint32_t SPI_SETSCREENSAVERRUNNING = 97;
