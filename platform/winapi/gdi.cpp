// SPDX-License-Identifier: MIT
// The drawing operations of gdi.h: handle tables, memory DCs, bitmaps in two formats, block
// transfers with raster operations, bitmap files and window DCs.
//
// Handles. Every handle is tag | generation << 16 | index. The tag tells the kind (DC 0x10000000,
// bitmap 0x20000000, window 0x40000000: bit 30 keeps our windows apart from X window ids, which
// are below 2^29). The index picks a slot of the kind's table, the generation (1..4095) must
// match the slot's, so a stale handle finds nothing. Freed slots wait in a FIFO list and are
// reused only once 256 of them wait, so a handle value comes back only after about a million
// creations. Index 0 of each table is reserved: the desktop DC and the stock 1 x 1 monochrome
// bitmap live there with generation 0, and the desktop window is the bare window tag.
//
// Pixels. The screen format is one 32-bit word per pixel, 0x00RRGGBB, top byte always 0. A
// monochrome pixel is one byte, 0x00 or 0xFF, so that a mask expands branch-free to a 0 or ~0
// word when it meets a colour surface. A block transfer clips once, picks one of a table of
// kernels (raster operation x destination format x source format) and runs it row by row.

#include "platform/gdi.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <deque>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/HostServices.h"
#include "platform/Rect.h"
#include "platform/WindowBacking.h"
#include "platform/winapi/BitmapFile.h"

namespace {

// --- Handles ------------------------------------------------------------------------------------

constexpr std::uint32_t kTagMask = 0x70000000;
constexpr std::uint32_t kDcTag = 0x10000000;
constexpr std::uint32_t kBitmapTag = 0x20000000;
constexpr std::uint32_t kWindowTag = 0x40000000;
constexpr std::uint32_t kIndexMask = 0xFFFF;
constexpr std::uint32_t kGenerationShift = 16;
constexpr std::uint32_t kGenerationMask = 0xFFF;
constexpr std::size_t kSlotLimit = kIndexMask + 1;
constexpr std::size_t kMinFreeBeforeReuse = 256;

template <typename T>
class HandleTable {
  public:
    explicit HandleTable(std::uint32_t tag) : m_tag(tag) {
        m_slots.reserve(64);
        m_slots.emplace_back();  // index 0: reserved
    }

    // The reserved slot 0 (generation 0) holds a permanent object.
    std::int32_t SetStock(T value) {
        m_slots[0].value = std::move(value);
        m_slots[0].used = true;
        m_slots[0].generation = 0;
        return static_cast<std::int32_t>(m_tag);
    }

    // The handle of a new object, or 0 when the table is full.
    std::int32_t Add(T value) {
        std::uint32_t index;
        if (m_free.size() >= kMinFreeBeforeReuse ||
            (m_slots.size() >= kSlotLimit && !m_free.empty())) {
            index = m_free.front();
            m_free.pop_front();
        } else if (m_slots.size() < kSlotLimit) {
            index = static_cast<std::uint32_t>(m_slots.size());
            m_slots.emplace_back();
        } else {
            return 0;
        }
        Slot& slot = m_slots[index];
        slot.value = std::move(value);
        slot.used = true;
        ++m_live;
        return static_cast<std::int32_t>(m_tag | (slot.generation << kGenerationShift) | index);
    }

    T* Find(std::int32_t handle) {
        const auto bits = static_cast<std::uint32_t>(handle);
        if ((bits & ~(kTagMask | (kGenerationMask << kGenerationShift) | kIndexMask)) != 0 ||
            (bits & kTagMask) != m_tag) {
            return nullptr;
        }
        const std::uint32_t index = bits & kIndexMask;
        if (index >= m_slots.size())
            return nullptr;
        Slot& slot = m_slots[index];
        if (!slot.used || slot.generation != ((bits >> kGenerationShift) & kGenerationMask)) {
            return nullptr;
        }
        return &slot.value;
    }

    // Frees the object of a handle that Find accepted (never the stock slot).
    void Remove(std::int32_t handle) {
        const std::uint32_t index = static_cast<std::uint32_t>(handle) & kIndexMask;
        if (index == 0 || index >= m_slots.size() || !m_slots[index].used)
            return;
        Slot& slot = m_slots[index];
        slot.value = T{};
        slot.used = false;
        slot.generation = slot.generation % kGenerationMask + 1;
        m_free.push_back(index);
        --m_live;
    }

    int Live() const { return m_live; }

    // Calls f(handle, value) for every object but the stock one.
    template <typename F>
    void ForEach(F&& f) {
        for (std::size_t i = 1; i < m_slots.size(); ++i) {
            if (!m_slots[i].used)
                continue;
            f(static_cast<std::int32_t>(m_tag | (m_slots[i].generation << kGenerationShift) |
                                        static_cast<std::uint32_t>(i)),
              m_slots[i].value);
        }
    }

