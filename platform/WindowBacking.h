// SPDX-License-Identifier: MIT
#pragma once
// The retained pixels of a window, and how they reach the screen.
//
// A window DC (see gdi.h) draws into the backing's pixels and then asks it to present the
// changed rectangle. A headless backing only keeps the pixels; an X11 backing is also the
// image that is pushed to the X window (MIT-SHM where available).
//
// Pushes straight from a memory surface. A backing may take a plain copy from a memory DC's
// pixels (the stage) without copying them into its own: it records the rectangle and reads the
// source when the frame is flushed. It takes such copies only while the window shows nothing
// but that source, each pixel in its own place (a copy of the whole window from the source
// begins that); the window then repaints from the source after an expose. The drawing calls
// keep their meaning: before anything writes to the source, they have the backing settle (read
// what it recorded); before anything writes to or reads the window's own pixels, or the source
// goes away, they have it retain (its pixels take what the window shows, and it stops reading
// the source).

#include <cstddef>
#include <cstdint>

class WindowBacking {
  public:
    // The pixels of a memory surface: rows of stride pixels, 0x00RRGGBB, width x height.
    struct PushSource {
        const std::uint32_t* pixels = nullptr;
        std::ptrdiff_t stride = 0;
        int width = 0;
        int height = 0;
    };

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

    // Whether the backing may take copies straight from a memory surface (see above).
    virtual bool DefersPushes() const { return false; }
    // A copy of the source's rectangle (clipped to the source and to the window) to the same
    // place on the window, where each source pixel shows as a scale x scale block; recorded, the
    // source is read at the next Flush or Settle. False when the backing does not take it: the
    // caller copies into Pixels() and presents as always.
    virtual bool DeferPush(const PushSource& source, int scale, int x, int y, int w, int h) {
        (void)source, (void)scale, (void)x, (void)y, (void)w, (void)h;
        return false;
    }
    // Reads the sources of the copies recorded so far now: the source is about to change.
    virtual void Settle() {}
    // Whether the window shows the memory surface of these pixels (see above).
    virtual bool Shows(const std::uint32_t* pixels) const {
        (void)pixels;
        return false;
    }
    // Makes Pixels() hold what the window shows and stops reading the source.
    virtual void Retain() {}
};
