// SPDX-License-Identifier: MIT
#pragma once
// The program's start: creates the three forms, reads the host facts and dispatches the
// command line. Returns when no form is loaded any more.

void Main();

// Runs Main on the installed host, again whenever the screen the scenes were built for changed
// (a monitor or output came, went or changed its size while the saver ran), then ends the
// program. Never returns.
[[noreturn]] void RunMain();

// Destroys the three forms (Main does this whenever it is left).
void DestroyForms();

// Runs the scene inside the window of a screen-saver daemon (the installed host is an embedded
// one): the full-screen saver's own set-up and frames, built again whenever the window's size
// changes. Never returns.
[[noreturn]] void RunEmbedded();
