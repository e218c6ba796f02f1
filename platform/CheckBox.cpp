// SPDX-License-Identifier: MIT
#include "platform/CheckBox.h"

#include "platform/RuntimeError.h"

CheckBox::CheckBox(Form& form, Control* container, std::string name)
    : Control(form, container, std::move(name), ControlKind::CheckBox) {}

Integer CheckBox::Value() const {
    return Peer() ? static_cast<Integer>(Peer()->Value()) : m_value;
}

void CheckBox::SetValue(Integer value) {
    if (value < 0 || value > 2)
        throw RuntimeError(380, "Invalid property value");
    m_value = value;
    if (Peer())
        Peer()->SetValue(value);
}

void CheckBox::SyncPeer() {
    Peer()->SetValue(m_value);
}

void CheckBox::CaptureFromPeer() {
    m_value = static_cast<Integer>(Peer()->Value());
}
