// SPDX-License-Identifier: MIT
#pragma once
// The signals that ask a program to stop (SIGTERM, SIGINT, SIGHUP), caught instead of ending it
// at once, so that it can end in its own way (desktop given back, status 0). A sleeping wait is
// interrupted by them.

namespace stop_signals {

// Catches the three from now on (without restarting interrupted calls).
void Install();
// The signal caught, or 0 while none came.
int Caught();

}  // namespace stop_signals
