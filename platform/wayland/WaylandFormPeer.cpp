// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandFormPeer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/ScaledWindowBacking.h"
#include "platform/headless/HeadlessBacking.h"
#include "platform/wayland/WaylandHost.h"
#include "platform/wayland/WaylandSurface.h"
#include "platform/wayland/WaylandWindowBacking.h"

WaylandFormPeer::WaylandFormPeer(WaylandHost& host, Form& form)
    : m_host(host),
      m_form(form),
      m_backing(std::make_shared<HeadlessBacking>(std::max(form.ClientWidthPixels(), 1),
                                                  std::max(form.ClientHeightPixels(), 1))) {
    m_hWnd = gdi::RegisterWindow(m_backing);
    m_host.PeerCreated(this);
}

WaylandFormPeer::~WaylandFormPeer() {
    m_host.PeerDestroyed(this);
    if (m_hDC != 0)
        ReleaseDC(m_hWnd, m_hDC);
    gdi::UnregisterWindow(m_hWnd);
    // The buffers go before the surface they were attached to.
    m_backing.reset();
    m_screen.reset();
}

HDC WaylandFormPeer::hDC() {
    if (m_hDC == 0)
        m_hDC = GetDC(m_hWnd);
    return m_hDC;
}

void WaylandFormPeer::Resize(int width, int height, bool maximized) {
    if (!maximized) {
        if (m_surface == nullptr) {
            m_backing = std::make_shared<HeadlessBacking>(std::max(width, 1), std::max(height, 1));
            gdi::ReplaceWindowBacking(m_hWnd, m_backing);
        }
        return;
    }
    // The output the host has selected, covered by a surface of ours: its configured size is
    // the scene's, at the output's density.
    WaylandOutput& output = m_host.SelectedOutput();
    if (m_surface == nullptr || &m_surface->Output() != &output) {
        m_backing = std::make_shared<HeadlessBacking>(1, 1);
        gdi::ReplaceWindowBacking(m_hWnd, m_backing);
        m_screen.reset();
        m_surface = std::make_unique<WaylandSurface>(m_host, output, m_host.CoveringRole(),
                                                     m_host.Background() ? nullptr : this);
        if (m_surface->Map())
            m_host.OutputCovered(output, m_surface->PixelWidth(), m_surface->PixelHeight());
    }
    const MonitorArea monitor = m_host.SelectedMonitor();
    if (m_screen && m_screen->Width() == monitor.width && m_screen->Height() == monitor.height &&
        m_scale == monitor.scale) {
        return;
    }
    m_scale = monitor.scale;
    m_screen = WaylandWindowBacking::Create(m_host.Globals().shm, m_surface->Surface(),
                                            monitor.width, monitor.height);
    if (!m_screen)
        m_host.Fail("no memory for the buffers of output " + output.Name());
    std::shared_ptr<WindowBacking> target = m_screen;
    if (m_scale > 1)
        target = std::make_shared<ScaledWindowBacking>(m_screen, m_scale);
    m_backing = target;
    gdi::ReplaceWindowBacking(m_hWnd, m_backing);
    m_screen->SetShown(m_shown && m_surface->Mapped());
}

void WaylandFormPeer::Show() {
    m_shown = true;
    if (m_surface == nullptr || !m_screen)
        return;
    if (!m_surface->Mapped() && !m_surface->Map())
        return;  // closed by the compositor: the host builds the scenes again
    m_screen->SetShown(true);
    // The whole picture once, then only what changes.
    m_backing->Present(0, 0, m_backing->Width(), m_backing->Height());
    Flush();
}

void WaylandFormPeer::Hide() {
    m_shown = false;
    if (m_screen) {
        m_screen->SetShown(false);
        m_screen->ForgetFrame();
    }
    if (m_surface != nullptr)
        m_surface->Unmap();
}

void WaylandFormPeer::Refresh() {
    Flush();
}

bool WaylandFormPeer::Visible() {
    return m_shown && (m_surface == nullptr || m_surface->Mapped());
}

void WaylandFormPeer::Flush() {
    if (m_screen && m_surface != nullptr && m_surface->TakesBuffers())
        m_screen->Flush();
}

bool WaylandFormPeer::UnseenFor(std::uint32_t ms) const {
    return m_screen && m_screen->UnseenFor(ms);
}

int WaylandFormPeer::ToPictureX(double x) const {
    if (m_surface == nullptr || m_surface->LogicalWidth() <= 0)
        return 0;
    const double pixels = x * m_surface->PixelWidth() / m_surface->LogicalWidth();
    return static_cast<int>(std::floor(pixels / m_scale));
}

int WaylandFormPeer::ToPictureY(double y) const {
    if (m_surface == nullptr || m_surface->LogicalHeight() <= 0)
        return 0;
    const double pixels = y * m_surface->PixelHeight() / m_surface->LogicalHeight();
    return static_cast<int>(std::floor(pixels / m_scale));
}

void WaylandFormPeer::KeyPressed(Integer keyCode, Integer shift) {
    if (m_host.AnswersMessage())
        return;
    m_form.KeyDown(keyCode, shift);
}

void WaylandFormPeer::ButtonPressed(Integer button, Integer shift, double x, double y) {
    if (m_host.AnswersMessage())
        return;
    m_form.MouseDownAtPixel(button, shift, ToPictureX(x), ToPictureY(y));
}

void WaylandFormPeer::PointerMoved(Integer buttons, Integer shift, double x, double y) {
    if (m_host.MessageShown())
        return;
    m_form.MouseMoveAtPixel(buttons, shift, ToPictureX(x), ToPictureY(y));
}

void WaylandFormPeer::CloseRequested() {
    // Closing the saver's window ends it as a key does.
    KeyPressed(27, 0);
}
