// SPDX-License-Identifier: MIT
// The ways out of a running saver that the system opens (its windows closed, another program in
// the foreground, the end of the session) give the desktop back as a key does; and the windows
// repaint from the stage.

#include <gtest/gtest.h>

#include <functional>

#include "tests/scene/SceneFixture.h"

namespace {

constexpr long long kTaskbar = 77;

class WaysOut : public SceneFixture {
  protected:
    WaysOut() {
        host.SetTaskbar(HandleFromNumber<HWND>(kTaskbar));
        host.SetMonitors({{800, 600}, {640, 480}});
        g_platformId = VER_PLATFORM_WIN32_NT;
        g_usePassword = 0;
        // The e-mail prompt's counter moves on each run that takes the prompt step.
        folder.Write("vantroglimmerdel.ini",
                     "[controls]\nlights=1\nchimneysmoke=1\nsnowing=1\nlightspeed=3\n"
                     "smokespeed=2\nsnowspeed=4\n[applic]\nappdisplay=1\nappcurrent=0\n"
                     "appalert=9\n");
    }
    ~WaysOut() override { g_platformId = 0; }
    // Runs the saver, then the way out on the first monitor's form or the second's; the
    // status the program ended with, if it did.
    std::optional<int> EndBy(const std::function<void(frmSaver&)>& way, bool onCompanion) {
        // A run the session's end cut short left the form loaded: this one starts afresh.
        saver.Unload();
        EXPECT_FALSE(Run(2));
        EXPECT_EQ(saver.Companions().size(), 1u);
        host.ClearCalls();
        try {
            way(onCompanion ? *saver.Companions().at(0) : saver);
        } catch (const ProgramEnded& ended) {
            return ended.status;
        }
        return std::nullopt;
    }
    bool TaskbarShown() const {
        const std::string shown = "SetWindowPos(" + std::to_string(kTaskbar) + ",0,0,0,0,0," +
                                  std::to_string(SWP_SHOWWINDOW) + ")";
        for (const std::string& call : host.Calls()) {
            if (call == shown)
                return true;
        }
        return false;
    }
    std::string Counter() {
        ReadSetting("applic", "appcurrent", g_appCurrent, IniPath());
        return g_appCurrent;
    }
};

TEST_F(WaysOut, ClosingAWindowOrLosingTheForegroundEndsAsAKeyDoes) {
    const std::function<void(frmSaver&)> ways[] = {
        [](frmSaver& form) { form.CloseRequested(vbFormControlMenu); },
        [](frmSaver& form) { form.ForegroundLost(); },
    };
    int run = 0;
    for (const auto& way : ways) {
        for (const bool onCompanion : {false, true}) {
            EXPECT_EQ(EndBy(way, onCompanion), 0) << run;
            EXPECT_GE(host.CursorCount(), 6) << "the pointer shows again";
            EXPECT_TRUE(TaskbarShown()) << run;
            EXPECT_FALSE(saver.Loaded()) << "the form was unloaded";
            EXPECT_EQ(Counter(), std::to_string(++run)) << "the e-mail prompt step ran";
        }
    }
}

TEST_F(WaysOut, TheEndOfTheSessionGivesTheDesktopBackWithoutThePromptStep) {
    for (const bool onCompanion : {false, true}) {
        EXPECT_EQ(EndBy([](frmSaver& form) { form.CloseRequested(vbAppWindows); }, onCompanion), 0);
        EXPECT_GE(host.CursorCount(), 6);
        EXPECT_TRUE(TaskbarShown());
        EXPECT_EQ(Counter(), "0") << "no e-mail prompt step";
        EXPECT_TRUE(host.Launched().empty());
    }
}

TEST_F(WaysOut, WhatTheOtherWindowsHearWhileTheEndIsUnderWayStartsNoSecondEnd) {
    ASSERT_FALSE(Run(2));
    // The saver form is unloaded as the end begins; showing the taskbar then may move the
    // foreground away from a window still standing on another monitor.
    saver.Unload();
    host.ClearCalls();
    frmSaver& other = *saver.Companions().at(0);
    EXPECT_NO_THROW(other.ForegroundLost());
    EXPECT_NO_THROW(other.CloseRequested(vbFormControlMenu));
    EXPECT_NO_THROW(other.CloseRequested(vbAppWindows));
    EXPECT_TRUE(host.Calls().empty());
    EXPECT_EQ(Counter(), "0") << "no second e-mail prompt step";
}

TEST_F(WaysOut, ARefusedPasswordKeepsTheSaverRunningAfterAClose) {
    g_platformId = 1;  // the older system family, which leaves the password to the saver
    g_usePassword = 1;
    host.SetPasswordAnswer(0);
    EXPECT_EQ(EndBy([](frmSaver& form) { form.CloseRequested(vbFormControlMenu); }, false),
              std::nullopt);
    EXPECT_TRUE(saver.Loaded());
    EXPECT_TRUE(saver.Visible());
    EXPECT_FALSE(TaskbarShown());
    EXPECT_LE(host.CursorCount(), -6) << "the pointer is hidden again";
    saver.RunMoreFrames(1);
    EXPECT_EQ(saver.FramesRun(), 3) << "the animation goes on";
}

TEST_F(WaysOut, EveryMonitorsWindowRepaintsFromItsOwnStage) {
    ASSERT_FALSE(Run(1));
    EXPECT_EQ(saver.RepaintSource(), saver.StageDC());
    ASSERT_EQ(saver.Companions().size(), 1u);
    const frmSaver& other = *saver.Companions()[0];
    EXPECT_EQ(other.RepaintSource(), other.StageDC());
    EXPECT_NE(other.StageDC(), saver.StageDC());
}

}  // namespace
