// SPDX-License-Identifier: MIT
#pragma once
// A form's window without a display: retained pixels of the client size, drawn on through the
// window's DC. On Linux the pixels sit behind a window of the drawing stand-in; on Windows they
// are a bitmap of the system's in a memory DC.

#include <memory>
#include <string>

#include "platform/Form.h"
#include "platform/headless/HeadlessBacking.h"

class HeadlessFormPeer : public FormPeer {
  public:
    explicit HeadlessFormPeer(Form& form);
    ~HeadlessFormPeer() override;

    HWND hWnd() override { return m_hWnd; }
    HDC hDC() override;
    void Show() override { m_visible = true; }
    void Hide() override { m_visible = false; }
    void Refresh() override {}
    bool Visible() override { return m_visible; }
    void Resize(int width, int height, bool maximized) override;
    void SetCaption(const std::string&) override {}
    HeadlessBacking* Backing() { return m_backing.get(); }
    Form& Owner() { return m_form; }

  private:
    Form& m_form;
    std::shared_ptr<HeadlessBacking> m_backing;
    HWND m_hWnd = 0;
    HDC m_hDC = 0;
    bool m_visible = false;
};
