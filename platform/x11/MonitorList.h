// SPDX-License-Identifier: MIT
#pragma once
// The monitors of an X screen: RandR 1.5 monitors where the server has them, Xinerama's screens
// otherwise, and the whole screen when neither says anything.

#include <optional>
#include <vector>

#include "platform/monitors.h"

typedef struct _XDisplay Display;

class MonitorList {
  public:
    // The usable monitors of the default screen, each with its scale (ChooseScale).
    static std::vector<MonitorArea> Query(Display* display, std::optional<int> requestedScale);
    // Asks the server to report monitor changes of the default screen; returns the event
    // number of RandR's screen-change notice (0 when the server has no RandR).
    static int WatchChanges(Display* display);
    // Whether an event is one of RandR's notices of a changed screen or monitor (eventBase from
    // WatchChanges).
    static bool IsChange(int eventBase, const void* event);
};
