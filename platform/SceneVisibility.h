// SPDX-License-Identifier: MIT
#pragma once
// Whether anybody can see the scene: the display's power state and the scene's own windows, as
// a host learns of them. While nobody can, the frame loop runs no frames and sleeps on the event
// queue with a long timeout (see WaitUntil); the scene goes on where it was once the host learns
// that it shows again.
//
// The display's power is told (a system notification) or asked for (a query such as the X
// server's DPMS state): a query is asked at most once per kPollMs, on the calls to Seen. The
// windows are those of the scene that the host watches: the scene is seen while any of them
// is, and while none is watched the windows do not hide it.

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class SceneVisibility {
  public:
    // Dimmed displays count as on: the scene can still be seen.
    enum class DisplayPower { On, Standby, Suspend, Off };

    // A display power state that must be asked for.
    class PowerQuery {
      public:
        virtual ~PowerQuery() = default;
        // The state now; nullopt when it cannot be told (power saving switched off, say).
        virtual std::optional<DisplayPower> Query() = 0;
    };

    static constexpr std::uint32_t kPollMs = 1000;

    // The query to ask (null: none; the last told state stands).
    void SetPowerQuery(std::unique_ptr<PowerQuery> query);
    // The system said the display's state changed.
    void DisplayPowerChanged(DisplayPower power) { m_power = power; }
    DisplayPower Power() const { return m_power; }

    // A window of the scene to count, seen as it is now (mapped and not known to be covered).
    void WatchWindow(std::uintptr_t window, bool seen);
    // A watched window can be seen or not (unmapped, iconified, fully covered); windows not
    // watched are left alone.
    void WindowSeen(std::uintptr_t window, bool seen);
    // A window is gone or no longer shows the scene.
    void ForgetWindow(std::uintptr_t window);

    // Whether the scene can be seen now; nowMs is the tick count (wraps), for the query's pace.
    bool Seen(std::uint32_t nowMs);

  private:
    std::unique_ptr<PowerQuery> m_query;
    bool m_asked = false;
    std::uint32_t m_askedAt = 0;
    DisplayPower m_power = DisplayPower::On;
    std::vector<std::pair<std::uintptr_t, bool>> m_windows;
};
