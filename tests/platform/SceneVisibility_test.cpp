// SPDX-License-Identifier: MIT
// Whether anybody can see the scene: the scene's watched windows, the display's power as the
// system tells it, and as a query (the X server's DPMS state) answers it at its pace.

#include "platform/SceneVisibility.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>

namespace {

using Power = SceneVisibility::DisplayPower;

// A query that answers from a script (the last answer stays) and counts how often it is asked.
class ScriptedQuery : public SceneVisibility::PowerQuery {
  public:
    ScriptedQuery(std::deque<std::optional<Power>> answers, int& asked)
        : m_answers(std::move(answers)), m_asked(asked) {}
    std::optional<Power> Query() override {
        ++m_asked;
        const std::optional<Power> answer = m_answers.front();
        if (m_answers.size() > 1)
            m_answers.pop_front();
        return answer;
    }

  private:
    std::deque<std::optional<Power>> m_answers;
    int& m_asked;
};

TEST(SceneVisibility, TheSceneIsHiddenOnlyWhileEveryWatchedWindowIsUnseen) {
    SceneVisibility visibility;
    EXPECT_TRUE(visibility.Seen(0)) << "no window watched: the windows hide nothing";
    visibility.WatchWindow(1, true);
    visibility.WatchWindow(2, false);
    EXPECT_TRUE(visibility.Seen(0)) << "one of two windows is seen";
    visibility.WindowSeen(1, false);
    EXPECT_FALSE(visibility.Seen(0)) << "both unmapped or covered";
    visibility.WindowSeen(3, true);
    EXPECT_FALSE(visibility.Seen(0)) << "a window that is not watched changes nothing";
    visibility.WindowSeen(2, true);
    EXPECT_TRUE(visibility.Seen(0)) << "shown again";
    visibility.WindowSeen(2, false);
    visibility.ForgetWindow(1);
    EXPECT_FALSE(visibility.Seen(0));
    visibility.WatchWindow(2, true);
    EXPECT_TRUE(visibility.Seen(0)) << "watched again: as it is now";
    visibility.WindowSeen(2, false);
    visibility.ForgetWindow(2);
    EXPECT_TRUE(visibility.Seen(0)) << "the last window gone";
}

TEST(SceneVisibility, AToldDisplayStateHidesTheSceneUntilTheDisplayIsOnAgain) {
    SceneVisibility visibility;
    visibility.WatchWindow(1, true);
    for (Power power : {Power::Standby, Power::Suspend, Power::Off}) {
        visibility.DisplayPowerChanged(power);
        EXPECT_FALSE(visibility.Seen(0)) << static_cast<int>(power);
    }
    visibility.DisplayPowerChanged(Power::On);
    EXPECT_TRUE(visibility.Seen(0));
    visibility.WindowSeen(1, false);
    EXPECT_FALSE(visibility.Seen(0)) << "the display on, but the window covered";
}

TEST(SceneVisibility, AQueryIsAskedAtOnceThenAtMostOnceASecond) {
    int asked = 0;
    SceneVisibility visibility;
    visibility.SetPowerQuery(std::make_unique<ScriptedQuery>(
        std::deque<std::optional<Power>>{Power::Standby, Power::Suspend, Power::Off, Power::On,
                                         std::nullopt},
        asked));
    EXPECT_FALSE(visibility.Seen(5000));
    EXPECT_EQ(visibility.Power(), Power::Standby);
    EXPECT_EQ(asked, 1);
    for (std::uint32_t now : {5001u, 5500u, 5999u})
        EXPECT_FALSE(visibility.Seen(now));
    EXPECT_EQ(asked, 1) << "not again within the second";
    EXPECT_FALSE(visibility.Seen(6000));
    EXPECT_EQ(visibility.Power(), Power::Suspend);
    EXPECT_FALSE(visibility.Seen(7000));
    EXPECT_EQ(visibility.Power(), Power::Off);
    EXPECT_TRUE(visibility.Seen(8500)) << "on again";
    EXPECT_TRUE(visibility.Seen(9499));
    EXPECT_EQ(asked, 4);
    EXPECT_TRUE(visibility.Seen(9500)) << "a state that cannot be told counts as on";
    EXPECT_EQ(asked, 5);
}

TEST(SceneVisibility, TheQuerysPaceHoldsAcrossTheTickWrapAndANewQueryIsAskedAtOnce) {
    int asked = 0;
    SceneVisibility visibility;
    visibility.SetPowerQuery(
        std::make_unique<ScriptedQuery>(std::deque<std::optional<Power>>{Power::Off}, asked));
    EXPECT_FALSE(visibility.Seen(0xFFFFFF00u));
    EXPECT_FALSE(visibility.Seen(0x000002E7u));
    EXPECT_EQ(asked, 1) << "999 ms later, past the wrap";
    EXPECT_FALSE(visibility.Seen(0x000002E8u));
    EXPECT_EQ(asked, 2);

    int askedSecond = 0;
    visibility.SetPowerQuery(
        std::make_unique<ScriptedQuery>(std::deque<std::optional<Power>>{Power::On}, askedSecond));
    EXPECT_TRUE(visibility.Seen(0x000002E9u));
    EXPECT_EQ(askedSecond, 1);
    visibility.SetPowerQuery(nullptr);
    visibility.DisplayPowerChanged(Power::Off);
    EXPECT_FALSE(visibility.Seen(0x00010000u)) << "without a query the told state stands";
}

}  // namespace
