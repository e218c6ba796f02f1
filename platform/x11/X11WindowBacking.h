// SPDX-License-Identifier: MIT
#pragma once
// The retained pixels of an X window, and the pushes that bring changed rectangles to it.
//
// Our own windows push through MIT-SHM where the server offers it (XPutImage of a plain image
// otherwise); a window that is not ours (a host's preview window) always gets a plain image.
// With MIT-SHM the retained pixels are private memory, and a push copies its rectangle, rows
// packed, into a small shared upload area that is filled front to back: a frame's few hundred
// small rectangles land close together, the server reads only what was pushed, and drawing never
// waits for the server except when the area is used up and starts again from the front.
// Only 32-bit-per-pixel TrueColor visuals of depth 24 with masks ff0000/ff00/ff are taken, so the
// pixels need no conversion on the way. The backing must be destroyed before its display is
// closed.
//
// Our own windows also take copies straight from a memory surface (the stage, see
// WindowBacking.h): each is recorded, and the flush copies the surface's rows straight into the
// upload area (each pixel doubled on the way where the window shows the picture at scale 2), or,
// on the plain path, puts them from the surface itself (through the retained pixels at a scale).
// The retained pixels are then not written at all, and cost no memory until they are needed.

#include <cstddef>
#include <memory>

#include "platform/Rect.h"
#include "platform/WindowBacking.h"

// The Xlib types, declared as Xlib does, so that this header brings in none of its macros.
typedef struct _XDisplay Display;
typedef unsigned long XID;
typedef XID Window;
typedef struct _XGC* GC;
struct _XImage;

class X11WindowBacking : public WindowBacking {
  public:
    // A backing of width x height for one of our windows; null when the window's visual does not
    // fit or the image cannot be made.
    static std::shared_ptr<X11WindowBacking> Create(Display* display, Window window, int width,
                                                    int height);
    // A backing for a window that is not ours, of its current size; null for a bad window id, an
    // unfit visual or any X error on the way (never a crash).
    static std::shared_ptr<X11WindowBacking> OpenForeign(Display* display, Window window);

    // Whether Create tries MIT-SHM (on unless turned off, e.g. to test the plain path).
    static void SetUseShm(bool use);
    // The size of the shared upload area of backings created from now on (at least one row of
    // the window is always taken); tests make it small to wrap it and split pushes.
    static void SetUploadBytes(std::size_t bytes);
    static constexpr std::size_t kDefaultUploadBytes = std::size_t{1} << 20;

    ~X11WindowBacking() override;
    X11WindowBacking(const X11WindowBacking&) = delete;
    X11WindowBacking& operator=(const X11WindowBacking&) = delete;

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    std::uint32_t* Pixels() override { return m_pixels; }
    int Stride() const override { return m_stride; }

    // For a window that is not ours, a raster operation that reads the destination first
    // fetches the rectangle's pixels.
    void PrepareWrite(int x, int y, int w, int h, bool readsDestination) override;
    // One X request for the rectangle (clipped to the image); with MIT-SHM, one per part that
    // fits the upload area.
    void Present(int x, int y, int w, int h) override;
    void Flush() override;

    bool DefersPushes() const override { return !m_foreign; }
    bool DeferPush(const PushSource& source, int scale, int x, int y, int w, int h) override;
    void Settle() override;
    bool Shows(const std::uint32_t* pixels) const override;
    void Retain() override;

    // Paints the whole window black, as its fresh pixels are, without reading them.
    void ShowBlack();
    // Pushes a rectangle of what the window shows again (after an expose): from the memory
    // surface it shows, or from the retained pixels.
    void Repaint(int x, int y, int w, int h);
    // Most copies recorded before the backing reads them without waiting for the flush.
    static constexpr int kMostDeferred = 2048;

    bool UsesShm() const { return m_shm; }
    Window XWindow() const { return m_window; }

  private:
    X11WindowBacking(Display* display, Window window);
    struct ShmSegment;
    struct Access;
    void Push(int x, int y, int w, int h);
    // Fills one row of the window, w pixels from x, at a destination.
    using RowFill = void (*)(const X11WindowBacking& self, int x, int y, int w, std::uint32_t* out);
    void PushShared(int x, int y, int w, int h, RowFill fill);
    static void RetainedRow(const X11WindowBacking& self, int x, int y, int w, std::uint32_t* out);
    static void SourceRow(const X11WindowBacking& self, int x, int y, int w, std::uint32_t* out);
    // Pushes a rectangle of the window (clipped to it) from the memory surface it shows.
    void PushFromSource(int x, int y, int w, int h);
    // The source rectangle's place on the window, clipped to it.
    Rect OnWindow(const Rect& source) const;

    Display* m_display;
    Window m_window;
    bool m_foreign = false;
    GC m_gc = nullptr;
    _XImage* m_image = nullptr;
    bool m_shm = false;
    std::unique_ptr<ShmSegment> m_segment;
    std::uint32_t* m_pixels = nullptr;
    std::size_t m_ownPixelBytes = 0;  // with MIT-SHM: the retained pixels are ours to free
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    // With MIT-SHM: the upload area's size, and how much of it pushes have taken since the
    // server last caught up.
    std::size_t m_uploadBytes = 0;
    std::size_t m_uploadUsed = 0;
    // The memory surface the window shows, while it shows one, at its scale; the copies from it
    // not read yet (in its pixels); for the plain path, an image of its pixels.
    PushSource m_source;
    int m_sourceScale = 1;
    bool m_showing = false;
    Rect m_deferred[kMostDeferred];
    int m_deferredCount = 0;
    _XImage* m_sourceImage = nullptr;
    void* m_visual = nullptr;  // the window's Visual
};
