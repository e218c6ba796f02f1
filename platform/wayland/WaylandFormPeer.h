// SPDX-License-Identifier: MIT
#pragma once
// A form's window on Wayland. A maximised form covers the output the host has selected with a
// surface of its own (the saver's one surface per output; a background surface behind a
// locker); its DC draws into the retained pixels of that surface's backing, composed at the
// output's scale where the scene is doubled. Before the surface is configured the pixels are
// kept headless. A form that covers no output gets no surface: on Wayland only the saver's
// forms run.

#include <memory>
#include <string>

#include "platform/Form.h"
#include "platform/wayland/InputTarget.h"

class WaylandHost;
class WaylandOutput;
class WaylandSurface;
class WaylandWindowBacking;
class WindowBacking;

class WaylandFormPeer : public FormPeer, public InputTarget {
  public:
    WaylandFormPeer(WaylandHost& host, Form& form);
    ~WaylandFormPeer() override;

    HWND hWnd() override { return m_hWnd; }
    HDC hDC() override;
    void Show() override;
    void Hide() override;
    void Refresh() override;
    bool Visible() override;
    void Resize(int width, int height, bool maximized) override;
    void SetCaption(const std::string&) override {}

    // Whether it covers an output (a maximised form: the saver's).
    bool CoversOutput() const { return m_surface != nullptr; }
    // Whether the form asked to be shown (its surface may be closed since).
    bool Shown() const { return m_shown; }
    const WaylandSurface* Surface() const { return m_surface.get(); }
    // Sends what was drawn since the last flush (once a frame is enough).
    void Flush();
    // Whether its surface has been out of sight (no frame callback) for ms milliseconds.
    bool UnseenFor(std::uint32_t ms) const;

    // Input on its surface.
    void KeyPressed(Integer keyCode, Integer shift) override;
    void ButtonPressed(Integer button, Integer shift, double x, double y) override;
    void PointerMoved(Integer buttons, Integer shift, double x, double y) override;
    void CloseRequested() override;

  private:
    // A position on the surface as a pixel of the form's picture.
    int ToPictureX(double x) const;
    int ToPictureY(double y) const;

    WaylandHost& m_host;
    Form& m_form;
    std::unique_ptr<WaylandSurface> m_surface;
    std::shared_ptr<WindowBacking> m_backing;
    std::shared_ptr<WaylandWindowBacking> m_screen;
    HWND m_hWnd = 0;
    HDC m_hDC = 0;
    int m_scale = 1;
    bool m_shown = false;
};