  private:
    struct Slot {
        T value{};
        std::uint32_t generation = 1;
        bool used = false;
    };
    std::uint32_t m_tag;
    std::vector<Slot> m_slots;
    std::deque<std::uint32_t> m_free;
    int m_live = 0;
};

// --- Objects ------------------------------------------------------------------------------------

constexpr int kMaxSide = 32767;
constexpr std::size_t kMaxBitmapBytes = std::size_t{256} << 20;
constexpr std::uint32_t kWhitePixel = 0x00FFFFFF;
constexpr std::uint8_t kMonoOne = 0xFF;

struct Bitmap {
    int width = 0;
    int height = 0;
    bool mono = false;
    bool stock = false;
    std::vector<std::uint32_t, PixelAllocator<std::uint32_t>> colour;  // screen format
    std::vector<std::uint8_t, PixelAllocator<std::uint8_t>> bits;      // monochrome, 0x00 or 0xFF
    HDC selectedInto = 0;  // the memory DC that holds it (not for the stock one)
};

enum class DcKind : std::uint8_t { Memory, Window, Foreign, Desktop };

struct DeviceContext {
    DcKind kind = DcKind::Memory;
    HBITMAP bitmap = 0;                      // memory DC: the bitmap selected into it
    HWND window = 0;                         // window DC: its window
    std::shared_ptr<WindowBacking> foreign;  // DC of a window that is not ours
    COLORREF background = RGB(255, 255, 255);
    COLORREF text = RGB(0, 0, 0);
    // Memory DC: the pixels of the selected bitmap, kept here by SelectObject so that a transfer
    // finds them without a second look-up (null for the stock bitmap, which is no surface). A
    // bitmap keeps its pixels where they are for its whole life, and cannot be deleted while it
    // is selected.
    void* pixels = nullptr;
    int width = 0;
    int height = 0;
    bool mono = false;
};

struct WindowEntry {
    std::shared_ptr<WindowBacking> backing;
};

// A window whose backing shows a memory surface straight (see WindowBacking.h), and whether it
// has copies of it recorded that it has not read yet.
struct Viewer {
    std::weak_ptr<WindowBacking> backing;
    const WindowBacking* key = nullptr;
    const void* pixels = nullptr;
    bool pending = false;
};

struct State {
    HandleTable<DeviceContext> dcs{kDcTag};
    HandleTable<Bitmap> bitmaps{kBitmapTag};
    HandleTable<WindowEntry> windows{kWindowTag};
    HDC desktopDc = 0;
    HBITMAP stockBitmap = 0;
    std::function<std::shared_ptr<WindowBacking>(HWND)> resolver;
    std::vector<std::uint32_t> scratch;  // a copy of the source when it overlaps the destination
    std::vector<Viewer> viewers;

