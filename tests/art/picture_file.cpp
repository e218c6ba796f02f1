// SPDX-License-Identifier: MIT
#include "picture_file.h"

#include <fstream>
#include <iterator>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace art_test {
namespace {

std::uint32_t Le32(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

std::string DataDir() {
    return std::string(GLIMMERDEL_PROGRAM_DIR) + "/vurezezideriru/glimmerdel/";
}

PictureFile ReadPicture(const std::string& name) {
    return ReadPictureFile(DataDir() + name);
}

PictureFile ReadPictureFile(const std::string& path) {
    PictureFile p;
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    if (bytes.size() < 54) {
        p.problem = path + " is missing";
        return p;
    }
    if (bytes[0] == 'B' && bytes[1] == 'M') {
        p.headerSize = static_cast<int>(Le32(bytes, 14));
        p.bitsPerPixel = bytes[28] | (bytes[29] << 8);
        p.compression = static_cast<int>(Le32(bytes, 30));
        const auto rawHeight = static_cast<std::int32_t>(Le32(bytes, 22));
        p.bottomUp = rawHeight > 0;
        const int w = static_cast<int>(Le32(bytes, 18));
        const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
        const size_t offset = Le32(bytes, 10);
        p.sizeMatchesPaddedRows =
            rawHeight > 0 && bytes.size() == offset + rowBytes * static_cast<size_t>(rawHeight);
    }
    int channels = 0;
    unsigned char* data = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                                &p.width, &p.height, &channels, 3);
    if (!data) {
        p.problem = path + " does not decode";
        return p;
    }
    p.pixels.resize(static_cast<size_t>(p.width) * p.height);
    for (size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = (static_cast<std::uint32_t>(data[i * 3]) << 16) |
                      (static_cast<std::uint32_t>(data[i * 3 + 1]) << 8) | data[i * 3 + 2];
    stbi_image_free(data);
    p.ok = true;
    return p;
}

}  // namespace art_test
