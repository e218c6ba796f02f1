// SPDX-License-Identifier: MIT
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
// A handle as a number, for messages and records.
template <typename Handle>
long long HandleNumber(Handle handle) {
    return static_cast<long long>(reinterpret_cast<std::intptr_t>(handle));
}
// A handle from a number (a test's sentinel values).
template <typename Handle>
Handle HandleFromNumber(long long number) {
    return reinterpret_cast<Handle>(static_cast<std::intptr_t>(number));
}
// A predefined registry key from its 32-bit value (the system sign-extends it).
inline HKEY HkeyFromValue(std::uint32_t value) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}
#else
#include "platform/winapi/gdi.h"
#include "platform/winapi/system_values.h"
// A window handle given as a number (the command line's).
inline HWND HwndFromLong(Long value) {
    return value;
}
// A handle as a number, for messages and records.
template <typename Handle>
long long HandleNumber(Handle handle) {
    return static_cast<long long>(handle);
}
// A handle from a number (a test's sentinel values).
template <typename Handle>
Handle HandleFromNumber(long long number) {
    return static_cast<Handle>(number);
}
// A predefined registry key from its 32-bit value.
inline HKEY HkeyFromValue(std::uint32_t value) {
    return value;
}
#endif

// The predefined registry keys the program names, as 32-bit values.
inline constexpr std::uint32_t kHKeyClassesRoot = 0x80000000;
inline constexpr std::uint32_t kHKeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kHKeyDynData = 0x80000006;

// The separator of the parts of a path.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif
