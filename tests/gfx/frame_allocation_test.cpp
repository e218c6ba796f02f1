// A sprite's frame (restore, move, store, draw with and without the build DC, copy to a window
// DC) allocates nothing: counted through the global allocation functions of this test program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "gfx/cBitmap.h"
#include "gfx/cSprite.h"
#include "gfx/cSpriteBitmaps.h"
#include "platform/HeadlessBacking.h"
#include "platform/HeadlessHost.h"

// The replacements below pair malloc with free, which GCC cannot see through once inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
bool g_counting = false;
long g_allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    if (g_counting)
        ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

TEST(FrameAllocation, ASpriteFrameAllocatesNothing) {
    HeadlessHost host;
    host.SetScreenPixels(320, 200);
    SetHost(&host);
    {
        const std::uint32_t pixels[] = {0x00FF00, 0xFF0000, 0xFF0000, 0x00FF00};
        auto picture = PictureObject::FromPixels(4, 1, pixels, 4);
        auto sheet = std::make_shared<cSpriteBitmaps>();
        ASSERT_EQ(sheet->CreateFromPicture(*picture, 2, 1, nullptr, 0x00FF00), kTrue);
        cBitmap stage;
        ASSERT_EQ(stage.CreateAtSize(320, 200), kTrue);
        auto backing = std::make_shared<HeadlessBacking>(320, 200);
        const HWND window = gdi::RegisterWindow(backing);
        const HDC windowDc = GetDC(window);
        stage.RenderBitmap(windowDc, 0, 0, SRCCOPY);  // the first full paint, as the saver's
        cSprite sprite;
        sprite.SpriteData(sheet);
        sprite.Create(0);
        sprite.SetXDir(3);
        sprite.SetYDir(1);

        g_allocations = 0;
        g_counting = true;
        for (int frame = 0; frame < 50; ++frame) {
            sprite.RestoreBackground(stage.hDC());
            sprite.IncrementPosition();
            sprite.StoreBackground(stage.hDC(), sprite.X(), sprite.Y());
            sprite.TransparentDraw(stage.hDC(), sprite.X(), sprite.Y(), 1 + frame % 2,
                                   frame % 3 == 0 ? kTrue : kFalse);
            sprite.StageToScreen(windowDc, stage.hDC());
            backing->Flush();
        }
        g_counting = false;
        EXPECT_EQ(g_allocations, 0);
        EXPECT_EQ(backing->PresentCount(), 51);  // one copy a frame: the moves are small

        ReleaseDC(window, windowDc);
        gdi::UnregisterWindow(window);
    }
    SetHost(nullptr);
}

}  // namespace
