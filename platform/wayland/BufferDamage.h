// SPDX-License-Identifier: MIT
#pragma once
// The bookkeeping of a surface shown from two buffers: what each buffer still lacks, what changed
// since the last commit, and when the surface may take the next buffer.
//
// The window keeps its pixels in a copy of its own; every rectangle that changes there is
// recorded here. A flush brings a buffer that the compositor has released up to date (the
// rectangles it missed since it was last written, which include this frame's), tells the
// compositor what changed since the last commit, and commits that buffer. A buffer the
// compositor still holds is never written. While the frame callback of the last commit has not
// come back (the output is off, hidden or slow), nothing is copied or committed and the damage
// waits for the next flush.
//
// No allocation after construction: each list holds a fixed number of rectangles, and a list
// that is full becomes the one rectangle that bounds it.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/Rect.h"

class BufferDamage {
  public:
    static constexpr int kBuffers = 2;
    // Rectangles a list keeps before it becomes their bounds: a few frames of every sprite.
    static constexpr std::size_t kMostRectangles = 1024;

    // What a flush does to the surface, in this order: copies into the buffer, damage, commit.
    class Target {
      public:
        virtual ~Target() = default;
        // Copies a rectangle of the window's pixels into a buffer.
        virtual void CopyToBuffer(int buffer, const Rect& area) = 0;
        // Tells the compositor that a rectangle of the next buffer differs from the last.
        virtual void DamageBuffer(const Rect& area) = 0;
        // Attaches the buffer, asks for a frame callback and commits.
        virtual void CommitBuffer(int buffer) = 0;
    };

    // A surface of width x height pixels: both buffers lack everything.
    BufferDamage(int width, int height);

    // A rectangle of the window's pixels changed (clipped to the surface here).
    void Add(const Rect& area);
    // Whether anything changed since the last commit.
    bool HasDamage() const { return m_sinceCommit.count > 0; }
    // Sends what changed as the next buffer, unless the last frame callback is still out or
    // both buffers are held; true when a buffer was committed. nowMs: the tick count, for
    // UnseenFor.
    bool Flush(Target& target, std::uint32_t nowMs);

    // The compositor let go of a buffer.
    void BufferReleased(int buffer);
    // The frame callback of the last commit came back.
    void FrameShown();
    bool FramePending() const { return m_framePending; }
    // Whether the frame callback of the last commit has stayed out for at least ms milliseconds
    // (nothing on this surface can be seen); false while none is out.
    bool UnseenFor(std::uint32_t nowMs, std::uint32_t ms) const;

    bool BufferHeld(int buffer) const { return m_held[Index(buffer)]; }

  private:
    struct List {
        std::array<Rect, kMostRectangles> rectangles;
        std::size_t count = 0;
        Rect bounds;
        void Add(const Rect& area);
        void Clear() { count = 0, bounds = Rect{}; }
    };
    static std::size_t Index(int buffer);

    Rect m_surface;
    std::array<List, kBuffers> m_missed;
    List m_sinceCommit;
    std::array<bool, kBuffers> m_held{};
    int m_lastCommitted = -1;
    bool m_framePending = false;
    std::uint32_t m_frameRequestedAt = 0;
};
