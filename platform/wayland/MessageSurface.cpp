// SPDX-License-Identifier: MIT
#include "platform/wayland/MessageSurface.h"

#include <wayland-client.h>

#include <algorithm>
#include <cmath>

#include "art/canvas.h"
#include "art/pixel_font.h"
#include "platform/wayland/ShmBuffer.h"
#include "platform/wayland/WaylandHost.h"
#include "platform/wayland/WaylandSurface.h"

namespace {

// The box's design, in logical pixels: the pixel font at twice its size.
constexpr int kFontScale = 2;
constexpr int kMargin = 16;
constexpr int kIconSize = 36;
constexpr int kTextWidth = 380;
constexpr int kLineGap = 6;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kTitleGap = 10;

const art::Color kFace = art::Color::FromRgb(0xECECEC);
const art::Color kFrame = art::Color::FromRgb(0x707070);
const art::Color kInk = art::Color::FromRgb(0x000000);
const art::Color kTitleInk = art::Color::FromRgb(0x303030);
const art::Color kIconFace = art::Color::FromRgb(0xFAC828);
const art::Color kButtonFace = art::Color::FromRgb(0xDADADA);

void FillRectangle(art::Canvas& canvas, int x, int y, int w, int h, const art::Color& colour) {
    for (int row = std::max(y, 0); row < std::min(y + h, canvas.Height()); ++row) {
        for (int column = std::max(x, 0); column < std::min(x + w, canvas.Width()); ++column)
            canvas.Set(column, row, colour);
    }
}

void FrameRectangle(art::Canvas& canvas, int x, int y, int w, int h, int thickness,
                    const art::Color& colour) {
    FillRectangle(canvas, x, y, w, thickness, colour);
    FillRectangle(canvas, x, y + h - thickness, w, thickness, colour);
    FillRectangle(canvas, x, y, thickness, h, colour);
    FillRectangle(canvas, x + w - thickness, y, thickness, h, colour);
}

int LineHeight(int fontScale) {
    return art::PixelFont::kHeight * fontScale + kLineGap * fontScale / kFontScale;
}

}  // namespace

// Where everything goes, in logical pixels.
struct MessageSurface::Layout {
    std::string title;
    std::vector<std::string> lines;
    bool exclamation = false;
    int width = 0;
    int height = 0;
    int textLeft = 0;
    int textTop = 0;
    int buttonTop = 0;

    Layout(const std::string& text, const std::string& titleText, bool icon)
        : title(titleText), lines(Wrap(text, kTextWidth, kFontScale)), exclamation(icon) {
        const int iconRoom = icon ? kIconSize + kMargin : 0;
        textLeft = kMargin + iconRoom;
        textTop = kMargin + LineHeight(kFontScale) + kTitleGap;
        const int textHeight =
            std::max(static_cast<int>(lines.size()) * LineHeight(kFontScale), icon ? kIconSize : 0);
        width = textLeft + kTextWidth + kMargin;
        buttonTop = textTop + textHeight + kMargin;
        height = buttonTop + kButtonHeight + kMargin;
    }
};

MessageSurface::MessageSurface(WaylandHost& host, WaylandOutput& output, const std::string& text,
                               const std::string& title, bool exclamation)
    : m_host(host) {
    const Layout layout(text, title, exclamation);
    m_surface = std::make_unique<WaylandSurface>(host, output, WaylandSurface::Role::Message, this,
                                                 layout.width, layout.height);
    if (!m_surface->Map())
        return;
    m_buffer = ShmBuffer::Create(host.Globals().shm, m_surface->PixelWidth(),
                                 m_surface->PixelHeight(), nullptr, 0);
    if (!m_buffer)
        return;
    Paint(layout);
    wl_surface_attach(m_surface->Surface(), m_buffer->Buffer(), 0, 0);
    wl_surface_damage_buffer(m_surface->Surface(), 0, 0, m_buffer->Width(), m_buffer->Height());
    wl_surface_commit(m_surface->Surface());
    m_shown = true;
}

