// SPDX-License-Identifier: MIT
#pragma once
// The system's own headers: on Windows every Win32 name the program uses (handles, the drawing
// calls, records and values) is the real one.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
