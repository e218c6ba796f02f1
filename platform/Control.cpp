// SPDX-License-Identifier: MIT
#include "platform/Control.h"

#include "platform/Form.h"

Control::Control(Form& form, Control* container, std::string name, ControlKind kind)
    : m_form(form), m_container(container), m_name(std::move(name)), m_kind(kind) {
    m_form.AddControl(*this);
}

Control::~Control() {
    m_form.RemoveControl(*this);
}

void Control::Place(Long left, Long top, Long width, Long height) {
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
}

void Control::SetCaption(const std::string& caption) {
    m_caption = caption;
    if (m_peer)
        m_peer->SetCaption(caption);
}

void Control::AttachPeer(std::unique_ptr<ControlPeer> peer) {
    m_peer = std::move(peer);
    if (m_peer)
        SyncPeer();
}

void Control::DetachPeer() {
    if (m_peer)
        CaptureFromPeer();
    m_peer.reset();
}
