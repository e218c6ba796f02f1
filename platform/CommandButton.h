// SPDX-License-Identifier: MIT
#pragma once
// A command button with a caption, or (graphical style) a picture; its click handler runs when
// the user presses it.

#include <functional>

#include "platform/Control.h"
#include "platform/ImageData.h"

class CommandButton : public Control {
  public:
    CommandButton(Form& form, Control* container, std::string name);

    const ImageData& Picture() const { return m_picture; }
    void SetPicture(const ImageData& picture) { m_picture = picture; }

    void OnClick(std::function<void()> handler) { m_onClick = std::move(handler); }
    // What a press of the button does (the toolkit calls it; tests may too).
    void Click();

  private:
    ImageData m_picture;
    std::function<void()> m_onClick;
};
