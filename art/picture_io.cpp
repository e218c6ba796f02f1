// SPDX-License-Identifier: MIT
#include "art/picture_io.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <stb/stb_image_write.h>

namespace art {
namespace {

void Put16(std::vector<unsigned char>& out, size_t at, std::uint32_t v) {
    out[at] = static_cast<unsigned char>(v & 0xFF);
    out[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

void Put32(std::vector<unsigned char>& out, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteBmp(const std::string& path, const Picture& picture) {
    const int w = picture.Width();
    const int h = picture.Height();
    const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t dataSize = rowBytes * static_cast<size_t>(h);
    std::vector<unsigned char> out(54 + dataSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<std::uint32_t>(out.size()));
    Put32(out, 10, 54);  // offset of the pixels
    Put32(out, 14, 40);  // BITMAPINFOHEADER
    Put32(out, 18, static_cast<std::uint32_t>(w));
    Put32(out, 22, static_cast<std::uint32_t>(h));  // positive: rows from the bottom
    Put16(out, 26, 1);                              // planes
    Put16(out, 28, 24);                             // bits per pixel
    Put32(out, 34, static_cast<std::uint32_t>(dataSize));
    Put32(out, 38, 2835);  // 72 dpi
    Put32(out, 42, 2835);
    for (int y = 0; y < h; ++y) {
        unsigned char* row = &out[54 + rowBytes * static_cast<size_t>(h - 1 - y)];
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = picture.At(x, y);
            row[x * 3 + 0] = static_cast<unsigned char>(p & 0xFF);
            row[x * 3 + 1] = static_cast<unsigned char>((p >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<unsigned char>((p >> 16) & 0xFF);
        }
    }
    WriteFile(path, std::string(out.begin(), out.end()));
}

void WritePng(const std::string& path, const Picture& picture) {
    std::vector<unsigned char> rgb(static_cast<size_t>(picture.Width()) * picture.Height() * 3);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const std::uint32_t p = picture.At(x, y);
            unsigned char* d = &rgb[(static_cast<size_t>(y) * picture.Width() + x) * 3];
            d[0] = static_cast<unsigned char>((p >> 16) & 0xFF);
            d[1] = static_cast<unsigned char>((p >> 8) & 0xFF);
            d[2] = static_cast<unsigned char>(p & 0xFF);
        }
    if (!stbi_write_png(path.c_str(), picture.Width(), picture.Height(), 3, rgb.data(),
                        picture.Width() * 3))
        throw std::runtime_error("cannot write " + path);
}

void WriteIcon(const std::string& path, const Picture& picture) {
    const int w = picture.Width();
    const int h = picture.Height();
    if (w < 1 || h < 1 || w > 256 || h > 256)
        throw std::runtime_error("an icon is 1 to 256 pixels a side: " + path);
    const size_t maskRow = ((static_cast<size_t>(w) + 31) / 32) * 4;
    const size_t imageBytes = 40 + static_cast<size_t>(w) * h * 4 + maskRow * h;
    std::string out;
    auto put16 = [&](unsigned v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    // The directory: one entry.
    put16(0);
    put16(1);
    put16(1);
    out.push_back(static_cast<char>(w == 256 ? 0 : w));
    out.push_back(static_cast<char>(h == 256 ? 0 : h));
    out.push_back(0);  // no palette
    out.push_back(0);
    put16(1);   // planes
    put16(32);  // bits per pixel
    put32(static_cast<std::uint32_t>(imageBytes));
    put32(6 + 16);
    // The image: a bitmap header of twice the height (colour rows, then the mask), rows from
    // the bottom, blue-green-red-alpha.
    put32(40);
    put32(static_cast<std::uint32_t>(w));
    put32(static_cast<std::uint32_t>(h * 2));
    put16(1);
    put16(32);
    for (int i = 0; i < 6; ++i)
        put32(0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t rgb = picture.At(x, y);
            out.push_back(static_cast<char>(rgb & 0xFF));
            out.push_back(static_cast<char>((rgb >> 8) & 0xFF));
            out.push_back(static_cast<char>((rgb >> 16) & 0xFF));
            out.push_back(static_cast<char>(0xFF));
        }
    }
    out.append(maskRow * h, '\0');  // every pixel opaque
    WriteFile(path, out);
}

void WriteEmbeddedSource(const std::string& path,
                         const std::vector<std::pair<std::string, Picture>>& pictures) {
    std::ostringstream src;
    src << "// Painted at build time by glimmerdel-art: do not edit.\n"
        << "#include \"art/embedded_pictures.h\"\n\nnamespace {\n";
    for (const auto& [name, picture] : pictures) {
        src << "\nconst std::uint32_t " << name << "Pixels[" << picture.Pixels().size() << "] = {";
        char hex[16];
        size_t column = 0;
        for (std::uint32_t p : picture.Pixels()) {
            if (column++ % 8 == 0)
                src << "\n   ";
            std::snprintf(hex, sizeof hex, " 0x%06X,", static_cast<unsigned>(p));
            src << hex;
        }
        src << "\n};\n";
    }
    src << "\n}  // namespace\n\n";
    for (const auto& [name, picture] : pictures)
        src << "const EmbeddedPicture " << name << " = {" << picture.Width() << ", "
            << picture.Height() << ", " << name << "Pixels};\n";
    WriteFile(path, src.str());
}

}  // namespace art
