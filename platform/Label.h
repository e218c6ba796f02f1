// SPDX-License-Identifier: MIT
#pragma once
// A label: a caption shown in the form's default font.

#include "platform/Control.h"

class Label : public Control {
  public:
    Label(Form& form, Control* container, std::string name)
        : Control(form, container, std::move(name), ControlKind::Label) {}
};