    State() {
        viewers.reserve(16);
        Bitmap stock;
        stock.width = 1;
        stock.height = 1;
        stock.mono = true;
        stock.stock = true;
        stock.bits.assign(1, 0);
        stockBitmap = bitmaps.SetStock(std::move(stock));
        DeviceContext desktop;
        desktop.kind = DcKind::Desktop;
        desktopDc = dcs.SetStock(std::move(desktop));
    }
};

// Made on first use and never destroyed, so that objects freed during the program's exit still
// find their tables.
State& S() {
    static State* state = new State;
    return *state;
}

constexpr HWND kDesktopWindow = static_cast<HWND>(kWindowTag);

constexpr std::uint32_t ToPixel(COLORREF colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

constexpr COLORREF ToColorref(std::uint32_t pixel) {
    return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

// A new bitmap (out is fresh) for a width and height, all black, or false when the size is not
// allowed or memory runs out. The pixels are fresh zeroed memory, so nothing is written here.
bool MakeBitmap(int width, int height, bool mono, Bitmap& out) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (pixels * (mono ? 1 : 4) > kMaxBitmapBytes)
        return false;
    out.width = width;
    out.height = height;
    out.mono = mono;
    try {
        if (mono) {
            out.bits.resize(pixels);
        } else {
            out.colour.resize(pixels);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// --- Surfaces -----------------------------------------------------------------------------------

// The pixels a DC draws into, as the kernels see them.
struct Surface {
    void* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  // in pixels
    bool mono = false;
    WindowBacking* backing = nullptr;  // set for window DCs: prepare and present around writes
};

Rect Bounds(const Surface& surface) {
    return Rect::OfSize(surface.width, surface.height);
}

bool ResolveBacking(WindowBacking* backing, Surface& out) {
    if (backing == nullptr || backing->Pixels() == nullptr)
        return false;
    out.pixels = backing->Pixels();
    out.width = std::max(backing->Width(), 0);
    out.height = std::max(backing->Height(), 0);
    out.stride = backing->Stride();
    out.mono = false;
    out.backing = backing;
    return out.stride >= out.width;
}

bool Resolve(State& s, const DeviceContext& dc, Surface& out) {
    switch (dc.kind) {
        case DcKind::Memory: {
            // The shared stock bitmap is no drawing surface: a DC that holds only it (a fresh
            // one, or one whose bitmap failed to be made) neither gives nor takes pixels.
            if (dc.pixels == nullptr)
                return false;
            out.pixels = dc.pixels;
            out.width = dc.width;
            out.height = dc.height;
            out.stride = dc.width;
            out.mono = dc.mono;
            out.backing = nullptr;
            return true;
        }
        case DcKind::Window: {
            WindowEntry* window = s.windows.Find(dc.window);
            return window != nullptr && ResolveBacking(window->backing.get(), out);
        }
        case DcKind::Foreign:
            return ResolveBacking(dc.foreign.get(), out);
        case DcKind::Desktop:
            return false;
    }
    return false;
}

// --- Copies left to the flush --------------------------------------------------------------------

// Notes that a window's backing took a copy from a memory surface that it reads later.
void NoteViewer(State& s, const std::shared_ptr<WindowBacking>& backing, const void* pixels) {
    for (Viewer& viewer : s.viewers) {
        if (viewer.key == backing.get() && viewer.pixels == pixels && !viewer.backing.expired()) {
            viewer.pending = true;
            return;
        }
    }
    std::erase_if(s.viewers, [](const Viewer& viewer) { return viewer.backing.expired(); });
    s.viewers.push_back(Viewer{backing, backing.get(), pixels, true});
}

// Something is about to write to the memory surface of these pixels: the windows that still have
// copies of it to read read them now.
void SettleViewers(State& s, const void* pixels) {
    for (Viewer& viewer : s.viewers) {
        if (viewer.pending && viewer.pixels == pixels) {
            viewer.pending = false;
            if (const std::shared_ptr<WindowBacking> backing = viewer.backing.lock())
                backing->Settle();
        }
    }
}

// The memory surface of these pixels goes away: the windows that show it keep what they show.
void RetainViewers(State& s, const void* pixels) {
    for (Viewer& viewer : s.viewers) {
        if (viewer.pixels != pixels)
            continue;
        if (const std::shared_ptr<WindowBacking> backing = viewer.backing.lock()) {
            if (backing->Shows(static_cast<const std::uint32_t*>(pixels)))
                backing->Retain();
        }
        viewer.backing.reset();
    }
    std::erase_if(s.viewers, [](const Viewer& viewer) { return viewer.backing.expired(); });
}

// A window's own pixels are about to be read: they take what the window shows.
void RetainForReading(const Surface& surface) {
    if (surface.backing != nullptr && surface.backing->DefersPushes())
        surface.backing->Retain();
}

// --- Kernels ------------------------------------------------------------------------------------

enum class Op { Copy, Or, And, Xor };

template <Op op, typename T>
inline T Combine(T destination, T source) {
    if constexpr (op == Op::Copy) {
        return source;
    } else if constexpr (op == Op::Or) {
        return destination | source;
    } else if constexpr (op == Op::And) {
        return destination & source;
    } else {
        return destination ^ source;
    }
}

struct BlitArgs {
    void* destination;
    std::ptrdiff_t destinationStride;  // in pixels
    const void* source;
    std::ptrdiff_t sourceStride;  // in pixels
    int width;
    int height;
    std::uint32_t key;         // colour into monochrome: the source colour that becomes 1
    std::uint32_t background;  // monochrome into colour: what 1 becomes
    std::uint32_t text;        // monochrome into colour: what 0 becomes
};

// The row loops work in chunks of a fixed number of pixels with a short tail, so that the
// compiler vectorises them even under its cheapest cost model.
constexpr int kChunk = 16;

// A row of up to 32 bytes (a snowflake's seven pixels) is copied inline, as two fixed-size
// moves that may overlap in the middle: a call to memcpy would cost more than the row. Both
// halves are read before either is written.
template <std::size_t chunk>
inline void CopyTwoChunks(unsigned char* d, const unsigned char* s, std::size_t bytes) {
    unsigned char head[chunk];
    unsigned char tail[chunk];
    std::memcpy(head, s, chunk);
    std::memcpy(tail, s + bytes - chunk, chunk);
    std::memcpy(d, head, chunk);
    std::memcpy(d + bytes - chunk, tail, chunk);
}

inline void CopyRow(void* destination, const void* source, std::size_t bytes) {
    auto* d = static_cast<unsigned char*>(destination);
    const auto* s = static_cast<const unsigned char*>(source);
    if (bytes > 32) {
        std::memcpy(d, s, bytes);
    } else if (bytes >= 16) {
        CopyTwoChunks<16>(d, s, bytes);
    } else if (bytes >= 8) {
        CopyTwoChunks<8>(d, s, bytes);
    } else if (bytes >= 4) {
        CopyTwoChunks<4>(d, s, bytes);
    } else {
        for (std::size_t i = 0; i < bytes; ++i)
            d[i] = s[i];
    }
}

// A row's pixels go in chunks of kChunk, then in steps of kStep. Copy, OR and AND give the same
// pixel when applied twice, so for them the last step of a row that is no whole number of steps
// may overlap the one before it (a snowflake's seven pixels: two steps instead of seven single
// pixels); XOR takes its last pixels one at a time.
constexpr int kStep = 4;

template <Op op>
inline constexpr bool kOverlapSafe = op != Op::Xor;

// Calls step(i, count) over [0, n): count is kChunk or kStep (a fixed size the compiler
// vectorises) or 1.
template <Op op, typename Step>
inline void WalkRow(int n, Step&& step) {
    int i = 0;
    for (; i + kChunk <= n; i += kChunk)
        step.template Run<kChunk>(i);
    if constexpr (kOverlapSafe<op>) {
        if (n >= kStep) {
            for (; i + kStep <= n; i += kStep)
                step.template Run<kStep>(i);
            if (i < n)
                step.template Run<kStep>(n - kStep);
            return;
        }
    }
    for (; i < n; ++i)
        step.template Run<1>(i);
}

// Same format on both sides.
#if defined(__SSE2__)
// Four colour pixels at once: the compiler leaves a step this short to single pixels.
template <Op op>
inline __m128i Combine4(__m128i destination, __m128i source) {
    if constexpr (op == Op::Copy) {
        return source;
    } else if constexpr (op == Op::Or) {
        return _mm_or_si128(destination, source);
    } else if constexpr (op == Op::And) {
        return _mm_and_si128(destination, source);
    } else {
        return _mm_xor_si128(destination, source);
    }
}

template <Op op>
inline void Store4(std::uint32_t* d, __m128i source) {
    auto* at = reinterpret_cast<__m128i*>(d);
    _mm_storeu_si128(at, Combine4<op>(_mm_loadu_si128(at), source));
}
#endif

template <Op op, typename T>
struct SameStep {
    T* __restrict d;
    const T* __restrict s;
    template <int count>
    inline void Run(int i) const {
#if defined(__SSE2__)
        if constexpr (count == kStep && std::is_same_v<T, std::uint32_t>) {
            Store4<op>(d + i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
            return;
        }
        if constexpr (count == kChunk && op == Op::And && std::is_same_v<T, std::uint32_t>) {
            // A sprite's transparent area is white: ANDing white leaves a screen pixel (top
            // byte 0) as it is, so a chunk of nothing but white is not written at all.
            const auto* from = reinterpret_cast<const __m128i*>(s + i);
            const __m128i s0 = _mm_loadu_si128(from);
            const __m128i s1 = _mm_loadu_si128(from + 1);
            const __m128i s2 = _mm_loadu_si128(from + 2);
            const __m128i s3 = _mm_loadu_si128(from + 3);
            const __m128i all = _mm_and_si128(_mm_and_si128(s0, s1), _mm_and_si128(s2, s3));
            const __m128i white = _mm_set1_epi32(static_cast<int>(kWhitePixel));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(all, white)) == 0xFFFF)
                return;
            Store4<op>(d + i, s0);
            Store4<op>(d + i + 4, s1);
            Store4<op>(d + i + 8, s2);
            Store4<op>(d + i + 12, s3);
            return;
        }
#endif
        for (int k = 0; k < count; ++k)
            d[i + k] = Combine<op>(d[i + k], s[i + k]);
    }
};

template <Op op, typename T>
inline void RowSame(T* __restrict d, const T* __restrict s, int n) {
    if constexpr (op == Op::Copy) {
        CopyRow(d, s, static_cast<std::size_t>(n) * sizeof(T));
    } else {
        WalkRow<op>(n, SameStep<op, T>{d, s});
    }
}

// Colour into monochrome: 1 where the source equals the key colour.
inline std::uint8_t KeyBit(std::uint32_t pixel, std::uint32_t key) {
    return (pixel & 0x00FFFFFF) == key ? kMonoOne : 0;
}

template <Op op>
struct ColourToMonoStep {
    std::uint8_t* __restrict d;
    const std::uint32_t* __restrict s;
    std::uint32_t key;
    template <int count>
    inline void Run(int i) const {
        for (int k = 0; k < count; ++k)
            d[i + k] = Combine<op>(d[i + k], KeyBit(s[i + k], key));
    }
};

template <Op op>
inline void RowColourToMono(std::uint8_t* __restrict d, const std::uint32_t* __restrict s, int n,
                            std::uint32_t key) {
    WalkRow<op>(n, ColourToMonoStep<op>{d, s, key});
}

// Monochrome into colour: 1 becomes the background colour, 0 the text colour.
inline std::uint32_t Expand(std::uint8_t bit, std::uint32_t background, std::uint32_t text) {
    const auto mask =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(bit)));
    return (background & mask) | (text & ~mask);
}

template <Op op>
struct MonoToColourStep {
    std::uint32_t* __restrict d;
    const std::uint8_t* __restrict s;
    std::uint32_t background;
    std::uint32_t text;
#if defined(__SSE2__)
    // Four pixels from four widened monochrome bytes: the background colour where 1, the text
    // colour where 0.
    inline __m128i Select(__m128i mask) const {
        const __m128i one = _mm_set1_epi32(static_cast<int>(background));
        const __m128i zero = _mm_set1_epi32(static_cast<int>(text));
        return _mm_or_si128(_mm_and_si128(one, mask), _mm_andnot_si128(mask, zero));
    }
#endif
    template <int count>
    inline void Run(int i) const {
#if defined(__SSE2__)
        if constexpr (count == kStep) {
            // Each monochrome byte (0x00 or 0xFF) widened to a whole pixel's mask.
            std::uint32_t bytes;
            std::memcpy(&bytes, s + i, sizeof bytes);
            __m128i mask = _mm_cvtsi32_si128(static_cast<int>(bytes));
            mask = _mm_unpacklo_epi8(mask, mask);
            mask = _mm_unpacklo_epi16(mask, mask);
            Store4<op>(d + i, Select(mask));
            return;
        }
        if constexpr (count == kChunk) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            // ORing the text colour black changes nothing: a chunk of nothing but 0 (a mask's
            // transparent area) is not written at all. Monochrome bytes are 0x00 or 0xFF, so
            // their top bits tell.
            if (op == Op::Or && text == 0 && _mm_movemask_epi8(bytes) == 0)
                return;
            const __m128i low = _mm_unpacklo_epi8(bytes, bytes);
            const __m128i high = _mm_unpackhi_epi8(bytes, bytes);
            Store4<op>(d + i, Select(_mm_unpacklo_epi16(low, low)));
            Store4<op>(d + i + 4, Select(_mm_unpackhi_epi16(low, low)));
            Store4<op>(d + i + 8, Select(_mm_unpacklo_epi16(high, high)));
            Store4<op>(d + i + 12, Select(_mm_unpackhi_epi16(high, high)));
            return;
        }
#endif
        for (int k = 0; k < count; ++k)
            d[i + k] = Combine<op>(d[i + k], Expand(s[i + k], background, text));
    }
};

template <Op op>
inline void RowMonoToColour(std::uint32_t* __restrict d, const std::uint8_t* __restrict s, int n,
                            std::uint32_t background, std::uint32_t text) {
    WalkRow<op>(n, MonoToColourStep<op>{d, s, background, text});
}

template <Op op, bool destinationMono, bool sourceMono>
void BlitRect(const BlitArgs& a) {
    using D = std::conditional_t<destinationMono, std::uint8_t, std::uint32_t>;
    using S = std::conditional_t<sourceMono, std::uint8_t, std::uint32_t>;
    D* d = static_cast<D*>(a.destination);
    const S* s = static_cast<const S*>(a.source);
    for (int row = 0; row < a.height; ++row) {
        if constexpr (destinationMono == sourceMono) {
            RowSame<op>(d, s, a.width);
        } else if constexpr (destinationMono) {
            RowColourToMono<op>(d, s, a.width, a.key);
        } else {
            RowMonoToColour<op>(d, s, a.width, a.background, a.text);
        }
        d += a.destinationStride;
        s += a.sourceStride;
    }
}

template <bool mono>
void FillWhite(const BlitArgs& a) {
    for (int row = 0; row < a.height; ++row) {
        if constexpr (mono) {
            std::memset(static_cast<std::uint8_t*>(a.destination) + row * a.destinationStride,
                        kMonoOne, static_cast<std::size_t>(a.width));
        } else {
            std::uint32_t* d =
                static_cast<std::uint32_t*>(a.destination) + row * a.destinationStride;
            int i = 0;
            for (; i + kChunk <= a.width; i += kChunk) {
                for (int k = 0; k < kChunk; ++k)
                    d[i + k] = kWhitePixel;
            }
            for (; i < a.width; ++i)
                d[i] = kWhitePixel;
        }
    }
}

using BlitFn = void (*)(const BlitArgs&);

// [operation][destination monochrome][source monochrome]
constexpr BlitFn kKernels[4][2][2] = {
    {{BlitRect<Op::Copy, false, false>, BlitRect<Op::Copy, false, true>},
     {BlitRect<Op::Copy, true, false>, BlitRect<Op::Copy, true, true>}},
    {{BlitRect<Op::Or, false, false>, BlitRect<Op::Or, false, true>},
     {BlitRect<Op::Or, true, false>, BlitRect<Op::Or, true, true>}},
    {{BlitRect<Op::And, false, false>, BlitRect<Op::And, false, true>},
     {BlitRect<Op::And, true, false>, BlitRect<Op::And, true, true>}},
    {{BlitRect<Op::Xor, false, false>, BlitRect<Op::Xor, false, true>},
     {BlitRect<Op::Xor, true, false>, BlitRect<Op::Xor, true, true>}},
};

std::size_t PixelSize(bool mono) {
    return mono ? 1 : 4;
}

void* PixelAt(const Surface& surface, int x, int y) {
    const std::size_t offset = (static_cast<std::size_t>(y) * surface.stride + x);
    return static_cast<std::uint8_t*>(surface.pixels) + offset * PixelSize(surface.mono);
}

// A transfer after clipping: the destination rectangle and the source pixel at its top left.
struct Clip {
    Rect area;
    int sourceX = 0;
    int sourceY = 0;
};

// Clips against the destination and, when there is one, the source: pixels that would come from
// outside the source are left out. False when nothing is left.
bool ClipTransfer(const Surface& destination, const Surface* source, int x, int y, int width,
                  int height, int sx, int sy, Clip& clip) {
    Rect area = Rect{x, y, width, height}.Intersect(Bounds(destination));
    const std::int64_t shiftX = std::int64_t{sx} - x;  // source x = destination x + shiftX
    const std::int64_t shiftY = std::int64_t{sy} - y;
    if (source != nullptr) {
        // The source's bounds, moved to where they land on the destination.
        area = area.Intersect(Bounds(*source).Offset(-shiftX, -shiftY));
    }
    if (area.Empty())
        return false;
    clip.area = area;
    clip.sourceX = static_cast<int>(area.x + shiftX);
    clip.sourceY = static_cast<int>(area.y + shiftY);
    return true;
}

}  // namespace

