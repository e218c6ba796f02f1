// SPDX-License-Identifier: MIT
// Writing pictures: bitmaps and PNG files read back as painted, and the source of the
// built-in pictures.

#include "art/picture_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "picture_file.h"

namespace art {
namespace {

class PictureIo : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("glimmerdel-picture-io-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        // Five pixels across: each bitmap row needs one byte of padding.
        picture_ = Picture(5, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                picture_.Set(x, y, static_cast<std::uint32_t>(x * 0x330000 + y * 0x004400 + 0x11));
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Read(const std::string& name) const {
        std::ifstream f(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    void ExpectDecodesToPicture(const std::string& name) const {
        const art_test::PictureFile file = art_test::ReadPictureFile((dir_ / name).string());
        ASSERT_TRUE(file.ok) << file.problem;
        ASSERT_EQ(file.width, 5);
        ASSERT_EQ(file.height, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(file.At(x, y), picture_.At(x, y)) << name << " " << x << "," << y;
    }

    std::filesystem::path dir_;
    Picture picture_;
};

TEST_F(PictureIo, BitmapsAndPngFilesReadBackAsPainted) {
    WriteBmp((dir_ / "p.bmp").string(), picture_);
    const art_test::PictureFile bmp = art_test::ReadPictureFile((dir_ / "p.bmp").string());
    EXPECT_EQ(bmp.bitsPerPixel, 24);
    EXPECT_TRUE(bmp.sizeMatchesPaddedRows);
    EXPECT_TRUE(bmp.bottomUp);
    ExpectDecodesToPicture("p.bmp");
    WritePng((dir_ / "p.png").string(), picture_);
    ExpectDecodesToPicture("p.png");
    EXPECT_THROW(WriteBmp((dir_ / "missing" / "p.bmp").string(), picture_), std::runtime_error);
}

TEST_F(PictureIo, EmbeddedSourceDefinesEachPictureWithItsPixels) {
    WriteEmbeddedSource((dir_ / "e.cpp").string(),
                        {{"kFirst", picture_}, {"kSecond", Picture(1, 1, 0xABCDEF)}});
    const std::string src = Read("e.cpp");
    EXPECT_NE(src.find("#include \"art/embedded_pictures.h\""), std::string::npos);
    EXPECT_NE(src.find("const EmbeddedPicture kFirst = {5, 3, kFirstPixels};"), std::string::npos);
    EXPECT_NE(src.find("const EmbeddedPicture kSecond = {1, 1, kSecondPixels};"),
              std::string::npos);
    EXPECT_NE(src.find("kFirstPixels[15]"), std::string::npos);
    EXPECT_NE(src.find("0xABCDEF"), std::string::npos);
    EXPECT_NE(src.find("0x994411"), std::string::npos);  // x = 3, y = 1
}

}  // namespace
}  // namespace art
