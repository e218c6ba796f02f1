// SPDX-License-Identifier: MIT
#pragma once
// Writing finished pictures: Windows bitmaps for the data folder, PNG files for looking at,
// and the C++ source that builds pictures into the program.

#include <string>
#include <utility>
#include <vector>

#include "art/picture.h"

namespace art {

// A 24-bit bottom-up bitmap with a BITMAPINFOHEADER. Throws std::runtime_error on failure.
void WriteBmp(const std::string& path, const Picture& picture);
// A PNG file. Throws std::runtime_error on failure.
void WritePng(const std::string& path, const Picture& picture);
// A Windows icon file holding one 32-bit image of the picture, every pixel opaque. Throws
// std::runtime_error on failure.
void WriteIcon(const std::string& path, const Picture& picture);
// A source file defining one EmbeddedPicture per entry (name, picture).
void WriteEmbeddedSource(const std::string& path,
                         const std::vector<std::pair<std::string, Picture>>& pictures);

}  // namespace art
