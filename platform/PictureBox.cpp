// SPDX-License-Identifier: MIT
#include "platform/PictureBox.h"

#include <algorithm>

#include "platform/HostServices.h"

PictureBox::PictureBox(Form& form, Control* container, std::string name)
    : Control(form, container, std::move(name), ControlKind::PictureBox) {}

PictureBox::~PictureBox() {
    FreeImage();
}

void PictureBox::SetPicture(const ImageData& picture, bool autoSize) {
    FreeImage();
    m_picture = picture;
    if (autoSize) {
        Place(Left(), Top(), picture.width * Host().TwipsPerPixelX(),
              picture.height * Host().TwipsPerPixelY());
    }
}

HDC PictureBox::hDC() {
    if (m_hDC != 0)
        return m_hDC;
    const Long twipsPerPixelX = Host().TwipsPerPixelX();
    const Long twipsPerPixelY = Host().TwipsPerPixelY();
    const int width = twipsPerPixelX > 0 ? Width() / twipsPerPixelX : 0;
    const int height = twipsPerPixelY > 0 ? Height() / twipsPerPixelY : 0;
    if (width <= 0 || height <= 0)
        return 0;

    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height, m_backColor);
    if (m_picture.pixels != nullptr) {
        const int w = std::min(width, m_picture.width);
        const int h = std::min(height, m_picture.height);
        for (int y = 0; y < h; ++y) {
            std::copy_n(m_picture.pixels + static_cast<size_t>(y) * m_picture.width, w,
                        pixels.begin() + static_cast<size_t>(y) * width);
        }
    }
    m_hBmp = gdi::CreateBitmapFromPixels(width, height, pixels.data(), width);
    if (m_hBmp == 0)
        return 0;
    m_hDC = CreateCompatibleDC(0);
    if (m_hDC == 0) {
        DeleteObject(m_hBmp);
        m_hBmp = 0;
        return 0;
    }
    m_hBmpOld = SelectObject(m_hDC, m_hBmp);
    return m_hDC;
}

void PictureBox::FreeImage() {
    if (m_hDC != 0) {
        SelectObject(m_hDC, m_hBmpOld);
        DeleteDC(m_hDC);
        m_hDC = 0;
    }
    if (m_hBmp != 0) {
        DeleteObject(m_hBmp);
        m_hBmp = 0;
    }
}
