// SPDX-License-Identifier: MIT
#pragma once
// A frame: an etched box that holds other controls (its caption may be empty).

#include "platform/Control.h"

class Frame : public Control {
  public:
    Frame(Form& form, Control* container, std::string name)
        : Control(form, container, std::move(name), ControlKind::Frame) {}
};
