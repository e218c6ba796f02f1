// SPDX-License-Identifier: MIT
#pragma once
// A picture box with a retained image: its DC yields its picture even while the form is hidden,
// because the picture is kept in an off-screen surface of the box's size.

#include <vector>

#include "platform/Control.h"
#include "platform/ImageData.h"
#include "platform/gdi.h"

class PictureBox : public Control, public RenderObject {
  public:
    PictureBox(Form& form, Control* container, std::string name);
    ~PictureBox() override;

    // Puts the picture at the box's top-left corner; with autoSize the box takes its size.
    void SetPicture(const ImageData& picture, bool autoSize);
    const ImageData& Picture() const { return m_picture; }
    // The colour the retained image shows where the picture does not reach (0x00RRGGBB).
    void SetBackColor(std::uint32_t rgb) { m_backColor = rgb; }

    // The retained image's DC, made on first use; 0 when it cannot be made.
    HDC hDC() override;
    float ScaleWidth() override { return static_cast<float>(Width()); }
    float ScaleHeight() override { return static_cast<float>(Height()); }

  private:
    void FreeImage();

    ImageData m_picture;
    std::uint32_t m_backColor = 0xFFFFFF;
    HDC m_hDC = 0;
    HBITMAP m_hBmp = 0;
    HGDIOBJ m_hBmpOld = 0;
};
