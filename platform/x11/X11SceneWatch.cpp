// SPDX-License-Identifier: MIT
#include "platform/x11/X11SceneWatch.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include <memory>

namespace {

// The DPMS state of the server's display; "cannot tell" while power saving is switched off.
class DpmsQuery : public SceneVisibility::PowerQuery {
  public:
    explicit DpmsQuery(Display* display) : m_display(display) {}
    std::optional<SceneVisibility::DisplayPower> Query() override {
        CARD16 level = DPMSModeOn;
        BOOL enabled = False;
        if (!DPMSInfo(m_display, &level, &enabled) || !enabled)
            return std::nullopt;
        switch (level) {
            case DPMSModeStandby:
                return SceneVisibility::DisplayPower::Standby;
            case DPMSModeSuspend:
                return SceneVisibility::DisplayPower::Suspend;
            case DPMSModeOff:
                return SceneVisibility::DisplayPower::Off;
            default:
                return SceneVisibility::DisplayPower::On;
        }
    }

  private:
    Display* m_display;
};

}  // namespace

void X11SceneWatch::Open(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    if (display == nullptr || !DPMSQueryExtension(display, &eventBase, &errorBase) ||
        !DPMSCapable(display)) {
        m_visibility.SetPowerQuery(nullptr);
        return;
    }
    m_visibility.SetPowerQuery(std::make_unique<DpmsQuery>(display));
}

void X11SceneWatch::Watch(Display* display, unsigned long window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        return;
    // Added to what this connection already asks of the window (the toolkit's events).
    XSelectInput(display, window,
                 attributes.your_event_mask | StructureNotifyMask | VisibilityChangeMask);
    m_visibility.WatchWindow(window, attributes.map_state == IsViewable);
}

void X11SceneWatch::Forget(unsigned long window) {
    m_visibility.ForgetWindow(window);
}

void X11SceneWatch::Event(const void* data) {
    const auto& event = *static_cast<const XEvent*>(data);
    switch (event.type) {
        case MapNotify:
            // Until the server says the mapped window is covered.
            m_visibility.WindowSeen(event.xmap.window, true);
            break;
        case UnmapNotify:
            m_visibility.WindowSeen(event.xunmap.window, false);
            break;
        case VisibilityNotify:
            m_visibility.WindowSeen(event.xvisibility.window,
                                    event.xvisibility.state != VisibilityFullyObscured);
            break;
        default:
            break;
    }
}
