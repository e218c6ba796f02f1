// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandSeat.h"

#include <linux/input-event-codes.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-cursor.h>

#include <algorithm>

#include "platform/wayland/InputTarget.h"
#include "platform/wayland/WaylandHost.h"

namespace {

WaylandSeat& Self(void* data) {
    return *static_cast<WaylandSeat*>(data);
}

// The target of one of our surfaces (null for a surface that is gone or not ours).
InputTarget* TargetOf(wl_surface* surface) {
    return surface != nullptr ? static_cast<InputTarget*>(wl_surface_get_user_data(surface))
                              : nullptr;
}

// The modifier bits of the usual keymaps (Shift, Lock, Control, Mod1).
constexpr std::uint32_t kShiftBit = 1u << 0;
constexpr std::uint32_t kControlBit = 1u << 2;
constexpr std::uint32_t kAltBit = 1u << 3;
// The size of the pointer, where it is shown.
constexpr int kCursorSize = 24;

Integer ButtonCode(std::uint32_t button) {
    switch (button) {
        case BTN_LEFT:
            return 1;
        case BTN_RIGHT:
            return 2;
        case BTN_MIDDLE:
            return 4;
        default:
            return 0;
    }
}

}  // namespace

struct WaylandSeatEvents {
    static void Capabilities(void* data, wl_seat*, std::uint32_t capabilities) {
        Self(data).Capabilities(capabilities);
    }
    static void Name(void*, wl_seat*, const char*) {}

