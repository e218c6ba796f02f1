// SPDX-License-Identifier: MIT
// Window DCs: drawing into a window's retained pixels with prepare and present around each
// change, windows as sources, release and unregistering, foreign windows, the desktop.

#include <gtest/gtest.h>

#include <memory>

#include "platform/gdi.h"
#include "tests/support/MemorySurface.h"
#include "tests/support/PixelPattern.h"
#include "tests/support/RecordingBacking.h"

namespace {

using Rect = RecordingBacking::Rect;
using Prepared = RecordingBacking::Prepared;

class GdiWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        live = gdi::LiveObjectCount();
        backing = std::make_shared<RecordingBacking>(6, 4, 0x808080);
        window = gdi::RegisterWindow(backing);
        ASSERT_NE(window, 0);
        dc = GetDC(window);
        ASSERT_NE(dc, 0);
    }
    void TearDown() override {
        ReleaseDC(window, dc);
        gdi::UnregisterWindow(window);
        gdi::SetForeignWindowResolver(nullptr);
        EXPECT_EQ(gdi::LiveObjectCount(), live);
    }

    int live = 0;
    PixelPattern p;
    std::shared_ptr<RecordingBacking> backing;
    HWND window = 0;
    HDC dc = 0;
};

TEST_F(GdiWindow, HandlesStayClearOfXWindowIds) {
    EXPECT_GE(window, 1 << 29);
    EXPECT_NE(window & (1 << 30), 0);
    EXPECT_EQ(gdi::WindowBackingOf(window), backing);
    EXPECT_EQ(gdi::RegisterWindow(nullptr), 0);
}

TEST_F(GdiWindow, DrawsIntoTheRetainedPixelsAndPresentsTheClippedRectangle) {
    MemorySurface src(p, {"rgb", "ycm", "o#."});
    ASSERT_TRUE(BitBlt(dc, 4, -1, 3, 3, src.hDC(), 0, 0, SRCCOPY));
    EXPECT_TRUE(p.Matches(dc, 0, 0, {"ssssyc", "sssso#", "ssssss", "ssssss"}));
    EXPECT_EQ(backing->Pixel(4, 0), 0xFFFF00u);
    EXPECT_EQ(backing->PreparedRects(), (std::vector<Prepared>{{{4, 0, 2, 2}, false}}));
    EXPECT_EQ(backing->PresentedRects(), (std::vector<Rect>{{4, 0, 2, 2}}));

    backing->Clear();
    ASSERT_TRUE(BitBlt(dc, 0, 0, 2, 1, src.hDC(), 0, 0, SRCPAINT));
    ASSERT_TRUE(BitBlt(dc, 0, 1, 1, 1, src.hDC(), 0, 0, SRCAND));
    ASSERT_TRUE(BitBlt(dc, 0, 2, 1, 1, 0, 0, 0, WHITENESS));
    ASSERT_TRUE(SetPixel(dc, 5, 3, RGB(0, 0, 255)));
    EXPECT_EQ(backing->PreparedRects(), (std::vector<Prepared>{{{0, 0, 2, 1}, true},
                                                               {{0, 1, 1, 1}, true},
                                                               {{0, 2, 1, 1}, false},
                                                               {{5, 3, 1, 1}, false}}));
    EXPECT_EQ(backing->PresentedRects(),
              (std::vector<Rect>{{0, 0, 2, 1}, {0, 1, 1, 1}, {0, 2, 1, 1}, {5, 3, 1, 1}}));

    // Nothing drawn, nothing presented.
    backing->Clear();
    ASSERT_TRUE(BitBlt(dc, 6, 0, 3, 3, src.hDC(), 0, 0, SRCCOPY));
    EXPECT_FALSE(SetPixel(dc, 6, 0, 0));
    EXPECT_TRUE(backing->PresentedRects().empty());
    EXPECT_TRUE(backing->PreparedRects().empty());
}

