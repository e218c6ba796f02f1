// SPDX-License-Identifier: MIT
// The raster core at frame scale: a sprite cell drawn with its mask, a sprite's whole frame
// cycle, and block transfers per raster operation and format pair (pixels per second).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/cBitmap.h"
#include "gfx/cSprite.h"
#include "gfx/cSpriteBitmaps.h"
#include "platform/gdi.h"
#include "platform/headless/HeadlessBacking.h"
#include "platform/headless/HeadlessHost.h"

namespace {

constexpr int kStageWidth = 1024;
constexpr int kStageHeight = 768;

// A sheet of cells x 1 cells of w x h: a disc of colour on the transparent green.
std::shared_ptr<cSpriteBitmaps> MakeSheet(int w, int h, int cells) {
    std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * cells * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w * cells; ++x) {
            const int cx = x % w - w / 2, cy = y - h / 2;
            const bool inside = cx * cx * h * h + cy * cy * w * w < w * w * h * h / 4;
            pixels[static_cast<size_t>(y) * w * cells + x] =
                inside ? 0x00C0E0FFu + static_cast<std::uint32_t>(x % 7) : 0x0000FF00u;
        }
    }
    auto picture = PictureObject::FromPixels(w * cells, h, pixels.data(), w * cells);
    auto sheet = std::make_shared<cSpriteBitmaps>();
    sheet->CreateFromPicture(*picture, cells, 1, nullptr, 0x00FF00);
    return sheet;
}

std::unique_ptr<cBitmap> MakeStage() {
    auto stage = std::make_unique<cBitmap>();
    stage->CreateAtSize(kStageWidth, kStageHeight);
    BitBlt(stage->hDC(), 0, 0, kStageWidth, kStageHeight, 0, 0, 0, WHITENESS);
    return stage;
}

// cSpriteBitmaps::TransparentDraw of one cell onto a screen-format stage; arg 2: build DC.
void BM_TransparentDraw(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const Boolean build = state.range(2) ? kTrue : kFalse;
    auto sheet = MakeSheet(w, h, 4);
    auto stage = MakeStage();
    int i = 0;
    for (auto _ : state) {
        const Long x = (i * 37) % (kStageWidth - w), y = (i * 53) % (kStageHeight - h);
        sheet->TransparentDraw(stage->hDC(), x, y, 1 + (i & 3), build);
        ++i;
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_TransparentDraw)
    ->ArgNames({"w", "h", "buildDC"})
    ->Args({16, 16, 0})
    ->Args({16, 16, 1})
    ->Args({64, 80, 0})
    ->Args({64, 80, 1});

// One sprite's frame: restore, move, store, draw, and copy the changed area to a window DC.
void BM_SpriteCycle(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    HeadlessHost host;
    host.SetScreenPixels(kStageWidth, kStageHeight);
    SetHost(&host);
    {
        auto sheet = MakeSheet(w, h, 1);
        auto stage = MakeStage();
        auto backing = std::make_shared<HeadlessBacking>(kStageWidth, kStageHeight);
        const HWND window = gdi::RegisterWindow(backing);
        const HDC windowDc = GetDC(window);
        cSprite sprite;
        sprite.SpriteData(sheet);
        sprite.Create(stage->hDC());
        sprite.SetX(100);
        sprite.SetY(0);
        sprite.SetXDir(1);
        sprite.SetYDir(2);
        const HDC stageDc = stage->hDC();
        for (auto _ : state) {
            sprite.RestoreBackground(stageDc);
            sprite.IncrementPosition();
            if (sprite.Y() > kStageHeight - h)
                sprite.SetY(0);
            if (sprite.X() > kStageWidth - w)
                sprite.SetX(0);
            sprite.StoreBackground(stageDc, sprite.X(), sprite.Y());
            sprite.TransparentDraw(stageDc, sprite.X(), sprite.Y(), 1, kFalse);
            sprite.StageToScreen(windowDc, stageDc);
        }
        ReleaseDC(window, windowDc);
        gdi::UnregisterWindow(window);
    }
    SetHost(nullptr);
}
BENCHMARK(BM_SpriteCycle)->ArgNames({"w", "h"})->Args({16, 16})->Args({64, 80});

// A memory surface of either format that frees itself.
class Surface {
  public:
    Surface(int size, bool mono) {
        const HDC reference = mono ? CreateCompatibleDC(0) : GetDC(GetDesktopWindow());
        m_bmp = CreateCompatibleBitmap(reference, size, size);
        if (mono)
            DeleteDC(reference);
        m_dc = CreateCompatibleDC(0);
        m_old = SelectObject(m_dc, m_bmp);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x)
                SetPixel(m_dc, x, y, (x ^ y) & 4 ? 0xFFFFFF : 0x00FF00);
        }
    }
    ~Surface() {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bmp);
    }
    HDC dc() const { return m_dc; }

  private:
    HDC m_dc = 0;
    HBITMAP m_bmp = 0;
    HBITMAP m_old = 0;
};

// BitBlt of a size x size block; args: operation index, destination mono, source mono, size.
void BM_BitBlt(benchmark::State& state) {
    static constexpr std::uint32_t kOps[] = {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, WHITENESS};
    static constexpr const char* kNames[] = {"SRCCOPY", "SRCPAINT", "SRCAND", "SRCINVERT",
                                             "WHITENESS"};
    const std::uint32_t rop = kOps[state.range(0)];
    const bool destMono = state.range(1) != 0, srcMono = state.range(2) != 0;
    const int size = static_cast<int>(state.range(3));
    Surface dest(size, destMono), src(size, srcMono);
    for (auto _ : state) {
        benchmark::DoNotOptimize(BitBlt(dest.dc(), 0, 0, size, size, src.dc(), 0, 0, rop));
    }
    state.SetItemsProcessed(state.iterations() * size * size);
    state.SetLabel(std::string(kNames[state.range(0)]) + (destMono ? " mono<-" : " colour<-") +
                   (srcMono ? "mono" : "colour"));
}
BENCHMARK(BM_BitBlt)
    ->ArgNames({"op", "dmono", "smono", "px"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0, 1}, {64}})
    ->Args({4, 0, 0, 64})
    ->Args({4, 1, 0, 64})
    ->Args({0, 0, 0, 5})
    ->Args({1, 0, 1, 5});

}  // namespace
