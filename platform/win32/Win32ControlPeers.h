#pragma once
// The system's controls behind a form's controls on Windows.

#include <memory>

#include "platform/Rect.h"
#include "platform/system.h"

class Control;
class ControlPeer;

namespace win32_controls {

// Makes the system control for a control as a child of the form's window, at its place in the
// window's client area (pixels). Controls without a system control (timers, hidden picture
// boxes) give null.
std::unique_ptr<ControlPeer> MakePeer(Control& control, HWND parent, HFONT font, const Rect& place);

// A command from a control of the form (a button was pressed): true when it was one of ours.
bool HandleCommand(WPARAM wParam, LPARAM lParam);
// A scroll bar of the form was moved: true when it was one of ours.
bool HandleScroll(WPARAM wParam, LPARAM lParam);

}  // namespace win32_controls