TEST_F(GdiWindow, IsASourceAndCopiesOntoItself) {
    MemorySurface src(p, {"rgb"});
    ASSERT_TRUE(BitBlt(dc, 0, 0, 3, 1, src.hDC(), 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(dc, 1, 1, 3, 1, dc, 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(dc, 1, 0, 5, 1, dc, 0, 0, SRCCOPY));  // overlapping, same row
    EXPECT_TRUE(p.Matches(dc, 0, 0, {"rrgbss", "srgbss", "ssssss", "ssssss"}));
    MemorySurface copy(6, 4, false);
    ASSERT_TRUE(BitBlt(copy.hDC(), 0, 0, 6, 4, dc, 0, 0, SRCCOPY));
    EXPECT_TRUE(p.Matches(copy.hDC(), 0, 0, {"rrgbss", "srgbss", "ssssss", "ssssss"}));
}

TEST_F(GdiWindow, ReleaseUnregisterAndReplace) {
    const HDC second = GetDC(window);
    ASSERT_NE(second, 0);
    EXPECT_NE(second, dc);
    EXPECT_EQ(ReleaseDC(window, second), 1);
    EXPECT_EQ(ReleaseDC(window, second), 0);
    EXPECT_FALSE(BitBlt(second, 0, 0, 1, 1, 0, 0, 0, WHITENESS));
    EXPECT_FALSE(DeleteDC(dc));  // a window DC is released, not deleted

    // A resized window: the same DC now draws into the new pixels.
    auto larger = std::make_shared<RecordingBacking>(8, 8, 0);
    gdi::ReplaceWindowBacking(window, larger);
    ASSERT_TRUE(BitBlt(dc, 7, 7, 1, 1, 0, 0, 0, WHITENESS));
    EXPECT_EQ(larger->Pixel(7, 7), 0xFFFFFFu);
    EXPECT_EQ(larger->PresentedRects(), (std::vector<Rect>{{7, 7, 1, 1}}));
    EXPECT_TRUE(backing->PresentedRects().empty());

    // Unregistering makes its DCs stale and frees them.
    const HWND other = gdi::RegisterWindow(std::make_shared<RecordingBacking>(2, 2, 0));
    const HDC otherDc = GetDC(other);
    const int before = gdi::LiveObjectCount();
    gdi::UnregisterWindow(other);
    EXPECT_EQ(gdi::LiveObjectCount(), before - 2);
    EXPECT_FALSE(BitBlt(otherDc, 0, 0, 1, 1, 0, 0, 0, WHITENESS));
    EXPECT_EQ(GetDC(other), 0);
    EXPECT_EQ(gdi::WindowBackingOf(other), nullptr);
}

TEST_F(GdiWindow, ForeignWindowsComeFromTheResolver) {
    EXPECT_EQ(GetDC(0x00400001), 0);  // no resolver
    auto foreign = std::make_shared<RecordingBacking>(3, 3, 0);
    HWND asked = 0;
    gdi::SetForeignWindowResolver([&](HWND hWnd) -> std::shared_ptr<WindowBacking> {
        asked = hWnd;
        return hWnd == 0x00400001 ? foreign : nullptr;
    });
    EXPECT_EQ(GetDC(0x00400002), 0);
    EXPECT_EQ(asked, 0x00400002);
    const HDC foreignDc = GetDC(0x00400001);
    ASSERT_NE(foreignDc, 0);
    ASSERT_TRUE(BitBlt(foreignDc, 1, 1, 1, 1, 0, 0, 0, WHITENESS));
    EXPECT_EQ(foreign->Pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(foreign->PresentedRects(), (std::vector<Rect>{{1, 1, 1, 1}}));
    EXPECT_EQ(ReleaseDC(0x00400001, foreignDc), 1);
}

TEST_F(GdiWindow, TheDesktopIsOnlyAReference) {
    const int before = gdi::LiveObjectCount();
    const HWND desktop = GetDesktopWindow();
    EXPECT_EQ(GetDesktopWindow(), desktop);
    const HDC screen = GetDC(desktop);
    ASSERT_NE(screen, 0);
    EXPECT_EQ(GetDC(desktop), screen);
    EXPECT_EQ(gdi::LiveObjectCount(), before);
    MemorySurface surface(2, 2, false);
    EXPECT_FALSE(BitBlt(screen, 0, 0, 2, 2, surface.hDC(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(surface.hDC(), 0, 0, 2, 2, screen, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(screen, 0, 0, 2, 2, 0, 0, 0, WHITENESS));
    EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID);
    EXPECT_FALSE(DeleteDC(screen));
    EXPECT_EQ(ReleaseDC(desktop, screen), 1);
    EXPECT_EQ(GetDC(desktop), screen);  // still there
}

}  // namespace
