// SPDX-License-Identifier: MIT
#include "platform/x11/X11WindowBacking.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/Rect.h"
#include "platform/winapi/PixelAllocator.h"

namespace {

bool g_useShm = true;
std::size_t g_uploadBytes = X11WindowBacking::kDefaultUploadBytes;

int g_trappedErrors = 0;

int CountError(Display*, XErrorEvent*) {
    ++g_trappedErrors;
    return 0;
}

// Catches the X errors of the requests made while it lives, in place of the installed handler.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display) : m_display(display) {
        XSync(m_display, False);  // earlier errors still go to the handler they belong to
        m_errorsBefore = g_trappedErrors;
        m_previous = XSetErrorHandler(CountError);
    }
    ~ErrorTrap() {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits for the answers to everything sent so far; true when any of them was an error.
    bool Failed() {
        XSync(m_display, False);
        return g_trappedErrors != m_errorsBefore;
    }

  private:
    Display* m_display;
    int m_errorsBefore = 0;
    int (*m_previous)(Display*, XErrorEvent*) = nullptr;
};

int HostByteOrder() {
    const std::uint32_t one = 1;
    return *reinterpret_cast<const unsigned char*>(&one) == 1 ? LSBFirst : MSBFirst;
}

// The attributes of a window whose pixels we can use as they are, or false.
bool FitWindow(Display* display, Window window, XWindowAttributes& attributes) {
    Status status;
    {
        ErrorTrap trap(display);
        status = XGetWindowAttributes(display, window, &attributes);
        if (trap.Failed())
            return false;
    }
    if (status == 0 || attributes.depth != 24 || attributes.visual == nullptr)
        return false;
    const Visual* visual = attributes.visual;
    if (visual->c_class != TrueColor || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF) {
        return false;
    }
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    bool thirtyTwoBits = false;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == 24)
            thirtyTwoBits = formats[i].bits_per_pixel == 32;
    }
    if (formats != nullptr)
        XFree(formats);
    return thirtyTwoBits;
}

}  // namespace

struct X11WindowBacking::ShmSegment {
    XShmSegmentInfo info{};
};

// The image making, with access to the backing's members.
struct X11WindowBacking::Access {
    static bool MakeShmImage(X11WindowBacking& b, Visual* visual, int width, int height) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
        const std::size_t pixelBytes = rowBytes * static_cast<std::size_t>(height);
        const std::size_t uploadBytes = std::max(g_uploadBytes, rowBytes);
        auto segment = std::make_unique<ShmSegment>();
        segment->info.shmid = -1;
        // One row of the window's width: a push sets the header's size to its rectangle's.
        XImage* image = XShmCreateImage(b.m_display, visual, 24, ZPixmap, nullptr, &segment->info,
                                        static_cast<unsigned>(width), 1);
        if (image == nullptr)
            return false;
        if (image->bits_per_pixel != 32 || image->bytes_per_line != static_cast<int>(rowBytes)) {
            XDestroyImage(image);
            return false;
        }
        auto* pixels = static_cast<std::uint32_t*>(pixel_memory::Allocate(pixelBytes));
        if (pixels == nullptr) {
            XDestroyImage(image);
            return false;
        }
        segment->info.shmid = shmget(IPC_PRIVATE, uploadBytes, IPC_CREAT | 0600);
        void* address = reinterpret_cast<void*>(-1);
        if (segment->info.shmid >= 0)
            address = shmat(segment->info.shmid, nullptr, 0);
        if (address == reinterpret_cast<void*>(-1)) {
            if (segment->info.shmid >= 0)
                shmctl(segment->info.shmid, IPC_RMID, nullptr);
            pixel_memory::Free(pixels, pixelBytes);
            XDestroyImage(image);
            return false;
        }
        segment->info.shmaddr = image->data = static_cast<char*>(address);
        segment->info.readOnly = True;
        bool attached;
        {
            ErrorTrap trap(b.m_display);
            attached = XShmAttach(b.m_display, &segment->info) != 0;
            if (trap.Failed())
                attached = false;
        }
        // The segment goes away once both sides have detached.
        shmctl(segment->info.shmid, IPC_RMID, nullptr);
        if (!attached) {
            shmdt(address);
            pixel_memory::Free(pixels, pixelBytes);
            image->data = nullptr;
            XDestroyImage(image);
            return false;
        }
        b.m_image = image;
        b.m_segment = std::move(segment);
        b.m_shm = true;
        b.m_pixels = pixels;
        b.m_ownPixelBytes = pixelBytes;
        b.m_stride = width;
        b.m_uploadBytes = uploadBytes;
        b.m_visual = visual;
        return true;
    }

    static bool MakePlainImage(X11WindowBacking& b, Visual* visual, int width, int height) {
        XImage* image =
            XCreateImage(b.m_display, visual, 24, ZPixmap, 0, nullptr, static_cast<unsigned>(width),
                         static_cast<unsigned>(height), 32, 0);
        if (image == nullptr)
            return false;
        // Our pixels are words in the host's order; Xlib converts if the server wants another.
        image->byte_order = HostByteOrder();
        if (image->bits_per_pixel != 32 || image->bytes_per_line % 4 != 0 || !XInitImage(image)) {
            XDestroyImage(image);
            return false;
        }
        image->data = static_cast<char*>(
            std::calloc(static_cast<std::size_t>(image->bytes_per_line) * height, 1));
        if (image->data == nullptr) {
            XDestroyImage(image);
            return false;
        }
        b.m_image = image;
        b.m_shm = false;
        b.m_pixels = reinterpret_cast<std::uint32_t*>(image->data);
        b.m_stride = image->bytes_per_line / 4;
        b.m_visual = visual;
        return true;
    }

    static bool Finish(X11WindowBacking& b, int width, int height) {
        {
            ErrorTrap trap(b.m_display);
            b.m_gc = XCreateGC(b.m_display, b.m_window, 0, nullptr);
            if (trap.Failed())
                return false;
        }
        if (b.m_gc == nullptr)
            return false;
        b.m_width = width;
        b.m_height = height;
        return true;
    }
};

