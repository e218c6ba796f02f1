// SPDX-License-Identifier: MIT
// The image decoder, compiled once for the whole program. Only the bitmap-file reader is built:
// any other format fails to load like a missing file.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_MAX_DIMENSIONS 32767
#include <stb/stb_image.h>
