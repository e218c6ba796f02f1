// SPDX-License-Identifier: MIT
#include "platform/MonitorSelection.h"

#include <utility>

bool MonitorSelection::Replace(std::vector<MonitorArea> monitors) {
    if (monitors == m_monitors)
        return false;
    m_monitors = std::move(monitors);
    m_selected = 0;
    return true;
}

void MonitorSelection::Select(int index) {
    if (index >= 0 && index < Count())
        m_selected = index;
}
