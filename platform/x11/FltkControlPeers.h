// SPDX-License-Identifier: MIT
#pragma once
// The toolkit widgets behind a form's controls.

#include <memory>

#include "platform/Rect.h"

class Control;
class ControlPeer;
class Fl_Group;

namespace fltk_controls {

// Makes the widget for a control inside the current group (the window, or a frame's group) at
// its place in window coordinates (pixels). A frame's group is returned through *group so that
// its children can be made inside it. Controls without a widget (timers, hidden picture boxes)
// give null.
std::unique_ptr<ControlPeer> MakePeer(Control& control, const Rect& place, Fl_Group** group);

}  // namespace fltk_controls
