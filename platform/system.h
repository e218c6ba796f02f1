#pragma once
// The Win32 names the program uses (handles, drawing calls, records and values): on Windows the
// system's own headers, elsewhere our stand-in in platform/winapi/.

#include <cstdint>

#include "platform/types.h"

#ifdef _WIN32
#include "platform/win32/windows_api.h"
// A window handle given as a number (the command line's).
inline HWND HwndFromLong(Long value) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(value));
}
#else
#include "platform/winapi/gdi.h"
#include "platform/winapi/system_values.h"
// A window handle given as a number (the command line's).
inline HWND HwndFromLong(Long value) {
    return value;
}
#endif

// The separator of the parts of a path.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif
