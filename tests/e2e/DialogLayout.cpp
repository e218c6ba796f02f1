// SPDX-License-Identifier: MIT
#include "tests/e2e/DialogLayout.h"

#include <sstream>

Controls ControlsIn(const std::string& text) {
    Controls values(6);
    const char* keys[] = {"lights",     "chimneysmoke", "snowing",
                          "lightspeed", "smokespeed",   "snowspeed"};
    std::istringstream lines(text);
    std::string line;
    std::string section;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            section = line;
            continue;
        }
        const auto equals = line.find('=');
        if (section != "[controls]" || equals == std::string::npos)
            continue;
        for (int i = 0; i < 6; ++i) {
            if (line.substr(0, equals) == keys[i])
                values[i] = line.substr(equals + 1);
        }
    }
    return values;
}

Point CenterOf(int left, int top, int width, int height, bool inFrame) {
    const int x = (inFrame ? Px(140) : 0) + Px(left) + Px(width) / 2;
    const int y = (inFrame ? Px(2610) : 0) + Px(top) + Px(height) / 2;
    return {x, y};
}

ScrollBarPlaces ScrollBarAt(int top) {
    const int x = Px(140) + Px(1920);
    const int y = Px(2610) + Px(top) + Px(135) / 2;
    const int w = Px(1095);
    const int h = Px(135);
    return {{x + h / 2, y}, {x + w - 1 - h / 2, y}, {x + h + 2, y}, {x + w - h - 3, y}};
}

void MakeTheChanges(const std::function<void(Point at, int times)>& click) {
    click(kCheckLights, 1);
    click(kCheckSnowing, 1);
    click(kLightsBar.rightArrow, 3);
    click(kSmokeBar.troughLeftEnd, 1);
    click(kSnowBar.leftArrow, 2);
    click(kSnowBar.troughRightEnd, 1);
}