X11WindowBacking::X11WindowBacking(Display* display, Window window)
    : m_display(display), m_window(window) {}

void X11WindowBacking::SetUseShm(bool use) {
    g_useShm = use;
}

void X11WindowBacking::SetUploadBytes(std::size_t bytes) {
    g_uploadBytes = bytes;
}

std::shared_ptr<X11WindowBacking> X11WindowBacking::Create(Display* display, Window window,
                                                           int width, int height) {
    if (display == nullptr || width <= 0 || height <= 0)
        return nullptr;
    XWindowAttributes attributes;
    if (!FitWindow(display, window, attributes))
        return nullptr;
    std::shared_ptr<X11WindowBacking> backing(new X11WindowBacking(display, window));
    const bool shm =
        g_useShm && XShmQueryExtension(display) && ImageByteOrder(display) == HostByteOrder();
    if (!(shm && Access::MakeShmImage(*backing, attributes.visual, width, height)) &&
        !Access::MakePlainImage(*backing, attributes.visual, width, height)) {
        return nullptr;
    }
    if (!Access::Finish(*backing, width, height))
        return nullptr;
    return backing;
}

std::shared_ptr<X11WindowBacking> X11WindowBacking::OpenForeign(Display* display, Window window) {
    if (display == nullptr || window == 0)
        return nullptr;
    XWindowAttributes attributes;
    if (!FitWindow(display, window, attributes))
        return nullptr;
    if (attributes.width <= 0 || attributes.height <= 0)
        return nullptr;
    std::shared_ptr<X11WindowBacking> backing(new X11WindowBacking(display, window));
    backing->m_foreign = true;
    if (!Access::MakePlainImage(*backing, attributes.visual, attributes.width, attributes.height) ||
        !Access::Finish(*backing, attributes.width, attributes.height)) {
        return nullptr;
    }
    return backing;
}

X11WindowBacking::~X11WindowBacking() {
    if (m_sourceImage != nullptr) {
        m_sourceImage->data = nullptr;  // the memory surface's pixels are not ours
        XDestroyImage(m_sourceImage);
    }
    if (m_image != nullptr) {
        if (m_shm) {
            XShmDetach(m_display, &m_segment->info);
            XSync(m_display, False);
            m_image->data = nullptr;
            XDestroyImage(m_image);
            shmdt(m_segment->info.shmaddr);
            pixel_memory::Free(m_pixels, m_ownPixelBytes);
        } else {
            XDestroyImage(m_image);  // frees the pixels too
        }
    }
    if (m_gc != nullptr)
        XFreeGC(m_display, m_gc);
}

