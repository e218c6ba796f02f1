// SPDX-License-Identifier: MIT
#include "platform/HScrollBar.h"

#include "platform/RuntimeError.h"

HScrollBar::HScrollBar(Form& form, Control* container, std::string name)
    : Control(form, container, std::move(name), ControlKind::HScrollBar) {}

void HScrollBar::Design(Integer min, Integer max, Integer smallChange, Integer largeChange) {
    m_min = min;
    m_max = max;
    m_smallChange = smallChange;
    m_largeChange = largeChange;
    m_value = min;
}

Integer HScrollBar::Value() const {
    return Peer() ? static_cast<Integer>(Peer()->Value()) : m_value;
}

void HScrollBar::SetValue(Integer value) {
    if (value < m_min || value > m_max)
        throw RuntimeError(380, "Invalid property value");
    m_value = value;
    if (Peer())
        Peer()->SetValue(value);
}

void HScrollBar::SyncPeer() {
    Peer()->SetValue(m_value);
}

void HScrollBar::CaptureFromPeer() {
    m_value = static_cast<Integer>(Peer()->Value());
}
