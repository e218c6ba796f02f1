// SPDX-License-Identifier: MIT
#pragma once
// An image control: shows a picture at its place, nothing more.

#include "platform/Control.h"
#include "platform/ImageData.h"

class ImageControl : public Control {
  public:
    ImageControl(Form& form, Control* container, std::string name)
        : Control(form, container, std::move(name), ControlKind::Image) {}

    const ImageData& Picture() const { return m_picture; }
    void SetPicture(const ImageData& picture) { m_picture = picture; }

  private:
    ImageData m_picture;
};
