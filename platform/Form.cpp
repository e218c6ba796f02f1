// SPDX-License-Identifier: MIT
#include "platform/Form.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "platform/Control.h"
#include "platform/HostServices.h"
#include "platform/numbers.h"

namespace {
int g_loadedForms = 0;
}  // namespace

Form::Form(std::string name) : m_name(std::move(name)) {}

Form::~Form() {
    if (m_peer) {
        for (Control* control : m_controls)
            control->DetachPeer();
        m_peer.reset();
        --g_loadedForms;
    }
}

void Form::SetCaption(const std::string& caption) {
    m_caption = caption;
    if (m_peer)
        m_peer->SetCaption(caption);
}

void Form::Load() {
    if (m_peer || m_loading)
        return;
    m_loading = true;
    m_peer = Host().CreateFormPeer(*this);
    m_loading = false;
    ++g_loadedForms;
    Form_Load();
}

void Form::Show() {
    Load();
    if (m_peer)
        m_peer->Show();
}

void Form::Hide() {
    if (m_peer)
        m_peer->Hide();
}

void Form::Refresh() {
    if (m_peer)
        m_peer->Refresh();
}

void Form::Unload() {
    if (!m_peer)
        return;
    Integer cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0 || !m_peer)
        return;
    for (Control* control : m_controls)
        control->DetachPeer();
    m_peer.reset();
    --g_loadedForms;
}

void Form::CloseRequested(Integer unloadMode) {
    if (!m_peer)
        return;
    Integer cancel = 0;
    Form_QueryUnload(cancel, unloadMode);
    if (cancel == 0)
        Unload();
}

bool Form::Visible() const {
    return m_peer && m_peer->Visible();
}

int Form::LoadedCount() {
    return g_loadedForms;
}

HWND Form::hWnd() {
    Load();
    return m_peer ? m_peer->hWnd() : 0;
}

HDC Form::hDC() {
    Load();
    return m_peer ? m_peer->hDC() : 0;
}

void Form::SetWidth(Long twips) {
    m_width = twips;
    ApplySize();
}

void Form::SetHeight(Long twips) {
    m_height = twips;
    ApplySize();
}

void Form::SetWindowState(WindowState state) {
    m_state = state;
    ApplySize();
}

void Form::ApplySize() {
    if (!m_peer)
        return;
    m_peer->Resize(ClientWidthPixels(), ClientHeightPixels(), m_state == WindowState::Maximized);
}

float Form::ScaleWidth() {
    if (m_state == WindowState::Maximized)
        return static_cast<float>(Host().ScreenWidthTwips());
    return static_cast<float>(m_width);
}

float Form::ScaleHeight() {
    if (m_state == WindowState::Maximized)
        return static_cast<float>(Host().ScreenHeightTwips());
    return static_cast<float>(m_height);
}

int Form::ClientWidthPixels() {
    return TwipsToPixels(ScaleWidth(), Host().TwipsPerPixelX());
}

int Form::ClientHeightPixels() {
    return TwipsToPixels(ScaleHeight(), Host().TwipsPerPixelY());
}

void Form::AddControl(Control& control) {
    m_controls.push_back(&control);
}

void Form::RemoveControl(Control& control) {
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), &control), m_controls.end());
}

bool Form::HasVisibleControls() const {
    return std::any_of(m_controls.begin(), m_controls.end(), [](const Control* control) {
        return control->Visible() && control->Kind() != ControlKind::Timer &&
               control->Kind() != ControlKind::PictureBox;
    });
}

Rect Form::PlaceInPixels(const Control& control) {
    const Long twipsX = std::max<Long>(Host().TwipsPerPixelX(), 1);
    const Long twipsY = std::max<Long>(Host().TwipsPerPixelY(), 1);
    Rect place{control.Left() / twipsX, control.Top() / twipsY, control.Width() / twipsX,
               control.Height() / twipsY};
    for (const Control* c = control.Container(); c != nullptr; c = c->Container())
        place = place.Offset(c->Left() / twipsX, c->Top() / twipsY);
    return place;
}

void Form::MakeControls(ControlMaker& maker) {
    std::vector<Control*> ordered = m_controls;
    std::stable_sort(ordered.begin(), ordered.end(), [](const Control* a, const Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    std::map<const Control*, bool> made;
    std::function<void(Control*)> make = [&](Control* control) {
        if (made[control])
            return;
        made[control] = true;
        // A container comes before the controls inside it.
        Control* container = control->Container();
        if (container != nullptr)
            make(container);
        control->AttachPeer(maker.MakeControl(*control, PlaceInPixels(*control),
                                              container != nullptr ? container->Peer() : nullptr));
    };
    for (Control* control : ordered)
        make(control);
}

void Form::MouseDownAtPixel(Integer button, Integer shift, int x, int y) {
    Form_MouseDown(button, shift,
                   static_cast<float>(x) * static_cast<float>(Host().TwipsPerPixelX()),
                   static_cast<float>(y) * static_cast<float>(Host().TwipsPerPixelY()));
}

void Form::MouseMoveAtPixel(Integer button, Integer shift, int x, int y) {
    Form_MouseMove(button, shift,
                   static_cast<float>(x) * static_cast<float>(Host().TwipsPerPixelX()),
                   static_cast<float>(y) * static_cast<float>(Host().TwipsPerPixelY()));
}
