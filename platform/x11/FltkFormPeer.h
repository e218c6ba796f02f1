// SPDX-License-Identifier: MIT
#pragma once
// A form's window on X11, made with FLTK.
//
// The window's client area has retained pixels from the start (its DC works while the form is
// hidden); once the X window exists they become the image pushed to it, and exposes repaint
// from them. Controls get FLTK widgets. A borderless maximised form covers the whole screen
// and, when the form asks for it, takes the keyboard and the pointer.

#include <memory>
#include <string>

#include "platform/Form.h"

class FltkHost;
class FormWindow;
class HeadlessBacking;
class X11WindowBacking;
class WindowBacking;

class FltkFormPeer : public FormPeer {
  public:
    FltkFormPeer(FltkHost& host, Form& form);
    ~FltkFormPeer() override;

    HWND hWnd() override { return m_hWnd; }
    HDC hDC() override;
    void Show() override;
    void Hide() override;
    void Refresh() override;
    bool Visible() override;
    void Resize(int width, int height, bool maximized) override;
    void SetCaption(const std::string& caption) override;

    // The pointer display counter changed: show or hide the pointer over this window.
    void ShowPointer(bool show);
    // Lets go of the keyboard and the pointer (a message box needs them).
    void ReleaseGrabs();
    bool Grabbing() const { return m_grabbing; }
    // Window placement requests (topmost, hide, show).
    void Raise(bool topmost);

    // Whether the window covers a monitor (a maximised form: the saver's).
    bool CoversMonitor() const { return m_maximized; }
    // Window pixels per pixel of the form's picture (more than 1 on a high-density monitor).
    int Scale() const { return m_scale; }

    // Sends what was pushed to the window on its way (once a frame is enough).
    void Flush();
    // Called by the window.
    void Repaint(int x, int y, int w, int h);
    Form& Owner() { return m_form; }

  private:
    void MakeControls();
    void TakeGrabs();
    void AttachScreenBacking();
    // The host counts the saver's shown window as showing the scene, until it is hidden or the
    // form goes.
    void WatchWindow();
    void ForgetWindow();

    FltkHost& m_host;
    Form& m_form;
    std::unique_ptr<FormWindow> m_window;
    std::shared_ptr<WindowBacking> m_backing;
    std::shared_ptr<X11WindowBacking> m_screenBacking;
    HWND m_hWnd = 0;
    HDC m_hDC = 0;
    bool m_maximized = false;
    int m_scale = 1;
    bool m_grabbing = false;
    bool m_pointerShown = true;
    // The X window the host counts as showing the scene (0: none).
    unsigned long m_watchedWindow = 0;
};
