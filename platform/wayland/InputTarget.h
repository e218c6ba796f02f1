// SPDX-License-Identifier: MIT
#pragma once
// What a surface of ours does with the input that reaches it. Positions are in the surface's
// logical pixels; keys, buttons and shift states in the program's own codes (the Win32
// numbering: letters as capitals, Escape 27, Return 13; buttons 1 left, 2 right, 4 middle;
// shift 1, control 2, alt 4).

#include "platform/types.h"

class InputTarget {
  public:
    virtual ~InputTarget() = default;
    virtual void KeyPressed(Integer keyCode, Integer shift) = 0;
    virtual void ButtonPressed(Integer button, Integer shift, double x, double y) = 0;
    // buttons: those held.
    virtual void PointerMoved(Integer buttons, Integer shift, double x, double y) = 0;
    // The compositor asks the window to close (a toplevel's close button or shortcut).
    virtual void CloseRequested() = 0;
};
