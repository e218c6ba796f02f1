// SPDX-License-Identifier: MIT
#pragma once
// A check box: Value 0 (not ticked) or 1 (ticked); 2 (greyed) is accepted as the toolkit does.

#include "platform/Control.h"

class CheckBox : public Control {
  public:
    CheckBox(Form& form, Control* container, std::string name);

    Integer Value() const;
    // Throws RuntimeError (invalid property value) outside 0 to 2.
    void SetValue(Integer value);

  protected:
    void SyncPeer() override;
    void CaptureFromPeer() override;

  private:
    Integer m_value = 0;
};
