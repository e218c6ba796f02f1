// SPDX-License-Identifier: MIT
#pragma once
// The pictures built into the program: the preview still with the web address, the settings
// dialog's banner, its two button pictures and the program's icon.

#include <string>
#include <utility>
#include <vector>

#include "art/picture.h"
#include "art/still_composer.h"

namespace art {

// The web address as it fits into `width` pixels of the pixel font: whole if it fits, else
// without its scheme and trailing slash, else cut short with dots.
std::string FitWebAddress(const std::string& website, int width);

// Named as in art/embedded_pictures.h, in a fixed order.
std::vector<std::pair<std::string, Picture>> PaintDialogPictures(const ScenePictures& scene,
                                                                 const std::string& website);

}  // namespace art
