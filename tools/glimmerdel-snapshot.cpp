// SPDX-License-Identifier: MIT
// Renders the real scene without a display: runs the saver's own set-up and frame loop on a
// virtual screen and clock, and writes what the screen shows as a PNG (a JPEG for .jpg, the
// exact pixels as a PPM for .ppm).
//
//   glimmerdel-snapshot [--folder DIR] [--size WxH] [--frames N] [--seed S] [--step STEP]
//                       --out FILE.png

#include <stb/stb_image_write.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/numbers.h"
#include "platform/posix/posix_env.h"
#include "tools/harness/HeadlessSaver.h"

namespace {

const char* kUsage =
    "usage: glimmerdel-snapshot [--folder DIR] [--size WxH] [--frames N] [--seed S] [--step STEP] "
    "--out FILE.png\n"
    "  DIR   program folder holding the settings file and the data folder (default: the tool's)\n"
    "  WxH   virtual screen size (default 1280x720)\n"
    "  N     frames to run on a virtual clock before the picture (default 0: the first paint)\n"
    "  S     seed of the random generator (default 1); the same seed gives the same picture\n"
    "  STEP  the frame step: planned (the saver's, default) or straight (every sprite redrawn\n"
    "        on every frame); both give the same picture\n"
    "  FILE  .png, .jpg, or .ppm for the exact pixels\n";

[[noreturn]] void Usage(const std::string& problem) {
    std::fprintf(stderr, "glimmerdel-snapshot: %s\n%s", problem.c_str(), kUsage);
    std::exit(2);
}

long WholeNumber(const std::string& text, long low, long high, const char* what) {
    try {
        const double value = TextToNumber(text);
        // The range first: a number outside it may not be cast.
        if (value >= low && value <= high && value == std::trunc(value)) {
            return static_cast<long>(value);
        }
    } catch (const std::exception&) {
    }
    Usage(std::string("bad ") + what + " \"" + text + "\"");
}

struct Options {
    std::string folder = posix_env::ProgramFolder();
    int width = 1280;
    int height = 720;
    long frames = 0;
    unsigned long long seed = 1;
    frmSaver::FrameStep step = frmSaver::FrameStep::Planned;
    std::string out;
};

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (i + 1 >= argc)
            Usage("missing value after " + argument);
        const std::string value = argv[++i];
        if (argument == "--folder") {
            options.folder = value;
        } else if (argument == "--size") {
            const size_t x = value.find('x');
            if (x == std::string::npos)
                Usage("bad size \"" + value + "\"");
            options.width = static_cast<int>(WholeNumber(value.substr(0, x), 1, 16384, "width"));
            options.height = static_cast<int>(WholeNumber(value.substr(x + 1), 1, 16384, "height"));
        } else if (argument == "--frames") {
            options.frames = WholeNumber(value, 0, 100000000, "frame count");
        } else if (argument == "--seed") {
            options.seed =
                static_cast<unsigned long long>(WholeNumber(value, 0, 2147483647, "seed"));
        } else if (argument == "--step") {
            if (value == "planned") {
                options.step = frmSaver::FrameStep::Planned;
            } else if (value == "straight") {
                options.step = frmSaver::FrameStep::Straight;
            } else {
                Usage("bad frame step \"" + value + "\"");
            }
        } else if (argument == "--out") {
            options.out = value;
        } else {
            Usage("unknown option " + argument);
        }
    }
    if (options.out.empty())
        Usage("--out is required");
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);

    HeadlessSaver run(options.folder);
    run.Host().SetScreenPixels(options.width, options.height);
    run.Host().SetSeed(options.seed);
    // Where the saver would show its message, the tool says it and fails.
    run.Host().OnMessageBox([](const HeadlessHost::MessageBoxCall& box) {
        std::fprintf(stderr, "%s\n", box.text.c_str());
        std::exit(1);
    });
    run.Saver().SetFrameStep(options.step);
    if (const std::optional<int> ended = run.Start(options.frames)) {
        std::fprintf(stderr, "glimmerdel-snapshot: the saver ended (status %d)\n", *ended);
        return 1;
    }

    HeadlessBacking* screen = run.Window();
    if (screen == nullptr) {
        std::fprintf(stderr, "glimmerdel-snapshot: nothing was shown\n");
        return 1;
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(screen->Width()) * screen->Height() * 3);
    for (int y = 0; y < screen->Height(); ++y) {
        for (int x = 0; x < screen->Width(); ++x) {
            const std::uint32_t pixel = screen->Pixel(x, y);
            unsigned char* out = &rgb[(static_cast<size_t>(y) * screen->Width() + x) * 3];
            out[0] = static_cast<unsigned char>(pixel >> 16);
            out[1] = static_cast<unsigned char>(pixel >> 8);
            out[2] = static_cast<unsigned char>(pixel);
        }
    }
    const bool ppm =
        options.out.size() > 4 && options.out.compare(options.out.size() - 4, 4, ".ppm") == 0;
    if (ppm) {
        // The exact pixels, for tests that compare screens.
        std::FILE* file = std::fopen(options.out.c_str(), "wb");
        const bool written =
            file != nullptr &&
            std::fprintf(file, "P6\n%d %d\n255\n", screen->Width(), screen->Height()) > 0 &&
            std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
        if (file != nullptr)
            std::fclose(file);
        if (!written) {
            std::fprintf(stderr, "glimmerdel-snapshot: cannot write %s\n", options.out.c_str());
            return 1;
        }
        return 0;
    }
    const bool jpeg =
        options.out.size() > 4 && (options.out.compare(options.out.size() - 4, 4, ".jpg") == 0 ||
                                   options.out.compare(options.out.size() - 4, 4, ".JPG") == 0);
    const int written = jpeg ? stbi_write_jpg(options.out.c_str(), screen->Width(),
                                              screen->Height(), 3, rgb.data(), 90)
                             : stbi_write_png(options.out.c_str(), screen->Width(),
                                              screen->Height(), 3, rgb.data(), screen->Width() * 3);
    if (!written) {
        std::fprintf(stderr, "glimmerdel-snapshot: cannot write %s\n", options.out.c_str());
        return 1;
    }
    return 0;
}
