#pragma once
// The retained pixels of an X window, which are also the image pushed to it.
//
// Our own windows get an MIT-SHM image where the server offers it (XPutImage of a plain image
// otherwise); a window that is not ours (a host's preview window) always gets a plain image.
// Only 32-bit-per-pixel TrueColor visuals of depth 24 with masks ff0000/ff00/ff are taken, so the
// pixels need no conversion on the way. The backing must be destroyed before its display is
// closed.

#include <memory>

#include "platform/winapi/WindowBacking.h"

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

    ~X11WindowBacking() override;
    X11WindowBacking(const X11WindowBacking&) = delete;
    X11WindowBacking& operator=(const X11WindowBacking&) = delete;

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    std::uint32_t* Pixels() override { return m_pixels; }
    int Stride() const override { return m_stride; }

    // With MIT-SHM, waits for the server (XSync) when pushes sent before the last Flush may
    // still be reading the image: once a frame, at its first write. For a window that is not
    // ours, a raster operation that reads the destination first fetches the rectangle's pixels.
    void PrepareWrite(int x, int y, int w, int h, bool readsDestination) override;
    // One X request for the rectangle (clipped to the image).
    void Present(int x, int y, int w, int h) override;
    // XFlush; it also ends the frame for the wait above.
    void Flush() override;

    // Pushes a rectangle of the retained pixels again (after an expose).
    void Repaint(int x, int y, int w, int h);

    bool UsesShm() const { return m_shm; }
    Window XWindow() const { return m_window; }

  private:
    X11WindowBacking(Display* display, Window window);
    struct ShmSegment;
    struct Access;
    // Clips a rectangle to the image; false when nothing is left.
    bool ClipToImage(int& x, int& y, int& w, int& h) const;
    void Push(int x, int y, int w, int h);

    Display* m_display;
    Window m_window;
    bool m_foreign = false;
    GC m_gc = nullptr;
    _XImage* m_image = nullptr;
    bool m_shm = false;
    std::unique_ptr<ShmSegment> m_segment;
    std::uint32_t* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    // SHM pushes the server may not have read yet, and whether a flush ended a frame since.
    long m_pendingPushes = 0;
    bool m_flushedSincePush = false;
};
