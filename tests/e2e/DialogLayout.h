// SPDX-License-Identifier: MIT
#pragma once
// The settings dialog as the end-to-end tests see it on either system: the six values it saves
// and where its designed controls stand in its window, in pixels at 15 twips to the pixel (the
// controls of Frame1 are placed within it).

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// The six "controls" values: lights, chimneysmoke, snowing, lightspeed, smokespeed, snowspeed.
using Controls = std::vector<std::string>;

// The values of the [controls] keys in a settings file's text (either line break).
Controls ControlsIn(const std::string& text);

struct Point {
    int x, y;
};
constexpr int Px(int twips) {
    return twips / 15;
}
Point CenterOf(int left, int top, int width, int height, bool inFrame);
// A scroll bar's arrows are squares of its height at both ends; the trough lies between.
struct ScrollBarPlaces {
    Point leftArrow, rightArrow, troughLeftEnd, troughRightEnd;
};
ScrollBarPlaces ScrollBarAt(int top);

inline const Point kCheckLights = CenterOf(120, 240, 1695, 375, true);
inline const Point kCheckSmoke = CenterOf(120, 720, 1695, 375, true);
inline const Point kCheckSnowing = CenterOf(120, 1200, 1695, 375, true);
inline const Point kClose = CenterOf(2280, 4440, 1095, 315, false);
inline const ScrollBarPlaces kLightsBar = ScrollBarAt(360);
inline const ScrollBarPlaces kSmokeBar = ScrollBarAt(840);
inline const ScrollBarPlaces kSnowBar = ScrollBarAt(1320);

// The changes every test of the saved values makes, from the values kChangesFrom: tick lights,
// untick snowing, lights three arrow steps right, smoke one trough step left, snow two arrow
// steps left and one trough step right; the dialog then saves kChangesTo. click(at, times)
// clicks a place of the dialog's window that many times.
inline const Controls kChangesFrom{"0", "0", "1", "5", "5", "5"};
inline const Controls kChangesTo{"1", "0", "0", "2", "6", "4"};
void MakeTheChanges(const std::function<void(Point at, int times)>& click);
