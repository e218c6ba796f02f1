// SPDX-License-Identifier: MIT
#pragma once
// A timer control: an interval and an enabled flag. A timer without a handler does nothing,
// so it never needs a toolkit timer behind it.

#include "platform/Control.h"

class TimerControl : public Control {
  public:
    TimerControl(Form& form, std::string name, Long interval, bool enabled)
        : Control(form, nullptr, std::move(name), ControlKind::Timer),
          m_interval(interval),
          m_enabled(enabled) {
        SetVisible(false);
    }

    Long Interval() const { return m_interval; }
    bool Enabled() const { return m_enabled; }

  private:
    Long m_interval;
    bool m_enabled;
};
