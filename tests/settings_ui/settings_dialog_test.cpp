// SPDX-License-Identifier: MIT
// The dialog's behaviour: what it shows for the stored settings and what it writes back.

#include <gtest/gtest.h>

#include "tests/settings_ui/SettingsDialogFixture.h"

namespace {

using SettingsDialog = SettingsDialogFixture;

TEST_F(SettingsDialog, OpensWithTheStoredSettingsAndSavesThemBackUnchanged) {
    WriteControls({"1", "0", "1", "2", "10", "5"});
    dialog.Load();
    EXPECT_EQ(Shown(), (Controls{"1", "0", "1", "8", "1", "5"}));
    EXPECT_EQ(g_lightSpeed, "2");
    EXPECT_EQ(g_smokeSpeed, "10");

    dialog.Unload();
    EXPECT_FALSE(dialog.Loaded());
    EXPECT_EQ(ReadIni(),
              "[controls]\nlights=1\nchimneysmoke=0\nsnowing=1\nlightspeed=2\nsmokespeed=10\n"
              "snowspeed=5\n");
    EXPECT_EQ(
        (Controls{g_lights, g_chimneySmoke, g_snowing, g_lightSpeed, g_smokeSpeed, g_snowSpeed}),
        (Controls{"1", "0", "1", "2", "10", "5"}));
}

TEST_F(SettingsDialog, EveryStoredSpeedOpensAtItsMirroredPosition) {
    // Stored speed -> position shown -> speed saved when closed untouched.
    const struct {
        const char* stored;
        int position;
        const char* saved;
    } table[] = {{"0", 10, "1"}, {"1", 10, "1"}, {"2", 8, "2"},  {"3", 7, "3"},
                 {"4", 6, "4"},  {"5", 5, "5"},  {"6", 4, "6"},  {"7", 3, "7"},
                 {"8", 2, "8"},  {"9", 1, "10"}, {"10", 1, "10"}};
    for (const auto& row : table) {
        WriteControls({"1", "1", "1", row.stored, row.stored, "5"});
        dialog.Load();
        EXPECT_EQ(dialog.HScrollLights.Value(), row.position) << row.stored;
        EXPECT_EQ(dialog.HScrollSmoke.Value(), row.position) << row.stored;
        dialog.Unload();
        EXPECT_EQ(SavedControls()[3], row.saved) << row.stored;
        EXPECT_EQ(SavedControls()[4], row.saved) << row.stored;
    }
}

TEST_F(SettingsDialog, SavesThePositionsTheUserChose) {
    WriteControls({"0", "0", "0", "5", "5", "5"});
    const struct {
        Integer lights, smoke, snow;
        Controls saved;
    } cases[] = {
        {9, 10, 20, {"1", "0", "1", "1", "1", "20"}},
        {1, 2, 2, {"1", "0", "1", "10", "8", "2"}},
        {6, 3, 13, {"1", "0", "1", "4", "7", "13"}},
    };
    for (const auto& c : cases) {
        dialog.Load();
        dialog.CheckLights.SetValue(1);
        dialog.CheckSnowing.SetValue(1);
        dialog.HScrollLights.SetValue(c.lights);
        dialog.HScrollSmoke.SetValue(c.smoke);
        dialog.HScrollSnowing.SetValue(c.snow);
        // The controls have no change handlers: nothing is written before the close.
        EXPECT_EQ(SavedControls(), (Controls{"0", "0", "0", "5", "5", "5"}));
        dialog.Unload();
        EXPECT_EQ(SavedControls(), c.saved) << c.lights << " " << c.smoke << " " << c.snow;
        WriteControls({"0", "0", "0", "5", "5", "5"});
    }
}

TEST_F(SettingsDialog, OnlyASwitchThatReadsAsOneIsOn) {
    for (const char* on : {"1", "1.0", " 1 ", "+1", "1e0"}) {
        EXPECT_EQ(RoundTrip({on, on, on, "5", "5", "5"}), (Controls{"1", "1", "1", "5", "5", "5"}))
            << on;
    }
    for (const char* off : {"0", "2", "-1", "0.5", "", "yes", "true", "1x"}) {
        EXPECT_EQ(RoundTrip({off, off, off, "5", "5", "5"}),
                  (Controls{"0", "0", "0", "5", "5", "5"}))
            << off;
    }
}

TEST_F(SettingsDialog, OnlyAValueOfExactlyOneCountsAsTicked) {
    WriteControls({"1", "1", "1", "5", "5", "5"});
    dialog.Load();
    dialog.CheckLights.SetValue(2);  // greyed
    dialog.CheckSmoke.SetValue(0);
    dialog.Unload();
    EXPECT_EQ(SavedControls(), (Controls{"0", "0", "1", "5", "5", "5"}));
}

TEST_F(SettingsDialog, SpeedsAreRoundedHalvesToEven) {
    EXPECT_EQ(RoundTrip({"1", "1", "1", "2.5", " 3 ", "6.5"}),
              (Controls{"1", "1", "1", "2", "3", "6"}));  // 7.5 -> 8, 7, 6.5 -> 6
    EXPECT_EQ(RoundTrip({"1", "1", "1", "3.5", "9.5", "7.5"}),
              (Controls{"1", "1", "1", "4", "10", "8"}));  // 6.5 -> 6, 0.5 -> 0 -> 1, 8
}

TEST_F(SettingsDialog, AMissingSettingsFileOpensAtTheDesignedValues) {
    dialog.Load();
    EXPECT_EQ(Shown(), (Controls{"0", "0", "0", "1", "1", "2"}));
    dialog.Unload();
    // The keys are written in their order, so a new file lists them so.
    EXPECT_EQ(ReadIni(),
              "[controls]\nlights=0\nchimneysmoke=0\nsnowing=0\nlightspeed=10\nsmokespeed=10\n"
              "snowspeed=2\n");
}

TEST_F(SettingsDialog, MissingAndUnreadableValuesOpenAtTheDesignedValues) {
    WriteIni("[controls]\nlights=1\nlightspeed=fast\nsnowspeed=4 5\n");
    dialog.Load();
    EXPECT_EQ(Shown(), (Controls{"1", "0", "0", "1", "1", "2"}));
    dialog.Unload();
    EXPECT_EQ(SavedControls(), (Controls{"1", "0", "0", "10", "10", "2"}));

    EXPECT_EQ(RoundTrip({"1", "1", "1", "1e999", "-", "1e999"}),
              (Controls{"1", "1", "1", "10", "10", "2"}));
}

TEST_F(SettingsDialog, SpeedsOutsideTheirRangeAreKeptWithinIt) {
    // Light and smoke: a mirrored value below 1 opens at 1, above 10 at 10; snow within 2 to 20.
    WriteControls({"1", "1", "1", "11", "-5", "1"});
    dialog.Load();
    EXPECT_EQ(Shown(), (Controls{"1", "1", "1", "1", "10", "2"}));
    dialog.Unload();
    EXPECT_EQ(SavedControls(), (Controls{"1", "1", "1", "10", "1", "2"}));

    EXPECT_EQ(RoundTrip({"1", "1", "1", "1e9", "-1e9", "25"}),
              (Controls{"1", "1", "1", "10", "1", "20"}));
    EXPECT_EQ(RoundTrip({"1", "1", "1", "40000", "-40000", "-40000"}),
              (Controls{"1", "1", "1", "10", "1", "2"}));
}

TEST_F(SettingsDialog, ALoadStartsFromTheDesignedValuesEachTime) {
    WriteControls({"1", "1", "1", "2", "2", "20"});
    dialog.Load();
    dialog.Unload();
    WriteIni("");
    dialog.Load();
    EXPECT_EQ(Shown(), (Controls{"0", "0", "0", "1", "1", "2"}));
}

TEST_F(SettingsDialog, ReadsAndWritesTheSettingsFileAsNamedAtThatMoment) {
    WriteControls({"1", "0", "1", "3", "4", "6"});
    dialog.Load();
    TempDir moved;
    host.SetAppPath(moved.Path());
    dialog.Unload();
    EXPECT_EQ(SavedControls(), (Controls{"1", "0", "1", "3", "4", "6"}));
    host.SetAppPath(folder.Path());
    EXPECT_EQ(ReadIni(),
              "[controls]\nlights=1\nchimneysmoke=0\nsnowing=1\nlightspeed=3\nsmokespeed=4\n"
              "snowspeed=6\n");
}

TEST_F(SettingsDialog, CloseSavesAndEndsTheProgram) {
    WriteControls({"0", "1", "0", "9", "4", "7"});
    dialog.Show();
    dialog.CheckLights.SetValue(1);
    dialog.HScrollSnowing.SetValue(11);
    try {
        dialog.CmdClose.Click();
        FAIL() << "the Close button must end the program";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.status, 0);
    }
    EXPECT_FALSE(dialog.Loaded());
    EXPECT_EQ(SavedControls(), (Controls{"1", "1", "0", "10", "4", "11"}));
    EXPECT_EQ(host.Calls(), std::vector<std::string>{"EndProgram(0)"});
}