// --- Bitmaps and memory DCs
// -----------------------------------------------------------------------

HDC CreateCompatibleDC(HDC hDC) {
    State& s = S();
    if (hDC != 0 && s.dcs.Find(hDC) == nullptr)
        return 0;
    DeviceContext dc;
    dc.kind = DcKind::Memory;
    dc.bitmap = s.stockBitmap;
    return s.dcs.Add(std::move(dc));
}

HBITMAP CreateCompatibleBitmap(HDC hDC, int width, int height) {
    State& s = S();
    const DeviceContext* dc = s.dcs.Find(hDC);
    if (dc == nullptr)
        return 0;
    bool mono = false;
    if (dc->kind == DcKind::Memory) {
        const Bitmap* selected = s.bitmaps.Find(dc->bitmap);
        if (selected == nullptr)
            return 0;
        mono = selected->mono;
    }
    // As the system does: no width or no height gives the shared 1 x 1 monochrome bitmap.
    if (width == 0 || height == 0)
        return s.stockBitmap;
    Bitmap bitmap;
    if (!MakeBitmap(width, height, mono, bitmap))
        return 0;
    return s.bitmaps.Add(std::move(bitmap));
}

HGDIOBJ SelectObject(HDC hDC, HGDIOBJ object) {
    State& s = S();
    DeviceContext* dc = s.dcs.Find(hDC);
    Bitmap* bitmap = s.bitmaps.Find(object);
    if (dc == nullptr || bitmap == nullptr || dc->kind != DcKind::Memory)
        return 0;
    const HBITMAP previous = dc->bitmap;
    if (previous == object)
        return previous;
    if (!bitmap->stock) {
        if (bitmap->selectedInto != 0)
            return 0;  // held by another DC
        bitmap->selectedInto = hDC;
    }
    if (Bitmap* old = s.bitmaps.Find(previous); old != nullptr && !old->stock)
        old->selectedInto = 0;
    dc->bitmap = object;
    if (bitmap->stock) {
        dc->pixels = nullptr;
        dc->width = dc->height = 0;
    } else {
        dc->pixels = bitmap->mono ? static_cast<void*>(bitmap->bits.data())
                                  : static_cast<void*>(bitmap->colour.data());
        dc->width = bitmap->width;
        dc->height = bitmap->height;
        dc->mono = bitmap->mono;
    }
    return previous;
}

