// SPDX-License-Identifier: MIT
// A screen nobody sees: no frames run, the wait sleeps a second at a time, the scene goes on
// where it was once it shows again (the same frames, counters and random draws as a run that
// was never hidden), and input still ends the saver.

#include <gtest/gtest.h>

#include "tests/scene/SceneFixture.h"

namespace {

using Power = SceneVisibility::DisplayPower;

class UnseenScene : public SceneFixture {
  protected:
    UnseenScene() { WriteSettings("1", "1", "1", "3", "3", "3"); }
};

TEST_F(UnseenScene, NoFramesRunWhileHiddenAndTheSceneGoesOnWhereItWas) {
    constexpr long kBefore = 10;
    constexpr long kAfter = 15;
    constexpr std::uint32_t kHiddenMs = 20000;
    bool hidden = false;
    bool shownAgain = false;
    std::uint32_t hiddenAt = 0;
    std::uint32_t shownAt = 0;
    long long waitsBefore = 0;
    long long waitsHidden = 0;
    long framesWhileHidden = -1;
    host.OnEvents([&] {
        if (!hidden && saver.FramesRun() == kBefore) {
            hidden = true;
            hiddenAt = host.GetTickCount();
            waitsBefore = host.Waits();
            host.Visibility().DisplayPowerChanged(Power::Off);
        } else if (hidden && !shownAgain) {
            if (host.GetTickCount() - hiddenAt >= kHiddenMs) {
                shownAgain = true;
                shownAt = host.GetTickCount();
                waitsHidden = host.Waits() - waitsBefore;
                framesWhileHidden = saver.FramesRun() - kBefore;
                host.Visibility().DisplayPowerChanged(Power::On);
            }
        }
    });
    ASSERT_FALSE(Run(kBefore + kAfter));
    ASSERT_TRUE(shownAgain);
    EXPECT_EQ(framesWhileHidden, 0);
    EXPECT_EQ(saver.FramesRun(), kBefore + kAfter);
    EXPECT_LE(waitsHidden, 2 * static_cast<long long>(kHiddenMs / 1000)) << "two wakes a second";
    EXPECT_LE(host.LongestWaitMs(), 1000) << "the host still looks once a second";

    // The hidden stretch is a pause: the frames after it are those of a run whose clock jumped
    // over it (the draws of the random generator mix in the clock), frame for frame.
    HeadlessSaver straight(folder.Path());
    HeadlessHost& other = straight.Host();
    other.SetScreenPixels(1024, 600);
    bool jumped = false;
    other.OnEvents([&] {
        if (!jumped && straight.Saver().FramesRun() == kBefore) {
            jumped = true;
            other.SetTickCount(shownAt);
        }
    });
    ASSERT_FALSE(straight.Start(kBefore + kAfter).has_value());
    const std::vector<std::uint32_t> afterHiding = Window();
    HeadlessBacking* window = straight.Window();
    const std::vector<std::uint32_t> jumpedOver(
        window->Pixels(),
        window->Pixels() + static_cast<size_t>(window->Width()) * window->Height());
    EXPECT_TRUE(afterHiding == jumpedOver);
}

TEST_F(UnseenScene, ACoveredWindowAndThenAKeyWhileHiddenEndTheRun) {
    bool hidden = false;
    long long waitsAtHiding = 0;
    std::uint32_t hiddenAt = 0;
    host.OnEvents([&] {
        if (!hidden) {
            hidden = true;
            waitsAtHiding = host.Waits();
            hiddenAt = host.GetTickCount();
            host.Visibility().WatchWindow(1, false);
        }
        if (host.Waits() - waitsAtHiding == 4)
            host.QueueKeyDown(saver, 65);
    });
    EXPECT_TRUE(Run(1000)) << "the key ended the program";
    EXPECT_EQ(host.EndStatus(), 0);
    EXPECT_LE(saver.FramesRun(), 1);
    EXPECT_GE(host.GetTickCount() - hiddenAt, 3000u) << "the waits in between were long";
}

}  // namespace
