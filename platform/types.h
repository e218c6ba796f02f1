// SPDX-License-Identifier: MIT
#pragma once
// The program's basic value types.
//
// Integer is a signed 16-bit value and Long a signed 32-bit value. A Boolean is a 16-bit flag:
// true is all bits set (-1), false is 0, and a routine taking a Boolean tests it for nonzero.

#include <cstdint>

using Integer = std::int16_t;
using Long = std::int32_t;
using Boolean = std::int16_t;

inline constexpr Boolean kTrue = -1;
inline constexpr Boolean kFalse = 0;

constexpr Boolean ToBoolean(bool value) {
    return value ? kTrue : kFalse;
}