BOOL DeleteDC(HDC hDC) {
    State& s = S();
    DeviceContext* dc = s.dcs.Find(hDC);
    if (dc == nullptr || dc->kind != DcKind::Memory)
        return FALSE;
    if (Bitmap* bitmap = s.bitmaps.Find(dc->bitmap); bitmap != nullptr && !bitmap->stock) {
        bitmap->selectedInto = 0;
    }
    s.dcs.Remove(hDC);
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ object) {
    State& s = S();
    const auto tag = static_cast<std::uint32_t>(object) & kTagMask;
    if (tag == kDcTag)
        return DeleteDC(object);
    Bitmap* bitmap = s.bitmaps.Find(object);
    if (bitmap == nullptr)
        return FALSE;
    if (bitmap->stock)
        return TRUE;
    if (bitmap->selectedInto != 0)
        return FALSE;  // still selected into a DC
    if (!s.viewers.empty() && !bitmap->mono)
        RetainViewers(s, bitmap->colour.data());
    s.bitmaps.Remove(object);
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, void* record) {
    const Bitmap* bitmap = S().bitmaps.Find(object);
    if (bitmap == nullptr)
        return 0;
    if (record == nullptr)
        return static_cast<int>(sizeof(BITMAP));
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP out{};
    out.bmType = 0;
    out.bmWidth = bitmap->width;
    out.bmHeight = bitmap->height;
    out.bmWidthBytes = bitmap->mono ? (bitmap->width + 15) / 16 * 2 : bitmap->width * 4;
    out.bmPlanes = 1;
    out.bmBitsPixel = bitmap->mono ? 1 : 32;
    out.bmBits = 0;
    std::memcpy(record, &out, sizeof out);
    return static_cast<int>(sizeof(BITMAP));
}

