#pragma once
// The retained pixels of a window without a display, as each system keeps them.

#ifdef _WIN32
#include "platform/win32/HeadlessBacking.h"
#else
#include "platform/winapi/HeadlessBacking.h"
#endif
