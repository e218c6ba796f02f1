#pragma once
// The retained pixels of a window, and how they reach the screen.
//
// A window DC (see gdi.h) draws into the backing's pixels and then asks it to present the
// changed rectangle. A headless backing only keeps the pixels; an X11 backing is also the
// image that is pushed to the X window (MIT-SHM where available).

#include <cstdint>

class WindowBacking {
  public:
    virtual ~WindowBacking() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Rows of Stride() pixels, 0x00RRGGBB, Height() rows.
    virtual std::uint32_t* Pixels() = 0;
    virtual int Stride() const = 0;

    // Called before the pixels of a rectangle (already clipped to the window) change.
    // readsDestination: the raster operation combines with what the window shows.
    virtual void PrepareWrite(int x, int y, int w, int h, bool readsDestination) {
        (void)x, (void)y, (void)w, (void)h, (void)readsDestination;
    }
    // Pushes a rectangle (already clipped to the window) to the screen.
    virtual void Present(int x, int y, int w, int h) = 0;
    // Sends what was presented on its way (one flush per frame is enough).
    virtual void Flush() {}
};