HANDLE LoadImageA(HINSTANCE, const char* name, std::uint32_t type, int cx, int cy,
                  std::uint32_t flags) {
    if (type != IMAGE_BITMAP || (flags & LR_LOADFROMFILE) == 0 || name == nullptr)
        return 0;
    bitmap_file::Image image;
    if (!bitmap_file::Load(name, image))
        return 0;
    // The picture is never stretched: a size asked for must be the file's.
    if ((cx != 0 && cx != image.width) || (cy != 0 && cy != image.height))
        return 0;
    Bitmap bitmap;
    bitmap.width = image.width;
    bitmap.height = image.height;
    bitmap.mono = false;
    bitmap.colour = std::move(image.pixels);
    return S().bitmaps.Add(std::move(bitmap));
}

// --- Colours and pixels
// -----------------------------------------------------------------------------

COLORREF SetBkColor(HDC hDC, COLORREF colour) {
    DeviceContext* dc = S().dcs.Find(hDC);
    if (dc == nullptr)
        return CLR_INVALID;
    return std::exchange(dc->background, colour);
}

COLORREF SetTextColor(HDC hDC, COLORREF colour) {
    DeviceContext* dc = S().dcs.Find(hDC);
    if (dc == nullptr)
        return CLR_INVALID;
    return std::exchange(dc->text, colour);
}

