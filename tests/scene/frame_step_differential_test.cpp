// SPDX-License-Identifier: MIT
// The planned frame step against the straight one: two savers side by side, each on a headless
// host of its own with the same seed and clock, the same settings and pictures, run frame by
// frame; after every frame their windows must hold the same pixels.
//
// At the smallest size every frame's window is compared whole. At the larger sizes every frame
// compares every place a sprite was drawn at in this frame or the last (where any window pixel
// can change), and the whole window every 250 frames and at the end.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gfx/cSprite.h"
#include "platform/Rect.h"
#include "tools/harness/HeadlessSaver.h"
#include "tools/harness/SceneFolder.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr long kFrames = 1000;  // the sanitizers' build runs the same frames ten times slower
#elif defined(_WIN32)
constexpr long kFrames = 500;  // each of the system's block transfers costs far more under Wine
#else
constexpr long kFrames = 10000;
#endif
constexpr long kFullCompareEvery = 250;
constexpr std::uint32_t kStartTick = 123456;

struct Settings {
    const char* name;
    const char* lights;
    const char* smoke;
    const char* snow;
    const char* lightSpeed;
    const char* smokeSpeed;
    const char* snowSpeed;
};

struct Size {
    int width;
    int height;
    bool everyFrameWhole;
};

void PrintTo(const Settings& settings, std::ostream* out) {
    *out << settings.name;
}
void PrintTo(const Size& size, std::ostream* out) {
    *out << size.width << " x " << size.height;
}

// A saver on a host of its own, with the seed and the clock that every run of the test shares;
// its host is installed whenever it runs.
class SaverRun {
  public:
    SaverRun(const std::string& folder, const Size& size, frmSaver::FrameStep step)
        : m_run(folder) {
        m_run.Host().SetScreenPixels(size.width, size.height);
        m_run.Host().SetSeed(20261207);
        m_run.Host().SetTickCount(kStartTick);
        m_run.Saver().SetFrameStep(step);
        EXPECT_EQ(m_run.Start(0), std::nullopt);
    }

    void Frame() { m_run.RunFrames(1); }
    const frmSaver& Saver() { return m_run.Saver(); }
    HeadlessBacking& Window() { return *m_run.Window(); }
    std::uint32_t Tick() { return m_run.Host().GetTickCount(); }

  private:
    HeadlessSaver m_run;
};

struct Place {
    int x;
    int y;
    int width;
    int height;
};

// Every place where a sprite of the saver was drawn in this frame or the one before.
void DrawnPlaces(const frmSaver& saver, std::vector<Place>& places) {
    places.clear();
    auto add = [&](const cSprite* sprite) {
        if (sprite == nullptr || !sprite->Active())
            return;
        places.push_back({sprite->X(), sprite->Y(), sprite->Width(), sprite->Height()});
        places.push_back(
            {sprite->PreviousX(), sprite->PreviousY(), sprite->Width(), sprite->Height()});
    };
    for (int i = 0; i < frmSaver::kSnowflakes; ++i)
        add(saver.Snowflake(i));
    for (int i = 0; i < frmSaver::kLightStrings; ++i)
        add(saver.LightString(i));
    add(saver.Smoke());
}

// The first pixel where two windows of the same size differ within a rectangle, as text, or
// empty when they agree.
std::string Differ(HeadlessBacking& a, HeadlessBacking& b, int x, int y, int width, int height) {
    const Rect clip = Rect{x, y, width, height}.ClipTo(a.Width(), a.Height());
    if (clip.Empty())
        return "";
    const int x0 = clip.x;
    const int y0 = clip.y;
    const int x1 = clip.x + clip.width;
    const int y1 = clip.y + clip.height;
    const std::uint32_t* pa = a.Pixels();
    const std::uint32_t* pb = b.Pixels();
    const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * 4;
    for (int row = y0; row < y1; ++row) {
        const std::size_t at = static_cast<std::size_t>(row) * a.Stride() + x0;
        if (std::memcmp(pa + at, pb + at, bytes) == 0)
            continue;
        for (int col = x0; col < x1; ++col) {
            const std::size_t i = static_cast<std::size_t>(row) * a.Stride() + col;
            if (pa[i] != pb[i]) {
                return "pixel (" + std::to_string(col) + ", " + std::to_string(row) +
                       "): straight " + std::to_string(pa[i]) + ", planned " +
                       std::to_string(pb[i]);
            }
        }
    }
    return "";
}

