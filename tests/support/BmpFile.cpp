// SPDX-License-Identifier: MIT
#include "tests/support/BmpFile.h"

namespace {

void Put16(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::string EncodeBmp(const BmpPicture& picture) {
    const int bits = picture.bitsPerPixel;
    const std::uint32_t rowBytes =
        ((static_cast<std::uint32_t>(picture.width) * bits + 31) / 32) * 4;
    const std::uint32_t paletteBytes =
        bits <= 8 ? static_cast<std::uint32_t>(picture.palette.size()) * 4 : 0;
    const std::uint32_t offset = 14 + 40 + paletteBytes;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(picture.height);

    std::string out;
    out += "BM";
    Put32(out, offset + imageBytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(picture.width));
    Put32(out, static_cast<std::uint32_t>(picture.topDown ? -picture.height : picture.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bits));
    Put32(out, 0);  // no compression
    Put32(out, imageBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<std::uint32_t>(picture.palette.size()));
    Put32(out, 0);
    for (std::uint32_t colour : picture.palette)
        Put32(out, colour);  // B, G, R, 0

    for (int i = 0; i < picture.height; ++i) {
        const int y = picture.topDown ? i : picture.height - 1 - i;
        std::string row;
        std::uint32_t acc = 0;
        int accBits = 0;
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t v = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            switch (bits) {
                case 1:
                case 4:
                case 8:
                    acc = (acc << bits) | v;
                    accBits += bits;
                    if (accBits == 8) {
                        row.push_back(static_cast<char>(acc));
                        acc = 0;
                        accBits = 0;
                    }
                    break;
                case 16:
                    Put16(row,
                          ((v >> 19) & 0x1F) << 10 | ((v >> 11) & 0x1F) << 5 | ((v >> 3) & 0x1F));
                    break;
                case 24:
                    row.push_back(static_cast<char>(v & 0xFF));
                    row.push_back(static_cast<char>((v >> 8) & 0xFF));
                    row.push_back(static_cast<char>((v >> 16) & 0xFF));
                    break;
                default:
                    Put32(row, v | 0xFF000000);
                    break;
            }
        }
        if (accBits > 0)
            row.push_back(static_cast<char>(acc << (8 - accBits)));
        row.resize(rowBytes, '\0');
        out += row;
    }
    return out;
}
