// SPDX-License-Identifier: MIT
#pragma once
// The monitors a host covers, and the one selected: the scene made next is composed for it, and
// a maximised form goes there. Every windowing backend keeps its monitors in one.

#include <cstddef>
#include <vector>

#include "platform/monitors.h"

class MonitorSelection {
  public:
    // The monitors as they are now; true when they differ from those before. After a change the
    // first is selected (the scenes are built again from the first); otherwise the selection
    // stays.
    bool Replace(std::vector<MonitorArea> monitors);

    int Count() const { return static_cast<int>(m_monitors.size()); }
    bool Empty() const { return m_monitors.empty(); }
    // Selects a monitor by its place in the list; an index outside it changes nothing.
    void Select(int index);
    void SelectFirst() { m_selected = 0; }
    int SelectedIndex() const { return m_selected; }
    // The selected monitor; std::out_of_range when there is none.
    const MonitorArea& Selected() const {
        return m_monitors.at(static_cast<std::size_t>(m_selected));
    }
    // A monitor by its place in the list, to change what was learnt of it.
    MonitorArea& At(std::size_t index) { return m_monitors.at(index); }
    const std::vector<MonitorArea>& All() const { return m_monitors; }

  private:
    std::vector<MonitorArea> m_monitors;
    int m_selected = 0;
};