COLORREF GetPixel(HDC hDC, int x, int y) {
    State& s = S();
    const DeviceContext* dc = s.dcs.Find(hDC);
    Surface surface;
    if (dc == nullptr || !Resolve(s, *dc, surface))
        return CLR_INVALID;
    if (!Bounds(surface).Contains(x, y))
        return CLR_INVALID;
    RetainForReading(surface);
    if (surface.mono) {
        return *static_cast<const std::uint8_t*>(PixelAt(surface, x, y)) ? RGB(255, 255, 255) : 0;
    }
    return ToColorref(*static_cast<const std::uint32_t*>(PixelAt(surface, x, y)));
}

BOOL SetPixel(HDC hDC, int x, int y, COLORREF colour) {
    State& s = S();
    const DeviceContext* dc = s.dcs.Find(hDC);
    Surface surface;
    if (dc == nullptr || !Resolve(s, *dc, surface))
        return FALSE;
    if (!Bounds(surface).Contains(x, y))
        return FALSE;
    if (surface.backing != nullptr) {
        surface.backing->PrepareWrite(x, y, 1, 1, false);
        if (!ResolveBacking(surface.backing, surface) || !Bounds(surface).Contains(x, y))
            return FALSE;
    } else if (!s.viewers.empty()) {
        SettleViewers(s, surface.pixels);
    }
    if (surface.mono) {
        // A monochrome pixel takes the nearer of black and white.
        const unsigned sum = (colour & 0xFF) + ((colour >> 8) & 0xFF) + ((colour >> 16) & 0xFF);
        *static_cast<std::uint8_t*>(PixelAt(surface, x, y)) = sum >= 383 ? kMonoOne : 0;
    } else {
        *static_cast<std::uint32_t*>(PixelAt(surface, x, y)) = ToPixel(colour);
    }
    if (surface.backing != nullptr)
        surface.backing->Present(x, y, 1, 1);
    return TRUE;
}

// --- Block transfers
// ------------------------------------------------------------------------------

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
            std::uint32_t rop) {
    State& s = S();
    int opIndex;
    switch (rop) {
        case SRCCOPY:
            opIndex = static_cast<int>(Op::Copy);
            break;
        case SRCPAINT:
            opIndex = static_cast<int>(Op::Or);
            break;
        case SRCAND:
            opIndex = static_cast<int>(Op::And);
            break;
        case SRCINVERT:
            opIndex = static_cast<int>(Op::Xor);
            break;
        case WHITENESS:
            opIndex = -1;
            break;
        default:
            return FALSE;
    }
    const DeviceContext* destinationDc = s.dcs.Find(dest);
    if (destinationDc == nullptr)
        return FALSE;
    Surface destination;
    if (!Resolve(s, *destinationDc, destination))
        return FALSE;

    const bool readsSource = opIndex >= 0;
    const DeviceContext* sourceDc = nullptr;
    Surface sourceSurface;
    if (readsSource) {
        sourceDc = s.dcs.Find(source);
        if (sourceDc == nullptr || !Resolve(s, *sourceDc, sourceSurface))
            return FALSE;
    }

    Clip clip;
    if (!ClipTransfer(destination, readsSource ? &sourceSurface : nullptr, x, y, width, height, sx,
                      sy, clip)) {
        return TRUE;
    }

    const Rect& area = clip.area;
    WindowBacking* const backing = destination.backing;
    // A plain copy from a memory surface to the same place on one of our windows: the backing may
    // read the source when it flushes, in place of copying it now.
    if (backing != nullptr && opIndex == static_cast<int>(Op::Copy) &&
        destinationDc->kind == DcKind::Window && sourceDc->kind == DcKind::Memory &&
        !sourceSurface.mono && clip.sourceX == area.x && clip.sourceY == area.y &&
        backing->DefersPushes()) {
        const WindowBacking::PushSource pushed{
            static_cast<const std::uint32_t*>(sourceSurface.pixels), sourceSurface.stride,
            sourceSurface.width, sourceSurface.height};
        if (backing->DeferPush(pushed, 1, area.x, area.y, area.width, area.height)) {
            NoteViewer(s, s.windows.Find(destinationDc->window)->backing, pushed.pixels);
            return TRUE;
        }
    }
    if (readsSource)
        RetainForReading(sourceSurface);
    if (backing != nullptr) {
        backing->PrepareWrite(area.x, area.y, area.width, area.height,
                              opIndex > static_cast<int>(Op::Copy));
        // The backing may have moved its pixels; never write outside what it has now.
        Surface again;
        if (!ResolveBacking(backing, again) || !Bounds(again).Contains(area))
            return FALSE;
        destination = again;
        if (sourceDc != nullptr && sourceSurface.backing == backing)
            sourceSurface = again;
    } else if (!s.viewers.empty()) {
        SettleViewers(s, destination.pixels);
    }

    BlitArgs args{};
    args.destination = PixelAt(destination, area.x, area.y);
    args.destinationStride = destination.stride;
    args.width = area.width;
    args.height = area.height;
    if (!readsSource) {
        (destination.mono ? FillWhite<true> : FillWhite<false>)(args);
    } else {
        args.source = PixelAt(sourceSurface, clip.sourceX, clip.sourceY);
        args.sourceStride = sourceSurface.stride;
        // The colours only matter where the formats differ.
        if (destination.mono && !sourceSurface.mono) {
            args.key = ToPixel(sourceDc->background);
        } else if (!destination.mono && sourceSurface.mono) {
            args.background = ToPixel(destinationDc->background);
            args.text = ToPixel(destinationDc->text);
        }
        // A source that overlaps the destination in the same pixels is copied aside first.
        if (sourceSurface.pixels == destination.pixels &&
            area.Overlaps(Rect{clip.sourceX, clip.sourceY, area.width, area.height})) {
            const std::size_t rowBytes =
                static_cast<std::size_t>(area.width) * PixelSize(sourceSurface.mono);
            s.scratch.resize((rowBytes * area.height + 3) / 4);
            auto* copy = reinterpret_cast<std::uint8_t*>(s.scratch.data());
            for (int row = 0; row < area.height; ++row) {
                std::memcpy(copy + row * rowBytes,
                            PixelAt(sourceSurface, clip.sourceX, clip.sourceY + row), rowBytes);
            }
            args.source = copy;
            args.sourceStride = area.width;
        }
        kKernels[opIndex][destination.mono][sourceSurface.mono](args);
    }

    if (backing != nullptr)
        backing->Present(area.x, area.y, area.width, area.height);
    return TRUE;
}

