// SPDX-License-Identifier: MIT
#pragma once
// Pictures built into the program: painted at build time, stored as pixel arrays.

#include <cstdint>

struct EmbeddedPicture {
    int width;
    int height;
    const std::uint32_t* pixels;  // rows from the top, 0x00RRGGBB
};

extern const EmbeddedPicture kPreviewPicture;        // 151 x 119: the preview window's still
extern const EmbeddedPicture kBannerPicture;         // 235 x 142: the settings dialog's banner
extern const EmbeddedPicture kFriendButtonPicture;   // 103 x 19: "tell a friend" button
extern const EmbeddedPicture kWebsiteButtonPicture;  // 86 x 17: web-site link button
extern const EmbeddedPicture kIconPicture;           // 32 x 32, 16 colours: the program's icon
