// SPDX-License-Identifier: MIT
#include "tests/support/RecordingBacking.h"

#include <ostream>

void RecordingBacking::PrepareWrite(int x, int y, int w, int h, bool readsDestination) {
    m_prepared.push_back({{x, y, w, h}, readsDestination});
}

void RecordingBacking::Present(int x, int y, int w, int h) {
    HeadlessBacking::Present(x, y, w, h);
    m_presented.push_back({x, y, w, h});
}

void RecordingBacking::Clear() {
    m_prepared.clear();
    m_presented.clear();
}

void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "{" << rect.x << ", " << rect.y << ", " << rect.width << " x " << rect.height << "}";
}
