// SPDX-License-Identifier: MIT
#pragma once
// A horizontal scroll bar: Value within Min to Max, moved by SmallChange (arrows) and
// LargeChange (trough).

#include "platform/Control.h"

class HScrollBar : public Control {
  public:
    HScrollBar(Form& form, Control* container, std::string name);

    // The designed range and steps; the value is set to Min.
    void Design(Integer min, Integer max, Integer smallChange, Integer largeChange);

    Integer Min() const { return m_min; }
    Integer Max() const { return m_max; }
    Integer SmallChange() const { return m_smallChange; }
    Integer LargeChange() const { return m_largeChange; }

    Integer Value() const;
    // Throws RuntimeError (invalid property value) outside Min to Max.
    void SetValue(Integer value);

  protected:
    void SyncPeer() override;
    void CaptureFromPeer() override;

  private:
    Integer m_min = 0;
    Integer m_max = 32767;
    Integer m_smallChange = 1;
    Integer m_largeChange = 1;
    Integer m_value = 0;
};
