// SPDX-License-Identifier: MIT
// A headless form's window on Windows: no window at all, its DC a memory DC holding a bitmap of
// the client size. The handle is a number of its own that no system window has.

#include "platform/headless/HeadlessFormPeer.h"

#include <algorithm>
#include <cstdint>

namespace {
// Odd values: no window handle of the system is odd.
std::intptr_t g_nextHandle = 0x40000001;
}  // namespace

HeadlessFormPeer::HeadlessFormPeer(Form& form)
    : m_form(form),
      m_backing(std::make_shared<HeadlessBacking>(std::max(form.ClientWidthPixels(), 1),
                                                  std::max(form.ClientHeightPixels(), 1))),
      m_hWnd(reinterpret_cast<HWND>(g_nextHandle)) {
    g_nextHandle += 2;
}

HeadlessFormPeer::~HeadlessFormPeer() {
    if (m_hDC != nullptr)
        DeleteDC(m_hDC);
}

HDC HeadlessFormPeer::hDC() {
    if (m_hDC == nullptr) {
        m_hDC = CreateCompatibleDC(nullptr);
        if (m_hDC != nullptr && m_backing->Bitmap() != nullptr)
            SelectObject(m_hDC, m_backing->Bitmap());
    }
    return m_hDC;
}

void HeadlessFormPeer::Resize(int width, int height, bool) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == m_backing->Width() && height == m_backing->Height())
        return;
    auto backing = std::make_shared<HeadlessBacking>(width, height);
    // The DC keeps its handle and draws into the new pixels from now on.
    if (m_hDC != nullptr && backing->Bitmap() != nullptr)
        SelectObject(m_hDC, backing->Bitmap());
    m_backing = std::move(backing);
}