TEST_F(SettingsDialog, TheWindowsCloseCommandSavesExactlyAsCloseDoes) {
    const Controls stored{"1", " 1.0", "2", "9", "0", "20"};
    WriteControls(stored);
    dialog.Show();
    dialog.CheckSnowing.SetValue(1);
    dialog.HScrollSmoke.SetValue(3);
    EXPECT_THROW(dialog.CmdClose.Click(), ProgramEnded);
    const std::string byButton = ReadIni();

    WriteControls(stored);
    dialog.Show();
    dialog.CheckSnowing.SetValue(1);
    dialog.HScrollSmoke.SetValue(3);
    dialog.CloseRequested();
    EXPECT_FALSE(dialog.Loaded());
    EXPECT_EQ(Form::LoadedCount(), 0) << "with no form loaded, Main ends the program";
    EXPECT_EQ(ReadIni(), byButton);
    EXPECT_EQ(SavedControls(), (Controls{"1", "1", "1", "10", "7", "20"}));
}

TEST_F(SettingsDialog, WebButtonsOpenTheirPagesAndChangeNothing) {
    WriteControls({"1", "0", "1", "2", "10", "5"});
    const std::string before = ReadIni();
    dialog.Show();
    dialog.CheckSmoke.SetValue(1);

    dialog.CmdWebsite.Click();
    dialog.CmdFriend.Click();
    const std::string site(kProductWebsite);
    EXPECT_EQ(host.Opened(), (std::vector<std::string>{site, site + "/dovizozira.php?s=22"}));
    EXPECT_EQ(host.Calls(),
              (std::vector<std::string>{"ShellExecute(" + site + ")",
                                        "ShellExecute(" + site + "/dovizozira.php?s=22)"}));
    EXPECT_EQ(ReadIni(), before);
    EXPECT_EQ(g_chimneySmoke, "0");
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(dialog.CheckSmoke.Value(), 1);

    host.SetShellExecuteResult(2);  // a failed launch is not reported either
    dialog.CmdWebsite.Click();
    EXPECT_TRUE(dialog.Visible());
    EXPECT_TRUE(host.MessageBoxes().empty());
}

}  // namespace
