// SPDX-License-Identifier: MIT
#pragma once
// Retained window pixels that record every rectangle prepared for writing and presented.

#include <iosfwd>
#include <vector>

#include "platform/Rect.h"
#include "platform/headless/HeadlessBacking.h"

class RecordingBacking : public HeadlessBacking {
  public:
    using Rect = ::Rect;
    struct Prepared {
        Rect rect;
        bool readsDestination;
        bool operator==(const Prepared&) const = default;
    };

    using HeadlessBacking::HeadlessBacking;

    void PrepareWrite(int x, int y, int w, int h, bool readsDestination) override;
    void Present(int x, int y, int w, int h) override;

    const std::vector<Prepared>& PreparedRects() const { return m_prepared; }
    const std::vector<Rect>& PresentedRects() const { return m_presented; }
    void Clear();

  private:
    std::vector<Prepared> m_prepared;
    std::vector<Rect> m_presented;
};

// Prints a rectangle in test messages.
void PrintTo(const Rect& rect, std::ostream* out);
