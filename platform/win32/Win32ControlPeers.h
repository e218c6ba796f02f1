// SPDX-License-Identifier: MIT
#pragma once
// The system's controls behind a form's controls on Windows.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ImageData.h"
#include "platform/Rect.h"
#include "platform/system.h"

class Control;
class ControlPeer;

namespace win32_controls {

// How many times larger the controls' pictures are shown at a density: the dots per inch over
// 96, rounded down, at least 1 (150 % gives 1, 200 % gives 2), so that the pictures keep their
// share of a dialog laid out at that density and stay crisp.
int PictureScale(int dotsPerInch);

// A picture with every pixel repeated as a scale x scale block, cut around its centre to at
// most maxWidth x maxHeight (the place it is shown in).
struct ScaledPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};
ScaledPicture ScalePicture(const ImageData& picture, int scale, int maxWidth, int maxHeight);

// Makes the system control for a control as a child of the form's window, at its place in the
// window's client area (pixels), its picture (if any) shown at pictureScale. Controls without a
// system control (timers, hidden picture boxes) give null.
std::unique_ptr<ControlPeer> MakePeer(Control& control, HWND parent, HFONT font, const Rect& place,
                                      int pictureScale);

// A command from a control of the form (a button was pressed): true when it was one of ours.
bool HandleCommand(WPARAM wParam, LPARAM lParam);
// A scroll bar of the form was moved: true when it was one of ours.
bool HandleScroll(WPARAM wParam, LPARAM lParam);

}  // namespace win32_controls
