// Placeholder painter: writes plain pictures of the right sizes until the real art lands.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

void WriteBmp(const std::string& path, int w, int h, std::uint32_t rgb) {
    const int rowBytes = (w * 3 + 3) & ~3;
    const std::uint32_t size = 54 + rowBytes * h;
    std::vector<unsigned char> file(size, 0);
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &file[54 + y * rowBytes + x * 3];
            p[0] = rgb & 0xFF;
            p[1] = (rgb >> 8) & 0xFF;
            p[2] = (rgb >> 16) & 0xFF;
        }
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(file.data()), size);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir, embedded;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--data-dir") dataDir = argv[i + 1];
        if (a == "--embedded") embedded = argv[i + 1];
    }
    WriteBmp(dataDir + "/fwbackground.bmp", 256, 256, 0x101030);
    WriteBmp(dataDir + "/landscape.bmp", 760, 330, 0xF0F0F8);
    WriteBmp(dataDir + "/extension.bmp", 64, 80, 0xF0F0F8);
    WriteBmp(dataDir + "/snow.bmp", 5, 5, 0xFFFFFF);
    for (const char* n : {"redlight", "redbottomlight", "bluelight", "yellowlight",
                          "yellowbottomlight", "greenlight", "whitelight", "purplelight",
                          "purplebottomlight"})
        WriteBmp(dataDir + "/" + n + ".bmp", 52 * 40, 12, 0xFF0000);
    WriteBmp(dataDir + "/smoke.bmp", 135 * 48, 90, 0x00FF00);
    std::FILE* f = std::fopen(embedded.c_str(), "w");
    if (!f) return 1;
    std::fprintf(f, "#include \"art/embedded_pictures.h\"\n");
    const struct { const char* name; int w, h; } pics[] = {{"kPreviewPicture", 151, 119},
        {"kBannerPicture", 235, 142}, {"kFriendButtonPicture", 103, 19},
        {"kWebsiteButtonPicture", 86, 17}, {"kIconPicture", 32, 32}};
    for (auto& p : pics) {
        std::fprintf(f, "static const std::uint32_t %s_px[%d] = {};\n", p.name, p.w * p.h);
        std::fprintf(f, "const EmbeddedPicture %s = {%d, %d, %s_px};\n", p.name, p.w, p.h, p.name);
    }
    std::fclose(f);
    return 0;
}
