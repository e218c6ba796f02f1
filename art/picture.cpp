// SPDX-License-Identifier: MIT
#include "art/picture.h"

#include <cmath>
#include <stdexcept>

namespace art {

Picture::Picture(int width, int height, std::uint32_t fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

Picture Picture::Opaque(const Canvas& canvas, const Color& backdrop) {
    Picture picture(canvas.Width(), canvas.Height());
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            picture.Set(x, y, AwayFromKey(canvas.Over(x, y, backdrop).ToRgb()));
    return picture;
}

Picture Picture::Keyed(const Canvas& canvas, float threshold, const Color& edgeBackdrop) {
    Picture picture(canvas.Width(), canvas.Height());
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Alpha(x, y) >= threshold)
                picture.Set(x, y, AwayFromKey(canvas.Over(x, y, edgeBackdrop).ToRgb()));
    return picture;
}

void Picture::Paste(const Picture& source, int x, int y, bool keyed) {
    for (int sy = 0; sy < source.height_; ++sy)
        for (int sx = 0; sx < source.width_; ++sx) {
            const int tx = x + sx;
            const int ty = y + sy;
            if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_)
                continue;
            const std::uint32_t v = source.At(sx, sy);
            if (keyed && v == kColorKey)
                continue;
            Set(tx, ty, v);
        }
}

Picture Picture::Cell(int index, int cellWidth) const {
    Picture cell(cellWidth, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < cellWidth; ++x)
            cell.Set(x, y, At(index * cellWidth + x, y));
    return cell;
}

int Picture::CountNearKey() const {
    int count = 0;
    for (std::uint32_t p : pixels_)
        if (IsNearKey(p))
            ++count;
    return count;
}

Picture Picture::Crop(int x, int y, int width, int height) const {
    Picture out(width, height);
    for (int cy = 0; cy < height; ++cy)
        for (int cx = 0; cx < width; ++cx)
            out.Set(cx, cy, At(x + cx, y + cy));
    return out;
}

Picture Picture::Resized(int width, int height) const {
    Picture out(width, height);
    const float sx = static_cast<float>(width_) / static_cast<float>(width);
    const float sy = static_cast<float>(height_) / static_cast<float>(height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float x0 = static_cast<float>(x) * sx, x1 = x0 + sx;
            const float y0 = static_cast<float>(y) * sy, y1 = y0 + sy;
            Color sum;
            float total = 0.0f;
            for (int py = static_cast<int>(y0);
                 py < static_cast<int>(std::ceil(y1)) && py < height_; ++py) {
                const float wy =
                    std::min(y1, static_cast<float>(py + 1)) - std::max(y0, static_cast<float>(py));
                for (int px = static_cast<int>(x0);
                     px < static_cast<int>(std::ceil(x1)) && px < width_; ++px) {
                    const float wx = std::min(x1, static_cast<float>(px + 1)) -
                                     std::max(x0, static_cast<float>(px));
                    sum += Color::FromRgb(At(px, py)) * (wx * wy);
                    total += wx * wy;
                }
            }
            out.Set(x, y, AwayFromKey((sum * (1.0f / total)).ToRgb()));
        }
    return out;
}

Picture Picture::Enlarged(int factor) const {
    Picture big(width_ * factor, height_ * factor);
    for (int y = 0; y < big.height_; ++y)
        for (int x = 0; x < big.width_; ++x)
            big.Set(x, y, At(x / factor, y / factor));
    return big;
}

bool IsNearKey(std::uint32_t rgb) {
    const int r = static_cast<int>((rgb >> 16) & 0xFF);
    const int g = static_cast<int>((rgb >> 8) & 0xFF);
    const int b = static_cast<int>(rgb & 0xFF);
    return rgb != kColorKey && r <= 48 && b <= 48 && g >= 200;
}

std::uint32_t AwayFromKey(std::uint32_t rgb) {
    if (rgb != kColorKey && !IsNearKey(rgb))
        return rgb;
    // A painted pixel this green is an accident of blending: give it enough red and blue to
    // read as a strong leaf green rather than the key.
    return (56u << 16) | (rgb & 0x00FF00) | 56u;
}

Picture JoinCells(const std::vector<Picture>& cells) {
    if (cells.empty())
        throw std::logic_error("a sheet needs cells");
    const int w = cells[0].Width();
    const int h = cells[0].Height();
    Picture sheet(w * static_cast<int>(cells.size()), h);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].Width() != w || cells[i].Height() != h)
            throw std::logic_error("cells of a sheet differ in size");
        sheet.Paste(cells[i], static_cast<int>(i) * w, 0, false);
    }
    return sheet;
}

}  // namespace art
