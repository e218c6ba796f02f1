// SPDX-License-Identifier: MIT
#pragma once
// One output of the compositor (a monitor): its name, its size in logical pixels (from
// xdg-output where the compositor has it, from the current mode and scale otherwise) and the
// density it wants buffers at (an integer scale, or a fractional one that a surface on it was
// told about). It tells the host whenever a complete description of it changed.

#include <cstdint>
#include <string>

struct wl_output;
struct wl_output_listener;
struct wl_registry;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct zxdg_output_v1_listener;

class WaylandOutput {
  public:
    // Told when the output's description is complete, and whenever it changes after that.
    class Watcher {
      public:
        virtual ~Watcher() = default;
        virtual void OutputChanged(WaylandOutput& output) = 0;
    };

    WaylandOutput(wl_registry* registry, std::uint32_t globalName, std::uint32_t version,
                  Watcher& watcher);
    ~WaylandOutput();
    WaylandOutput(const WaylandOutput&) = delete;
    WaylandOutput& operator=(const WaylandOutput&) = delete;

    // Asks for the logical size and name (the manager may be bound after the output).
    void DescribeWith(zxdg_output_manager_v1* manager);
    // The compositor removed the output: lets go of it (the object stays for the surfaces that
    // were on it until they go).
    void Retire();

    std::uint32_t GlobalName() const { return m_globalName; }
    wl_output* Output() const { return m_output; }
    const std::string& Name() const { return m_name; }
    // Whether its size is known.
    bool Ready() const { return LogicalWidth() > 0 && LogicalHeight() > 0; }
    int LogicalX() const { return m_logicalX; }
    int LogicalY() const { return m_logicalY; }
    int LogicalWidth() const;
    int LogicalHeight() const;
    // The integer scale it asks for (1 when it says nothing).
    int IntegerScale() const { return m_scale; }
    // A fractional scale in 120ths learned from a surface on it, 0 while none is known.
    int Scale120() const { return m_scale120; }
    void SetScale120(int scale120);
    // A length in logical pixels as buffer pixels at the output's density (a fractional scale
    // rounds to the nearest pixel, as the compositor expects the buffer's size).
    int PixelsFor(int logical) const;
    // A logical length at a fractional scale (in 120ths), rounded to the nearest pixel.
    static int AtScale120(int logical, int scale120);
    int PixelWidth() const { return PixelsFor(LogicalWidth()); }
    int PixelHeight() const { return PixelsFor(LogicalHeight()); }

  private:
    friend struct WaylandOutputEvents;
    void Apply();
    static const wl_output_listener kOutputListener;
    static const zxdg_output_v1_listener kXdgOutputListener;

    Watcher& m_watcher;
    std::uint32_t m_globalName;
    wl_output* m_output = nullptr;
    zxdg_output_v1* m_xdgOutput = nullptr;
    std::string m_name;
    int m_modeWidth = 0;
    int m_modeHeight = 0;
    bool m_rotated = false;
    int m_scale = 1;
    int m_scale120 = 0;
    int m_logicalX = 0;
    int m_logicalY = 0;
    int m_xdgWidth = 0;
    int m_xdgHeight = 0;
    // What was reported last: a change is reported once the description is complete again.
    struct Reported {
        int width = 0, height = 0, scale = 0, scale120 = 0;
        bool operator==(const Reported&) const = default;
    } m_reported;
};
