// SPDX-License-Identifier: MIT
// The PNG and JPEG writer of the painter and the snapshot tool, compiled once.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
