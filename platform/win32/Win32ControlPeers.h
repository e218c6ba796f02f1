#pragma once
// The system's controls behind a form's controls on Windows.

#include <memory>

#include "platform/system.h"

class Control;
class ControlPeer;

namespace win32_controls {

// Makes the system control for a control as a child of the form's window; (offsetX, offsetY)
// place its container's origin in the window (pixels), twipsPerPixel converts the designed
// twips. Controls without a system control (timers, hidden picture boxes) give null.
std::unique_ptr<ControlPeer> MakePeer(Control& control, HWND parent, HFONT font, int offsetX,
                                      int offsetY, int twipsPerPixelX, int twipsPerPixelY);

// A command from a control of the form (a button was pressed): true when it was one of ours.
bool HandleCommand(WPARAM wParam, LPARAM lParam);
// A scroll bar of the form was moved: true when it was one of ours.
bool HandleScroll(WPARAM wParam, LPARAM lParam);

}  // namespace win32_controls
