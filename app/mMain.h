#pragma once
// The program's start: creates the three forms, reads the host facts and dispatches the
// command line. Returns when no form is loaded any more.

void Main();

// Destroys the three forms (Main does this whenever it is left).
void DestroyForms();