void X11WindowBacking::PrepareWrite(int x, int y, int w, int h, bool readsDestination) {
    Retain();
    if (!m_foreign || !readsDestination)
        return;
    const Rect area = Rect{x, y, w, h}.ClipTo(m_width, m_height);
    if (area.Empty())
        return;
    // A window that is not ours shows what its owner drew: fetch it before combining with it.
    {
        ErrorTrap trap(m_display);
        XGetSubImage(m_display, m_window, area.x, area.y, static_cast<unsigned>(area.width),
                     static_cast<unsigned>(area.height), AllPlanes, ZPixmap, m_image, area.x,
                     area.y);
        trap.Failed();
    }
    for (int row = area.y; row < area.y + area.height; ++row) {
        std::uint32_t* line = m_pixels + static_cast<std::size_t>(row) * m_stride;
        for (int i = area.x; i < area.x + area.width; ++i)
            line[i] &= 0x00FFFFFF;
    }
}

void X11WindowBacking::Push(int x, int y, int w, int h) {
    if (m_shm) {
        PushShared(x, y, w, h, &X11WindowBacking::RetainedRow);
    } else if (m_foreign) {
        // The owner may have destroyed its window meanwhile: an error here is no crash.
        ErrorTrap trap(m_display);
        XPutImage(m_display, m_window, m_gc, m_image, x, y, x, y, static_cast<unsigned>(w),
                  static_cast<unsigned>(h));
    } else {
        XPutImage(m_display, m_window, m_gc, m_image, x, y, x, y, static_cast<unsigned>(w),
                  static_cast<unsigned>(h));
    }
}

void X11WindowBacking::RetainedRow(const X11WindowBacking& self, int x, int y, int w,
                                   std::uint32_t* out) {
    std::memcpy(out, self.m_pixels + static_cast<std::size_t>(y) * self.m_stride + x,
                static_cast<std::size_t>(w) * sizeof(std::uint32_t));
}

void X11WindowBacking::SourceRow(const X11WindowBacking& self, int x, int y, int w,
                                 std::uint32_t* out) {
    const int scale = self.m_sourceScale;
    const std::uint32_t* in =
        self.m_source.pixels + static_cast<std::ptrdiff_t>(y / scale) * self.m_source.stride;
    if (scale == 1) {
        std::memcpy(out, in + x, static_cast<std::size_t>(w) * sizeof(std::uint32_t));
        return;
    }
    // Each source pixel as scale pixels of the row; the row may begin and end inside a block.
    int column = x;
    const int end = x + w;
    while (column < end) {
        const std::uint32_t colour = in[column / scale];
        const int blockEnd = std::min(end, (column / scale + 1) * scale);
        for (; column < blockEnd; ++column)
            *out++ = colour;
    }
}

void X11WindowBacking::PushShared(int x, int y, int w, int h, RowFill fill) {
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    if (rowBytes > m_uploadBytes)
        return;  // never: the area holds a row of the whole window
    int row = y;
    while (row < y + h) {
        const std::size_t fits = (m_uploadBytes - m_uploadUsed) / rowBytes;
        if (fits == 0) {
            // Used up: once the server has read every push, the area starts again at the front.
            XSync(m_display, False);
            m_uploadUsed = 0;
            continue;
        }
        const int rows = static_cast<int>(std::min<std::size_t>(fits, y + h - row));
        char* at = m_segment->info.shmaddr + m_uploadUsed;
        for (int i = 0; i < rows; ++i) {
            auto* out = reinterpret_cast<std::uint32_t*>(at + i * rowBytes);
            // A row of a scaled block that is like the one above it is copied from there.
            if (fill == &X11WindowBacking::SourceRow && i > 0 && m_sourceScale > 1 &&
                (row + i) % m_sourceScale != 0) {
                std::memcpy(out, at + (i - 1) * rowBytes, rowBytes);
            } else {
                fill(*this, x, row + i, w, out);
            }
        }
        m_image->data = at;
        m_image->width = w;
        m_image->height = rows;
        m_image->bytes_per_line = static_cast<int>(rowBytes);
        XShmPutImage(m_display, m_window, m_gc, m_image, 0, 0, x, row, static_cast<unsigned>(w),
                     static_cast<unsigned>(rows), False);
        m_uploadUsed += static_cast<std::size_t>(rows) * rowBytes;
        row += rows;
    }
}

Rect X11WindowBacking::OnWindow(const Rect& source) const {
    const std::int64_t s = m_sourceScale;
    return Rect::FromEdges(source.Left() * s, source.Top() * s, source.Right() * s,
                           source.Bottom() * s)
        .ClipTo(m_width, m_height);
}