bool MessageSurface::Shown() const {
    return m_shown && !m_surface->Closed();
}

MessageSurface::~MessageSurface() {
    m_buffer.reset();
    m_surface.reset();
}

std::vector<std::string> MessageSurface::Wrap(const std::string& text, int width, int fontScale) {
    std::vector<std::string> lines;
    std::string line;
    auto fits = [&](const std::string& candidate) {
        return art::PixelFont::Measure(candidate, fontScale) <= width;
    };
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find(' ', at), text.size());
        std::string word = text.substr(at, end - at);
        at = end + 1;
        if (word.empty())
            continue;
        if (!line.empty() && fits(line + " " + word)) {
            line += " " + word;
            continue;
        }
        if (!line.empty())
            lines.push_back(line);
        line.clear();
        // A word wider than a whole line goes in pieces.
        while (word.size() > 1 && !fits(word)) {
            size_t take = word.size() - 1;
            while (take > 1 && !fits(word.substr(0, take)))
                --take;
            lines.push_back(word.substr(0, take));
            word = word.substr(take);
        }
        line = word;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

void MessageSurface::Paint(const Layout& layout) {
    const int width = m_buffer->Width();
    const int height = m_buffer->Height();
    // Buffer pixels per logical pixel, and the pixel font at the nearest whole size.
    const double density = static_cast<double>(width) / layout.width;
    const int font = std::max(1, static_cast<int>(std::lround(kFontScale * density)));
    auto at = [&](int logical) { return static_cast<int>(std::lround(logical * density)); };

    art::Canvas canvas(width, height, kFace);
    FrameRectangle(canvas, 0, 0, width, height, std::max(1, at(1)), kFrame);
    art::PixelFont::Draw(canvas, at(kMargin), at(kMargin), layout.title, kTitleInk, font);
    if (layout.exclamation) {
        const int size = at(kIconSize);
        const float radius = static_cast<float>(size) / 2.0f;
        const float cx = static_cast<float>(at(kMargin)) + radius;
        const float cy = static_cast<float>(at(layout.textTop)) + radius;
        canvas.Fill(art::Mask::Disc(cx, cy, radius), kIconFace);
        const int markScale = font * 2;
        const int markWidth = art::PixelFont::Measure("!", markScale);
        art::PixelFont::Draw(canvas, static_cast<int>(cx) - markWidth / 2,
                             static_cast<int>(cy) - art::PixelFont::kAscent * markScale / 2, "!",
                             kInk, markScale);
    }
    for (size_t i = 0; i < layout.lines.size(); ++i) {
        const int top = at(layout.textTop) + static_cast<int>(i) * LineHeight(font);
        art::PixelFont::Draw(canvas, at(layout.textLeft), top, layout.lines[i], kInk, font);
    }
    const int buttonLeft = at((layout.width - kButtonWidth) / 2);
    const int buttonTop = at(layout.buttonTop);
    FillRectangle(canvas, buttonLeft, buttonTop, at(kButtonWidth), at(kButtonHeight), kButtonFace);
    FrameRectangle(canvas, buttonLeft, buttonTop, at(kButtonWidth), at(kButtonHeight),
                   std::max(1, at(1)), kFrame);
    const int okWidth = art::PixelFont::Measure("OK", font);
    art::PixelFont::Draw(canvas, buttonLeft + (at(kButtonWidth) - okWidth) / 2,
                         buttonTop + (at(kButtonHeight) - art::PixelFont::kAscent * font) / 2, "OK",
                         kInk, font);

    std::uint32_t* pixels = m_buffer->Pixels();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<size_t>(y) * static_cast<size_t>(m_buffer->Stride()) +
                   static_cast<size_t>(x)] = canvas.ColorAt(x, y).ToRgb();
        }
    }
}

void MessageSurface::KeyPressed(Integer, Integer) {
    m_host.AnswerMessage();
}

void MessageSurface::ButtonPressed(Integer, Integer, double, double) {
    m_host.AnswerMessage();
}

void MessageSurface::CloseRequested() {
    m_host.AnswerMessage();
}
