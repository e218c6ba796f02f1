// SPDX-License-Identifier: MIT
// A headless form's window on the drawing stand-in: a registered window whose DC draws into
// retained pixels.

#include "platform/headless/HeadlessFormPeer.h"

#include <algorithm>

HeadlessFormPeer::HeadlessFormPeer(Form& form)
    : m_form(form),
      m_backing(std::make_shared<HeadlessBacking>(std::max(form.ClientWidthPixels(), 1),
                                                  std::max(form.ClientHeightPixels(), 1))),
      m_hWnd(gdi::RegisterWindow(m_backing)) {}

HeadlessFormPeer::~HeadlessFormPeer() {
    if (m_hDC != 0)
        ReleaseDC(m_hWnd, m_hDC);
    gdi::UnregisterWindow(m_hWnd);
}

HDC HeadlessFormPeer::hDC() {
    if (m_hDC == 0)
        m_hDC = GetDC(m_hWnd);
    return m_hDC;
}

void HeadlessFormPeer::Resize(int width, int height, bool) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == m_backing->Width() && height == m_backing->Height())
        return;
    m_backing = std::make_shared<HeadlessBacking>(width, height);
    gdi::ReplaceWindowBacking(m_hWnd, m_backing);
}
