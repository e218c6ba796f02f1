// SPDX-License-Identifier: MIT
#pragma once
// A message box of our own on one output, for a session without an X server: a small surface
// in the middle of the output with the exclamation icon, the text in the pictures' pixel font
// and an OK button, drawn at the output's density. Any key or a click on it answers it.

#include <memory>
#include <string>
#include <vector>

#include "platform/wayland/InputTarget.h"

class ShmBuffer;
class WaylandHost;
class WaylandOutput;
class WaylandSurface;

class MessageSurface : public InputTarget {
  public:
    MessageSurface(WaylandHost& host, WaylandOutput& output, const std::string& text,
                   const std::string& title, bool exclamation);
    ~MessageSurface() override;

    // Whether it is on the screen (false when the compositor closed it).
    bool Shown() const;

    // The text's lines within the box's width (words kept whole; a word longer than a line is
    // cut where it must be). Public for the tests.
    static std::vector<std::string> Wrap(const std::string& text, int width, int fontScale);

    void KeyPressed(Integer keyCode, Integer shift) override;
    void ButtonPressed(Integer button, Integer shift, double x, double y) override;
    void PointerMoved(Integer, Integer, double, double) override {}
    void CloseRequested() override;

  private:
    struct Layout;
    void Paint(const Layout& layout);

    WaylandHost& m_host;
    std::unique_ptr<WaylandSurface> m_surface;
    std::unique_ptr<ShmBuffer> m_buffer;
    bool m_shown = false;
};
