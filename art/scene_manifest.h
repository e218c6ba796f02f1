// SPDX-License-Identifier: MIT
#pragma once
// The scene's manifest: the fourteen picture files of the data folder, how their sheets are cut
// into cells, where the scene places the light strings and the smoke over the landscape, and
// the sizes and fixed points the pictures meet by. The painter paints by it, the scene loads and
// places its sprites by it, and the tests check both against it. Plain constants only, so that
// every part of the program can include it.
//
// Positions are in landscape pixels, measured from its top-left corner. Every picture file name
// stands here once, as a quoted literal ending in ".bmp": the build reads the list of pictures
// to paint from this file (art/CMakeLists.txt).

namespace art {

// --- The pictures without cells --------------------------------------------------------------
inline constexpr const char* kSkyPicture = "fwbackground.bmp";
inline constexpr const char* kLandscapePicture = "landscape.bmp";
inline constexpr const char* kExtensionPicture = "extension.bmp";  // the ground strip
inline constexpr const char* kSnowflakePicture = "snow.bmp";

inline constexpr int kLandscapeWidth = 800;
inline constexpr int kLandscapeHeight = 340;
inline constexpr int kExtensionWidth = 800;  // one period of the ground
inline constexpr int kExtensionHeight = 300;
inline constexpr int kSnowflakeSize = 7;

// --- The chimney smoke: one sheet of cells in a row, played as a loop -------------------------
inline constexpr const char* kSmokePicture = "smoke.bmp";
inline constexpr int kSmokeCells = 135;
inline constexpr int kSmokeCellWidth = 72;
inline constexpr int kSmokeCellHeight = 112;
// The smoke sheet's bottom-left corner stands on the chimney's top.
inline constexpr int kChimneyTopX = 224;
inline constexpr int kChimneyTopY = 71;

// --- The nine light strings: one sheet each, its cells in a row, swept up and down ------------
inline constexpr int kLightCells = 52;

struct LightString {
    const char* file;
    int x;  // top-left corner of a cell over the landscape
    int y;
    int startCell;  // the cell the sweep starts at (1-based)
    bool rising;    // whether the sweep starts upwards
};

// The strings by name, in the order the scene draws them.
enum LightStringIndex {
    kRedLight,
    kRedBottomLight,
    kBlueLight,
    kYellowLight,
    kYellowBottomLight,
    kGreenLight,
    kWhiteLight,
    kPurpleLight,
    kPurpleBottomLight,
    kLightStringCount
};

inline constexpr LightString kLightStrings[kLightStringCount] = {
    {"redlight.bmp", 670, 141, 1, true},           {"redbottomlight.bmp", 649, 183, 36, true},
    {"bluelight.bmp", 664, 163, 48, true},         {"yellowlight.bmp", 670, 106, 28, false},
    {"yellowbottomlight.bmp", 658, 208, 12, true}, {"greenlight.bmp", 662, 89, 24, true},
    {"whitelight.bmp", 651, 137, 16, false},       {"purplelight.bmp", 652, 119, 40, false},
    {"purplebottomlight.bmp", 679, 198, 4, false},
};

// --- All fourteen, with their cell counts ------------------------------------------------------
struct ScenePicture {
    const char* file;
    int cells;  // side by side in one row
};

inline constexpr int kScenePictureCount = 14;
inline constexpr ScenePicture kScenePictures[kScenePictureCount] = {
    {kSkyPicture, 1},
    {kLandscapePicture, 1},
    {kExtensionPicture, 1},
    {kSnowflakePicture, 1},
    {kLightStrings[kRedLight].file, kLightCells},
    {kLightStrings[kRedBottomLight].file, kLightCells},
    {kLightStrings[kBlueLight].file, kLightCells},
    {kLightStrings[kYellowLight].file, kLightCells},
    {kLightStrings[kYellowBottomLight].file, kLightCells},
    {kLightStrings[kGreenLight].file, kLightCells},
    {kLightStrings[kWhiteLight].file, kLightCells},
    {kLightStrings[kPurpleLight].file, kLightCells},
    {kLightStrings[kPurpleBottomLight].file, kLightCells},
    {kSmokePicture, kSmokeCells},
};

// The tree the strings hang on: trunk axis and the tip of its top tier.
inline constexpr float kTreeCenterX = 703.0f;
inline constexpr float kTreeTipY = 75.0f;

}  // namespace art
