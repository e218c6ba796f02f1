// SPDX-License-Identifier: MIT
#pragma once
// One seat of the compositor: its keyboard, pointer and touch screen, whose input goes to the
// InputTarget of the surface it reaches. Only presses count as keys (keys already held when a
// surface gets the keyboard, releases and the compositor's key repeat do not); the pointer is
// hidden over our surfaces while the program's pointer count says so.

#include <cstdint>

#include "platform/types.h"

struct wl_cursor_theme;
struct wl_keyboard;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_surface;
struct wl_touch;

class InputTarget;
class WaylandHost;

class WaylandSeat {
  public:
    WaylandSeat(WaylandHost& host, wl_registry* registry, std::uint32_t globalName,
                std::uint32_t version);
    ~WaylandSeat();
    WaylandSeat(const WaylandSeat&) = delete;
    WaylandSeat& operator=(const WaylandSeat&) = delete;

    std::uint32_t GlobalName() const { return m_globalName; }
    // A target goes away: its input is dropped from now on.
    void Forget(const InputTarget* target);
    // Shows or hides the pointer over the surface it is on.
    void ShowPointer(bool show);

    // The program's virtual-key code of a key (evdev numbering, by its place on a US layout);
    // 0 for a key without one.
    static Integer VirtualKey(std::uint32_t key);

  private:
    friend struct WaylandSeatEvents;
    void Capabilities(std::uint32_t capabilities);
    void SetCursor();
    Integer Shift() const;

    WaylandHost& m_host;
    std::uint32_t m_globalName;
    wl_seat* m_seat = nullptr;
    wl_keyboard* m_keyboard = nullptr;
    wl_pointer* m_pointer = nullptr;
    wl_touch* m_touch = nullptr;
    InputTarget* m_keyboardFocus = nullptr;
    InputTarget* m_pointerFocus = nullptr;
    std::uint32_t m_modifiers = 0;
    Integer m_buttons = 0;
    double m_pointerX = 0;
    double m_pointerY = 0;
    std::uint32_t m_enterSerial = 0;
    bool m_pointerShown = false;
    wl_cursor_theme* m_cursorTheme = nullptr;
    wl_surface* m_cursorSurface = nullptr;
};
