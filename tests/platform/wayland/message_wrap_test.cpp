// SPDX-License-Identifier: MIT
// The message box's lines: every line fits the box, words stay whole where they fit a line at
// all, nothing is lost or repeated, and no width (however narrow) makes the wrap loop forever.

#include <gtest/gtest.h>

#include "art/pixel_font.h"
#include "platform/wayland/MessageSurface.h"

namespace {

std::string Joined(const std::vector<std::string>& lines, const char* between) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : between) + line;
    return text;
}

TEST(MessageWrap, LinesFitTheBoxAndKeepEveryWordInOrder) {
    const std::string text =
        "One or more files are missing from application. Please download and re-install the "
        "software from http://www.glimmerdel.example";
    for (const int width : {380, 200, 120}) {
        const std::vector<std::string> lines = MessageSurface::Wrap(text, width, 2);
        ASSERT_GT(lines.size(), 1u) << width;
        for (const std::string& line : lines) {
            EXPECT_LE(art::PixelFont::Measure(line, 2), width) << line;
            EXPECT_FALSE(line.empty());
            EXPECT_NE(line.front(), ' ');
            EXPECT_NE(line.back(), ' ');
        }
        if (width >= art::PixelFont::Measure("http://www.glimmerdel.example", 2)) {
            EXPECT_EQ(Joined(lines, " "), text) << "words cut or lost at width " << width;
        } else {
            // The address is cut where it must be; nothing else changes.
            std::string letters = text;
            std::erase(letters, ' ');
            std::string wrapped = Joined(lines, "");
            std::erase(wrapped, ' ');
            EXPECT_EQ(wrapped, letters) << width;
            EXPECT_EQ(Joined(lines, " ").find("Please download and"), 48u) << width;
        }
    }
}

TEST(MessageWrap, AWordWiderThanTheBoxIsCutAndANarrowBoxEndsToo) {
    const std::string address = "http://www.glimmerdel.example/a/very/long/address";
    const std::vector<std::string> lines = MessageSurface::Wrap(address, 60, 2);
    ASSERT_GT(lines.size(), 1u);
    for (const std::string& line : lines)
        EXPECT_LE(art::PixelFont::Measure(line, 2), 60) << line;
    EXPECT_EQ(Joined(lines, ""), address);
    // Narrower than one letter: a letter a line, and it ends.
    EXPECT_EQ(Joined(MessageSurface::Wrap("abc de", 1, 2), ""), "abcde");
    EXPECT_TRUE(MessageSurface::Wrap("", 100, 2).empty());
    EXPECT_TRUE(MessageSurface::Wrap("   ", 100, 2).empty());
}

}  // namespace