    static void Keymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) {
        close(fd);  // every key counts the same: no keymap needed
    }
    static void KeyboardEnter(void* data, wl_keyboard*, std::uint32_t, wl_surface* surface,
                              wl_array*) {
        // The keys held at this moment are not presses: they do not end anything.
        Self(data).m_keyboardFocus = TargetOf(surface);
    }
    static void KeyboardLeave(void* data, wl_keyboard*, std::uint32_t, wl_surface*) {
        Self(data).m_keyboardFocus = nullptr;
    }
    static void Key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
                    std::uint32_t state) {
        WaylandSeat& self = Self(data);
        if (state != WL_KEYBOARD_KEY_STATE_PRESSED || self.m_keyboardFocus == nullptr)
            return;
        InputTarget* target = self.m_keyboardFocus;
        const Integer shift = self.Shift();
        self.m_host.Deliver([&] { target->KeyPressed(WaylandSeat::VirtualKey(key), shift); });
    }
    static void Modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
                          std::uint32_t latched, std::uint32_t locked, std::uint32_t) {
        Self(data).m_modifiers = depressed | latched | (locked & ~(1u << 1));
    }
    static void RepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

    static void PointerEnter(void* data, wl_pointer*, std::uint32_t serial, wl_surface* surface,
                             wl_fixed_t x, wl_fixed_t y) {
        WaylandSeat& self = Self(data);
        self.m_enterSerial = serial;
        self.m_pointerFocus = TargetOf(surface);
        self.SetCursor();
        // Where it came in counts as its first position.
        Motion(data, nullptr, 0, x, y);
    }
    static void PointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
        Self(data).m_pointerFocus = nullptr;
    }
    static void Motion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
        WaylandSeat& self = Self(data);
        self.m_pointerX = wl_fixed_to_double(x);
        self.m_pointerY = wl_fixed_to_double(y);
        if (InputTarget* target = self.m_pointerFocus) {
            const Integer buttons = self.m_buttons;
            const Integer shift = self.Shift();
            self.m_host.Deliver(
                [&] { target->PointerMoved(buttons, shift, self.m_pointerX, self.m_pointerY); });
        }
    }
    static void Button(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                       std::uint32_t state) {
        WaylandSeat& self = Self(data);
        const Integer code = ButtonCode(button);
        if (state != WL_POINTER_BUTTON_STATE_PRESSED) {
            self.m_buttons = static_cast<Integer>(self.m_buttons & ~code);
            return;
        }
        self.m_buttons = static_cast<Integer>(self.m_buttons | code);
        if (InputTarget* target = self.m_pointerFocus) {
            const Integer shift = self.Shift();
            self.m_host.Deliver([&] {
                // A button without a code of its own (a side button) counts as the first.
                target->ButtonPressed(code != 0 ? code : Integer{1}, shift, self.m_pointerX,
                                      self.m_pointerY);
            });
        }
    }
    static void Axis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
    static void PointerFrame(void*, wl_pointer*) {}
    static void AxisSource(void*, wl_pointer*, std::uint32_t) {}
    static void AxisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
    static void AxisDiscrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
    static void AxisValue120(void*, wl_pointer*, std::uint32_t, std::int32_t) {}

    static void TouchDown(void* data, wl_touch*, std::uint32_t, std::uint32_t, wl_surface* surface,
                          std::int32_t, wl_fixed_t x, wl_fixed_t y) {
        WaylandSeat& self = Self(data);
        if (InputTarget* target = TargetOf(surface)) {
            self.m_host.Deliver(
                [&] { target->ButtonPressed(1, 0, wl_fixed_to_double(x), wl_fixed_to_double(y)); });
        }
    }
    static void TouchUp(void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {}
    static void TouchMotion(void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {
    }
    static void TouchFrame(void*, wl_touch*) {}
    static void TouchCancel(void*, wl_touch*) {}
    static void TouchShape(void*, wl_touch*, std::int32_t, wl_fixed_t, wl_fixed_t) {}
    static void TouchOrientation(void*, wl_touch*, std::int32_t, wl_fixed_t) {}
};

namespace {

const wl_seat_listener kSeatListener = {WaylandSeatEvents::Capabilities, WaylandSeatEvents::Name};
const wl_keyboard_listener kKeyboardListener = {
    WaylandSeatEvents::Keymap, WaylandSeatEvents::KeyboardEnter, WaylandSeatEvents::KeyboardLeave,
    WaylandSeatEvents::Key,    WaylandSeatEvents::Modifiers,     WaylandSeatEvents::RepeatInfo,
};
const wl_pointer_listener kPointerListener = {
    WaylandSeatEvents::PointerEnter, WaylandSeatEvents::PointerLeave,
    WaylandSeatEvents::Motion,       WaylandSeatEvents::Button,
    WaylandSeatEvents::Axis,         WaylandSeatEvents::PointerFrame,
    WaylandSeatEvents::AxisSource,   WaylandSeatEvents::AxisStop,
    WaylandSeatEvents::AxisDiscrete, WaylandSeatEvents::AxisValue120,
};
const wl_touch_listener kTouchListener = {
    WaylandSeatEvents::TouchDown,        WaylandSeatEvents::TouchUp,
    WaylandSeatEvents::TouchMotion,      WaylandSeatEvents::TouchFrame,
    WaylandSeatEvents::TouchCancel,      WaylandSeatEvents::TouchShape,
    WaylandSeatEvents::TouchOrientation,
};

}  // namespace

WaylandSeat::WaylandSeat(WaylandHost& host, wl_registry* registry, std::uint32_t globalName,
                         std::uint32_t version)
    : m_host(host), m_globalName(globalName), m_pointerShown(host.PointerShown()) {
    // Version 5 has every event used here; later ones add nothing needed.
    m_seat = static_cast<wl_seat*>(
        wl_registry_bind(registry, globalName, &wl_seat_interface, std::min(version, 5u)));
    wl_seat_add_listener(m_seat, &kSeatListener, this);
}

WaylandSeat::~WaylandSeat() {
    Capabilities(0);
    if (m_cursorSurface != nullptr)
        wl_surface_destroy(m_cursorSurface);
    if (m_cursorTheme != nullptr)
        wl_cursor_theme_destroy(m_cursorTheme);
    if (wl_seat_get_version(m_seat) >= WL_SEAT_RELEASE_SINCE_VERSION) {
        wl_seat_release(m_seat);
    } else {
        wl_seat_destroy(m_seat);
    }
}

void WaylandSeat::Capabilities(std::uint32_t capabilities) {
    const bool releasable = wl_seat_get_version(m_seat) >= WL_KEYBOARD_RELEASE_SINCE_VERSION;
    auto drop = [&](auto*& device, auto release, auto destroy) {
        if (device != nullptr)
            (releasable ? release : destroy)(device);
        device = nullptr;
    };
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && m_keyboard == nullptr) {
        m_keyboard = wl_seat_get_keyboard(m_seat);
        wl_keyboard_add_listener(m_keyboard, &kKeyboardListener, this);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD)) {
        drop(m_keyboard, wl_keyboard_release, wl_keyboard_destroy);
        m_keyboardFocus = nullptr;
    }
    if ((capabilities & WL_SEAT_CAPABILITY_POINTER) && m_pointer == nullptr) {
        m_pointer = wl_seat_get_pointer(m_seat);
        wl_pointer_add_listener(m_pointer, &kPointerListener, this);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_POINTER)) {
        drop(m_pointer, wl_pointer_release, wl_pointer_destroy);
        m_pointerFocus = nullptr;
    }
    if ((capabilities & WL_SEAT_CAPABILITY_TOUCH) && m_touch == nullptr) {
        m_touch = wl_seat_get_touch(m_seat);
        wl_touch_add_listener(m_touch, &kTouchListener, this);
    } else if (!(capabilities & WL_SEAT_CAPABILITY_TOUCH)) {
        drop(m_touch, wl_touch_release, wl_touch_destroy);
    }
}

