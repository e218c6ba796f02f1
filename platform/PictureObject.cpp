// SPDX-License-Identifier: MIT
#include "platform/gdi.h"

PictureObject::~PictureObject() {
    if (m_hBitmap != 0)
        DeleteObject(m_hBitmap);
}

std::shared_ptr<PictureObject> PictureObject::FromPixels(int width, int height,
                                                         const std::uint32_t* pixels, int stride) {
    return std::make_shared<PictureObject>(
        gdi::CreateBitmapFromPixels(width, height, pixels, stride));
}