void X11WindowBacking::PushFromSource(int x, int y, int w, int h) {
    const Rect area = Rect{x, y, w, h}.ClipTo(m_width, m_height);
    if (area.Empty())
        return;
    if (m_shm) {
        PushShared(area.x, area.y, area.width, area.height, &X11WindowBacking::SourceRow);
    } else if (m_sourceScale == 1) {
        // The surface's own pixels are the image.
        XPutImage(m_display, m_window, m_gc, m_sourceImage, area.x, area.y, area.x, area.y,
                  static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
    } else {
        for (int row = area.y; row < area.y + area.height; ++row) {
            SourceRow(*this, area.x, row, area.width,
                      m_pixels + static_cast<std::size_t>(row) * m_stride + area.x);
        }
        XPutImage(m_display, m_window, m_gc, m_image, area.x, area.y, area.x, area.y,
                  static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
    }
}

bool X11WindowBacking::DeferPush(const PushSource& source, int scale, int x, int y, int w, int h) {
    if (m_foreign || source.pixels == nullptr || scale < 1)
        return false;
    const Rect rect{x, y, w, h};
    const bool same = m_showing && source.pixels == m_source.pixels &&
                      source.stride == m_source.stride && source.width == m_source.width &&
                      source.height == m_source.height && scale == m_sourceScale;
    if (!same) {
        // Only a copy that covers the whole window makes it show the surface.
        const std::int64_t s = scale;
        const bool whole = rect.Left() * s <= 0 && rect.Top() * s <= 0 &&
                           rect.Right() * s >= m_width && rect.Bottom() * s >= m_height;
        if (!whole)
            return false;
        if (!m_shm && scale == 1) {
            XImage* image = XCreateImage(
                m_display, static_cast<Visual*>(m_visual), 24, ZPixmap, 0,
                const_cast<char*>(reinterpret_cast<const char*>(source.pixels)),
                static_cast<unsigned>(source.width), static_cast<unsigned>(source.height), 32,
                static_cast<int>(source.stride * 4));
            if (image == nullptr)
                return false;
            image->byte_order = HostByteOrder();
            if (image->bits_per_pixel != 32 || !XInitImage(image)) {
                image->data = nullptr;
                XDestroyImage(image);
                return false;
            }
            Settle();
            if (m_sourceImage != nullptr) {
                m_sourceImage->data = nullptr;
                XDestroyImage(m_sourceImage);
            }
            m_sourceImage = image;
        } else {
            Settle();
        }
        m_source = source;
        m_sourceScale = scale;
        m_showing = true;
    }
    if (m_deferredCount == kMostDeferred)
        Settle();
    m_deferred[m_deferredCount++] = rect;
    return true;
}

void X11WindowBacking::Settle() {
    for (int i = 0; i < m_deferredCount; ++i) {
        const Rect area = OnWindow(m_deferred[i]);
        PushFromSource(area.x, area.y, area.width, area.height);
    }
    m_deferredCount = 0;
}

bool X11WindowBacking::Shows(const std::uint32_t* pixels) const {
    return m_showing && m_source.pixels == pixels;
}

void X11WindowBacking::Retain() {
    if (!m_showing)
        return;
    Settle();
    m_showing = false;
    const Rect area = OnWindow(Rect::OfSize(m_source.width, m_source.height));
    for (int row = area.y; row < area.y + area.height; ++row) {
        SourceRow(*this, area.x, row, area.width,
                  m_pixels + static_cast<std::size_t>(row) * m_stride + area.x);
    }
}

void X11WindowBacking::Present(int x, int y, int w, int h) {
    const Rect area = Rect{x, y, w, h}.ClipTo(m_width, m_height);
    if (!area.Empty())
        Push(area.x, area.y, area.width, area.height);
}

void X11WindowBacking::Flush() {
    Settle();
    XFlush(m_display);
}

void X11WindowBacking::ShowBlack() {
    XSetForeground(m_display, m_gc, 0);
    XFillRectangle(m_display, m_window, m_gc, 0, 0, static_cast<unsigned>(m_width),
                   static_cast<unsigned>(m_height));
}

void X11WindowBacking::Repaint(int x, int y, int w, int h) {
    if (m_showing) {
        PushFromSource(x, y, w, h);
    } else {
        Present(x, y, w, h);
    }
    XFlush(m_display);
}
