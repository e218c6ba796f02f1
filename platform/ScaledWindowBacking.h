// SPDX-License-Identifier: MIT
#pragma once
// A window shown at a whole-number scale: the scene draws into pixels of the composed size, and
// every rectangle presented is copied onto the device (the window's own backing) with each
// pixel repeated as a scale x scale block. Crisp, no blur; the composed picture keeps every
// figure of the scene, only what reaches the screen is larger.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/WindowBacking.h"

class ScaledWindowBacking : public WindowBacking {
  public:
    // device: the window's own backing, of the window's size; scale 1 to 4. The composed size
    // is the device's divided by the scale, rounded up.
    ScaledWindowBacking(std::shared_ptr<WindowBacking> device, int scale);

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    std::uint32_t* Pixels() override { return m_pixels.data(); }
    int Stride() const override { return m_width; }
    // Copies the rectangle, scaled, onto the device and presents it there.
    void Present(int x, int y, int w, int h) override;
    void Flush() override { m_device->Flush(); }

    // Copies straight from a memory surface go to the device, scaled there (see WindowBacking.h);
    // the composed pixels take them only when they are retained.
    void PrepareWrite(int x, int y, int w, int h, bool readsDestination) override;
    bool DefersPushes() const override { return m_device->DefersPushes(); }
    bool DeferPush(const PushSource& source, int scale, int x, int y, int w, int h) override;
    void Settle() override { m_device->Settle(); }
    bool Shows(const std::uint32_t* pixels) const override;
    void Retain() override;

    int Scale() const { return m_scale; }
    WindowBacking& Device() { return *m_device; }

  private:
    std::shared_ptr<WindowBacking> m_device;
    int m_scale;
    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
    // The memory surface the window shows, while it shows one.
    PushSource m_source;
    bool m_showing = false;
};
