#pragma once
// A form's window on Windows, made with the plain Win32 API.
//
// A form with visible controls is a dialog-like window: the system's own controls (buttons,
// check boxes, scroll bars, labels, a group box, pictures) in the designed tab order, with Tab,
// the arrow keys and Escape working as in a dialog. A form without them is a canvas: drawing on
// its DC goes straight to the window; a borderless maximised one is a topmost window over the
// whole screen that reports keys, buttons and pointer moves to the form.

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
    Form& Owner() { return m_form; }
    // The window procedure's work for this form.
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void MakeControls();
    void MakeIcons();
    void PlaceWindow(int width, int height);

    Win32Host& m_host;
    Form& m_form;
    HWND m_hWnd = nullptr;
    HDC m_hDC = nullptr;
    HFONT m_font = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    bool m_hasControls = false;
    bool m_maximized = false;
    bool m_focusSet = false;
};
