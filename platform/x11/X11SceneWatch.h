// SPDX-License-Identifier: MIT
#pragma once
// What the X server says of whether the scene can be seen, for SceneVisibility: the display's
// DPMS state (asked at most once a second, and only where the server offers the extension and
// the display can save power), and for the scene's windows their mapping (UnmapNotify,
// MapNotify) and whether they are fully covered (VisibilityNotify).

#include <cstdint>

#include "platform/SceneVisibility.h"

typedef struct _XDisplay Display;

class X11SceneWatch {
  public:
    // Starts asking the server's DPMS state, where it has one.
    void Open(Display* display);
    // Counts a window of the scene: asks for the events that tell its visibility, and takes
    // its mapping as it is now.
    void Watch(Display* display, unsigned long window);
    void Forget(unsigned long window);
    // An event the connection received (an XEvent); those about watched windows count.
    void Event(const void* event);
    bool Seen(std::uint32_t nowMs) { return m_visibility.Seen(nowMs); }

  private:
    SceneVisibility m_visibility;
};
