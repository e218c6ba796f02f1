// SPDX-License-Identifier: MIT
// A sprite's frame (restore, move, store, draw with and without the build DC, copy to a window
// DC) allocates nothing.

#include <gtest/gtest.h>

#include <memory>

#include "gfx/cBitmap.h"
#include "gfx/cSprite.h"
#include "gfx/cSpriteBitmaps.h"
#include "platform/headless/HeadlessBacking.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/support/AllocationCounter.h"

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

        const AllocationCounter allocations;
        for (int frame = 0; frame < 50; ++frame) {
            sprite.RestoreBackground(stage.hDC());
            sprite.IncrementPosition();
            sprite.StoreBackground(stage.hDC(), sprite.X(), sprite.Y());
            sprite.TransparentDraw(stage.hDC(), sprite.X(), sprite.Y(), 1 + frame % 2,
                                   frame % 3 == 0 ? kTrue : kFalse);
            sprite.StageToScreen(windowDc, stage.hDC());
            backing->Flush();
        }
        EXPECT_EQ(allocations.Count(), 0);
        EXPECT_EQ(backing->PresentCount(), 51);  // one copy a frame: the moves are small

        ReleaseDC(window, windowDc);
        gdi::UnregisterWindow(window);
    }
    SetHost(nullptr);
}

}  // namespace
