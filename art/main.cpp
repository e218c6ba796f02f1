// SPDX-License-Identifier: MIT
// glimmerdel-art: paints every picture of the screen saver at build time.
//
//   glimmerdel-art --data-dir DIR --embedded FILE.cpp --website URL
//                  [--still FILE.png [--still-size WxH] [--still-step N]]
//                  [--review-dir DIR] [--icon FILE.ico]
//
// The scene's bitmaps go into the data folder, the pictures built into the program into one
// source file. --still composes the scene as the screen saver shows it into a PNG file, and
// --review-dir writes the built-in pictures enlarged as PNG files, both for looking at. --icon
// writes the program's icon as an icon file (for the Windows resources).

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "art/dialog_pictures.h"
#include "art/landscape_painter.h"
#include "art/light_strings.h"
#include "art/picture_io.h"
#include "art/scene_manifest.h"
#include "art/sky_painter.h"
#include "art/smoke_painter.h"
#include "art/snowflake_painter.h"
#include "art/still_composer.h"

namespace {

struct Options {
    std::string dataDir;
    std::string embedded;
    std::string website = "http://www.glimmerdel.example";
    std::string still;
    int stillWidth = 1920;
    int stillHeight = 1080;
    int stillStep = 40;
    std::string reviewDir;
    std::string icon;
};

[[noreturn]] void Usage(const std::string& problem) {
    std::fprintf(
        stderr,
        "glimmerdel-art: %s\n"
        "usage: glimmerdel-art --data-dir DIR --embedded FILE.cpp --website URL\n"
        "       [--still FILE.png [--still-size WxH] [--still-step N]] [--review-dir DIR]\n"
        "       [--icon FILE.ico]\n",
        problem.c_str());
    std::exit(2);
}

// A whole number from low to high, the whole text; false for anything else.
bool WholeNumber(std::string_view text, int low, int high, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low &&
           value <= high;
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            Usage("missing value after " + arg);
        const std::string value = argv[++i];
        if (arg == "--data-dir") {
            o.dataDir = value;
        } else if (arg == "--embedded") {
            o.embedded = value;
        } else if (arg == "--website") {
            o.website = value;
        } else if (arg == "--still") {
            o.still = value;
        } else if (arg == "--still-size") {
            const size_t x = value.find('x');
            if (x == std::string::npos ||
                !WholeNumber(std::string_view(value).substr(0, x), 1, 8192, o.stillWidth) ||
                !WholeNumber(std::string_view(value).substr(x + 1), 1, 8192, o.stillHeight))
                Usage("bad --still-size " + value);
        } else if (arg == "--still-step") {
            if (!WholeNumber(value, 0, 1000000, o.stillStep))
                Usage("bad --still-step " + value);
        } else if (arg == "--icon") {
            o.icon = value;
        } else if (arg == "--review-dir") {
            o.reviewDir = value;
        } else {
            Usage("unknown option " + arg);
        }
    }
    if (o.dataDir.empty() && o.embedded.empty() && o.still.empty() && o.reviewDir.empty() &&
        o.icon.empty())
        Usage("nothing to do");
    return o;
}

// Sprite sheets must not hold colours next to the key: they would show as harsh green.
void WriteSceneBmp(const std::string& dir, const std::string& name, const art::Picture& p) {
    if (p.CountNearKey() != 0)
        throw std::runtime_error(name + " has opaque pixels too close to the colour key");
    art::WriteBmp(dir + "/" + name, p);
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    try {
        art::ScenePictures scene;
        scene.sky = art::PaintSky();
        const art::Canvas landscape = art::PaintLandscapeCanvas();
        scene.landscape = art::KeyLandscape(landscape);
        scene.extension = art::PaintExtension();
        scene.snowflake = art::PaintSnowflake();
        scene.smoke = art::PaintSmoke();
        scene.lights = art::PaintLightStrings(scene.landscape);

        if (!options.dataDir.empty()) {
            const std::string& d = options.dataDir;
            WriteSceneBmp(d, art::kSkyPicture, scene.sky);
            WriteSceneBmp(d, art::kLandscapePicture, scene.landscape);
            WriteSceneBmp(d, art::kExtensionPicture, scene.extension);
            WriteSceneBmp(d, art::kSnowflakePicture, scene.snowflake);
            WriteSceneBmp(d, art::kSmokePicture, scene.smoke);
            for (const art::LightSheet& s : scene.lights)
                WriteSceneBmp(d, s.file, s.sheet);
        }

        if (!options.embedded.empty() || !options.reviewDir.empty() || !options.icon.empty()) {
            const auto pictures = art::PaintDialogPictures(scene, options.website);
            if (!options.embedded.empty())
                art::WriteEmbeddedSource(options.embedded, pictures);
            for (const auto& [name, picture] : pictures) {
                if (!options.icon.empty() && name == "kIconPicture")
                    art::WriteIcon(options.icon, picture);
            }
            if (!options.reviewDir.empty()) {
                for (const auto& [name, picture] : pictures) {
                    const int factor = picture.Width() < 64 ? 8 : 4;
                    art::WritePng(options.reviewDir + "/" + name + ".png",
                                  picture.Enlarged(factor));
                }
            }
        }

        if (!options.still.empty())
            art::WritePng(options.still, art::ComposeStill(scene, options.stillWidth,
                                                           options.stillHeight, options.stillStep));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "glimmerdel-art: %s\n", e.what());
        return 1;
    }
    return 0;
}