// --- Windows
// ------------------------------------------------------------------------------------------

HWND GetDesktopWindow() {
    return kDesktopWindow;
}

HDC GetDC(HWND hWnd) {
    State& s = S();
    if (hWnd == 0 || hWnd == kDesktopWindow)
        return s.desktopDc;
    DeviceContext dc;
    if (s.windows.Find(hWnd) != nullptr) {
        dc.kind = DcKind::Window;
        dc.window = hWnd;
    } else {
        if (!s.resolver)
            return 0;
        std::shared_ptr<WindowBacking> backing = s.resolver(hWnd);
        if (!backing)
            return 0;
        dc.kind = DcKind::Foreign;
        dc.window = hWnd;
        dc.foreign = std::move(backing);
    }
    return s.dcs.Add(std::move(dc));
}

int ReleaseDC(HWND, HDC hDC) {
    State& s = S();
    const DeviceContext* dc = s.dcs.Find(hDC);
    if (dc == nullptr)
        return 0;
    switch (dc->kind) {
        case DcKind::Desktop:
            return 1;
        case DcKind::Window:
        case DcKind::Foreign:
            s.dcs.Remove(hDC);
            return 1;
        case DcKind::Memory:
            return 0;
    }
    return 0;
}

namespace gdi {

HWND RegisterWindow(std::shared_ptr<WindowBacking> backing) {
    if (!backing)
        return 0;
    return S().windows.Add(WindowEntry{std::move(backing)});
}

void ReplaceWindowBacking(HWND hWnd, std::shared_ptr<WindowBacking> backing) {
    if (WindowEntry* window = S().windows.Find(hWnd); window != nullptr) {
        window->backing = std::move(backing);
    }
}

void UnregisterWindow(HWND hWnd) {
    State& s = S();
    if (s.windows.Find(hWnd) == nullptr)
        return;
    std::vector<HDC> stale;
    s.dcs.ForEach([&](HDC handle, const DeviceContext& dc) {
        if (dc.kind == DcKind::Window && dc.window == hWnd)
            stale.push_back(handle);
    });
    for (HDC handle : stale)
        s.dcs.Remove(handle);
    s.windows.Remove(hWnd);
}

std::shared_ptr<WindowBacking> WindowBackingOf(HWND hWnd) {
    WindowEntry* window = S().windows.Find(hWnd);
    return window != nullptr ? window->backing : nullptr;
}

void SetForeignWindowResolver(std::function<std::shared_ptr<WindowBacking>(HWND)> resolver) {
    S().resolver = std::move(resolver);
}

HBITMAP CreateBitmapFromPixels(int width, int height, const std::uint32_t* pixels, int stride) {
    if (pixels == nullptr || stride < width)
        return 0;
    Bitmap bitmap;
    if (!MakeBitmap(width, height, false, bitmap))
        return 0;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* in = pixels + static_cast<std::size_t>(y) * stride;
        std::uint32_t* out = bitmap.colour.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x)
            out[x] = in[x] & 0x00FFFFFF;
    }
    return S().bitmaps.Add(std::move(bitmap));
}

bool ReadPixels(HDC hDC, int x, int y, int width, int height, std::uint32_t* out) {
    State& s = S();
    const DeviceContext* dc = s.dcs.Find(hDC);
    Surface surface;
    if (dc == nullptr || out == nullptr || !Resolve(s, *dc, surface))
        return false;
    if (!Bounds(surface).Contains(Rect{x, y, width, height}))
        return false;
    RetainForReading(surface);
    for (int row = 0; row < height; ++row) {
        std::uint32_t* line = out + static_cast<std::size_t>(row) * width;
        if (surface.mono) {
            const auto* in = static_cast<const std::uint8_t*>(PixelAt(surface, x, y + row));
            for (int i = 0; i < width; ++i)
                line[i] = in[i] ? kWhitePixel : 0;
        } else {
            const auto* in = static_cast<const std::uint32_t*>(PixelAt(surface, x, y + row));
            for (int i = 0; i < width; ++i)
                line[i] = in[i] & 0x00FFFFFF;
        }
    }
    return true;
}

int LiveObjectCount() {
    State& s = S();
    return s.dcs.Live() + s.bitmaps.Live() + s.windows.Live();
}

}  // namespace gdi
