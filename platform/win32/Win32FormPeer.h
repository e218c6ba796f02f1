// SPDX-License-Identifier: MIT
#pragma once
// A form's window on Windows, made with the plain Win32 API.
//
// A form with visible controls is a dialog-like window: the system's own controls (buttons,
// check boxes, scroll bars, labels, a group box, pictures at the display's density) in the
// designed tab order, with Tab, the arrow keys and Escape working as in a dialog. A form without
// them is a canvas: drawing on its DC goes straight to the window, and a spoiled part is
// repainted from the form's repaint source. A borderless maximised one (the saver's) is a
// topmost tool window (no taskbar button) over the host's selected monitor that reports keys,
// buttons and pointer moves to the form; on a monitor shown at a scale its DC maps every pixel
// of the form's picture onto a block of the window (nearest neighbour, crisp).

#include <memory>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/system.h"

class Win32Host;

class Win32FormPeer : public FormPeer {
  public:
    Win32FormPeer(Win32Host& host, Form& form);
    ~Win32FormPeer() override;

    HWND hWnd() override { return m_hWnd; }
    HDC hDC() override;
    void Show() override;
    void Hide() override;
    void Refresh() override;
    bool Visible() override;
    void Resize(int width, int height, bool maximized) override;
    void SetCaption(const std::string& caption) override;

    // Whether Tab, Escape and the arrow keys go to the controls as in a dialog.
    bool HandlesDialogKeys() const { return m_hasControls; }
    // Whether the window covers a monitor (a maximised form: the saver's).
    bool CoversMonitor() const { return m_maximized; }
    // Window pixels per pixel of the form's picture (more than 1 on a high-density monitor).
    int Scale() const { return m_scale; }
    Form& Owner() { return m_form; }
    // The window procedure's work for this form.
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void MakeControls();
    void MakeIcons();
    void PlaceWindow(int width, int height);
    // Sets a DC to take the form's pixels onto the window at its scale.
    void MapFormPixels(HDC dc) const;
    void Repaint();
    // What the system tells only the saver's windows while it runs (another program in the
    // foreground, the screen saver's own start command, a new density, the display's power
    // state): true when handled.
    bool HandleSaverMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    Win32Host& m_host;
    Form& m_form;
    HWND m_hWnd = nullptr;
    HDC m_hDC = nullptr;
    HFONT m_font = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    bool m_hasControls = false;
    bool m_maximized = false;
    int m_scale = 1;
    bool m_focusSet = false;
    // The display's power notifications, for a saver window.
    HPOWERNOTIFY m_powerNotify = nullptr;
};
