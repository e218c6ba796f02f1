// SPDX-License-Identifier: MIT
#include "platform/CommandButton.h"

CommandButton::CommandButton(Form& form, Control* container, std::string name)
    : Control(form, container, std::move(name), ControlKind::CommandButton) {}

void CommandButton::Click() {
    if (m_onClick)
        m_onClick();
}