class FrameStepDifferential : public ::testing::TestWithParam<std::tuple<Settings, Size>> {
  protected:
    static std::vector<std::string> Controls(const Settings& s) {
        return {s.lights, s.smoke, s.snow, s.lightSpeed, s.smokeSpeed, s.snowSpeed};
    }

    SceneFolder m_folder{Controls(std::get<0>(GetParam()))};
};

TEST_P(FrameStepDifferential, EveryFrameShowsTheSamePixels) {
    const Size size = std::get<1>(GetParam());
    SaverRun straight(m_folder.Path(), size, frmSaver::FrameStep::Straight);
    SaverRun planned(m_folder.Path(), size, frmSaver::FrameStep::Planned);
    ASSERT_EQ(straight.Window().Width(), size.width);
    ASSERT_EQ(planned.Window().Height(), size.height);
    ASSERT_EQ(Differ(straight.Window(), planned.Window(), 0, 0, size.width, size.height), "")
        << "after the first paint";

    std::vector<Place> places;
    for (long frame = 1; frame <= kFrames; ++frame) {
        straight.Frame();
        planned.Frame();
        ASSERT_EQ(straight.Saver().FramesRun(), frame);
        ASSERT_EQ(planned.Saver().FramesRun(), frame);
        ASSERT_EQ(straight.Tick(), planned.Tick());
        const bool whole =
            size.everyFrameWhole || frame % kFullCompareEvery == 0 || frame == kFrames;
        if (whole) {
            ASSERT_EQ(Differ(straight.Window(), planned.Window(), 0, 0, size.width, size.height),
                      "")
                << "frame " << frame;
        } else {
            DrawnPlaces(straight.Saver(), places);
            for (const Place& place : places) {
                ASSERT_EQ(Differ(straight.Window(), planned.Window(), place.x, place.y, place.width,
                                 place.height),
                          "")
                    << "frame " << frame;
            }
        }
    }
}

// Each effect on and off; hold counts 0 and 1, the delivered speeds and the largest the dialog
// writes (the snow speed: 0, 1, the delivered 4 and the largest, 20).
const Settings kSettings[] = {
    {"Delivered", "1", "1", "1", "3", "2", "4"},
    {"SpeedsZero", "1", "1", "1", "0", "0", "0"},
    {"SpeedsOne", "1", "1", "1", "1", "1", "1"},
    {"SpeedsLargest", "1", "1", "1", "10", "10", "20"},
    {"LightsOnly", "1", "0", "0", "3", "2", "4"},
    {"SmokeOnly", "0", "1", "0", "3", "2", "4"},
    {"SnowOnly", "0", "0", "1", "3", "2", "4"},
    {"LightsAndSmokeFastest", "1", "1", "0", "0", "0", "4"},
    {"AllOff", "0", "0", "0", "3", "2", "4"},
};

// The smallest is narrower than the landscape picture; every frame is compared whole there.
const Size kSizes[] = {{640, 400, true}, {1280, 720, false}, {1920, 1080, false}};

INSTANTIATE_TEST_SUITE_P(
    SettingsAndSizes, FrameStepDifferential,
    ::testing::Combine(::testing::ValuesIn(kSettings), ::testing::ValuesIn(kSizes)),
    [](const ::testing::TestParamInfo<FrameStepDifferential::ParamType>& info) {
        const Size& size = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) + "_" + std::to_string(size.width) + "x" +
               std::to_string(size.height);
    });

}  // namespace