void WaylandSeat::Forget(const InputTarget* target) {
    if (m_keyboardFocus == target)
        m_keyboardFocus = nullptr;
    if (m_pointerFocus == target)
        m_pointerFocus = nullptr;
}

void WaylandSeat::ShowPointer(bool show) {
    if (show == m_pointerShown)
        return;
    m_pointerShown = show;
    SetCursor();
}

void WaylandSeat::SetCursor() {
    if (m_pointer == nullptr || m_pointerFocus == nullptr)
        return;
    if (!m_pointerShown) {
        wl_pointer_set_cursor(m_pointer, m_enterSerial, nullptr, 0, 0);
        return;
    }
    // The arrow of the user's cursor theme (libwayland-cursor has one of its own without).
    if (m_cursorTheme == nullptr)
        m_cursorTheme = wl_cursor_theme_load(nullptr, kCursorSize, m_host.Globals().shm);
    wl_cursor* cursor =
        m_cursorTheme != nullptr ? wl_cursor_theme_get_cursor(m_cursorTheme, "left_ptr") : nullptr;
    if (cursor == nullptr || cursor->image_count == 0)
        return;
    wl_cursor_image* image = cursor->images[0];
    wl_buffer* buffer = wl_cursor_image_get_buffer(image);
    if (buffer == nullptr)
        return;
    if (m_cursorSurface == nullptr)
        m_cursorSurface = wl_compositor_create_surface(m_host.Globals().compositor);
    wl_pointer_set_cursor(m_pointer, m_enterSerial, m_cursorSurface,
                          static_cast<std::int32_t>(image->hotspot_x),
                          static_cast<std::int32_t>(image->hotspot_y));
    wl_surface_attach(m_cursorSurface, buffer, 0, 0);
    wl_surface_damage(m_cursorSurface, 0, 0, static_cast<std::int32_t>(image->width),
                      static_cast<std::int32_t>(image->height));
    wl_surface_commit(m_cursorSurface);
}

Integer WaylandSeat::Shift() const {
    Integer shift = 0;
    if (m_modifiers & kShiftBit)
        shift |= 1;
    if (m_modifiers & kControlBit)
        shift |= 2;
    if (m_modifiers & kAltBit)
        shift |= 4;
    return shift;
}

Integer WaylandSeat::VirtualKey(std::uint32_t key) {
    // The letter rows of a US layout, by key number from Q, A and Z.
    static constexpr char kTop[] = "QWERTYUIOP";
    static constexpr char kMiddle[] = "ASDFGHJKL";
    static constexpr char kBottom[] = "ZXCVBNM";
    if (key >= KEY_Q && key <= KEY_P)
        return static_cast<Integer>(kTop[key - KEY_Q]);
    if (key >= KEY_A && key <= KEY_L)
        return static_cast<Integer>(kMiddle[key - KEY_A]);
    if (key >= KEY_Z && key <= KEY_M)
        return static_cast<Integer>(kBottom[key - KEY_Z]);
    if (key >= KEY_1 && key <= KEY_0)
        return static_cast<Integer>(key == KEY_0 ? '0' : '1' + (key - KEY_1));
    if (key >= KEY_F1 && key <= KEY_F10)
        return static_cast<Integer>(112 + (key - KEY_F1));
    switch (key) {
        case KEY_F11:
            return 122;
        case KEY_F12:
            return 123;
        case KEY_ESC:
            return 27;
        case KEY_BACKSPACE:
            return 8;
        case KEY_TAB:
            return 9;
        case KEY_ENTER:
        case KEY_KPENTER:
            return 13;
        case KEY_LEFTSHIFT:
        case KEY_RIGHTSHIFT:
            return 16;
        case KEY_LEFTCTRL:
        case KEY_RIGHTCTRL:
            return 17;
        case KEY_LEFTALT:
        case KEY_RIGHTALT:
            return 18;
        case KEY_PAUSE:
            return 19;
        case KEY_CAPSLOCK:
            return 20;
        case KEY_SPACE:
            return 32;
        case KEY_PAGEUP:
            return 33;
        case KEY_PAGEDOWN:
            return 34;
        case KEY_END:
            return 35;
        case KEY_HOME:
            return 36;
        case KEY_LEFT:
            return 37;
        case KEY_UP:
            return 38;
        case KEY_RIGHT:
            return 39;
        case KEY_DOWN:
            return 40;
        case KEY_INSERT:
            return 45;
        case KEY_DELETE:
            return 46;
        case KEY_LEFTMETA:
            return 91;
        case KEY_RIGHTMETA:
            return 92;
        case KEY_COMPOSE:
            return 93;
        default:
            return 0;
    }
}
