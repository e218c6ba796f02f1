// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "app/frmPreview.h"
#include "app/mMain.h"
#include "tests/app/AppFixture.h"

namespace {

class Dispatch : public AppFixture {
  protected:
    // Runs the dispatch of a command line as Main hands it over; true when the program ended.
    bool Run(const std::string& normalised, const std::string& raw) {
        host.SetCommand(raw);
        try {
            DispatchCommandLine(normalised);
        } catch (const ProgramEnded&) {
            return true;
        }
        return false;
    }
    bool SaverStarted() { return saver.Loaded() && saver.Visible() && host.CursorCount() <= -6; }
};

TEST_F(Dispatch, RunModeForEveryFormOfTheSwitch) {
    for (const char* command : {"", "/S", "/SXYZ", "/X", "/S 1234", "NONSENSE"}) {
        HeadlessHost fresh;
        fresh.SetCommand(command);
        RecordingForm freshSaver("frmSaver");
        const ScopedInstall installed(fresh, &freshSaver);
        EXPECT_NO_THROW(DispatchCommandLine(command)) << command;
        EXPECT_EQ(freshSaver.loads, 1) << command;
        EXPECT_TRUE(freshSaver.Visible()) << command;
        EXPECT_EQ(fresh.CursorCount(), -6) << command;
        freshSaver.Unload();
    }
}

TEST_F(Dispatch, PointerIsHiddenBeforeTheSaverFormLoads) {
    struct CheckingForm : RecordingForm {
        CheckingForm(HeadlessHost& h) : RecordingForm("frmSaver"), host(h) {}
        void Form_Load() override { cursorAtLoad = host.CursorCount(); }
        HeadlessHost& host;
        int cursorAtLoad = 99;
    } checking(host);
    g_frmSaver = &checking;
    EXPECT_FALSE(Run("/S", "/s"));
    EXPECT_EQ(checking.cursorAtLoad, -6);
    checking.Unload();
}

TEST_F(Dispatch, SecondSaverEndsAtOnceTouchingNothing) {
    host.SetPrevInstance(true);
    EXPECT_TRUE(Run("/S", "/s"));
    EXPECT_EQ(host.EndStatus(), 0);
    EXPECT_FALSE(saver.Loaded());
    EXPECT_EQ(host.CursorCount(), 0);
    EXPECT_EQ(host.Calls(), std::vector<std::string>{"EndProgram(0)"});
}

TEST_F(Dispatch, SettingsModeShowsTheDialogWhateverFollows) {
    for (const char* raw : {"/c", "/c:4711", "/C"}) {
        EXPECT_FALSE(Run("/C", raw)) << raw;
        EXPECT_TRUE(settings.Visible()) << raw;
        EXPECT_FALSE(saver.Loaded());
        settings.Unload();
    }
    host.SetPrevInstance(true);  // only the run mode looks for another instance
    EXPECT_FALSE(Run("/C:4711", "/c:4711"));
    EXPECT_TRUE(settings.Visible());
    settings.Unload();
}

TEST_F(Dispatch, PasswordChangeModeHandsOverTheParentWindow) {
    const struct {
        const char* raw;
        Long parent;
    } cases[] = {{"/a 4711", 4711},  {"/a:4711", 0},        {"/a", 0},
                 {"/a 12 34", 1234}, {"/a 99999999999", 0}, {"/a -5", -5}};
    for (const auto& c : cases) {
        host.ClearCalls();
        EXPECT_FALSE(Run("/A", c.raw)) << c.raw;
        EXPECT_EQ(host.Calls(), std::vector<std::string>{"PwdChangePasswordA(SCRSAVE," +
                                                         std::to_string(c.parent) + ",0,0)"})
            << c.raw;
    }
    EXPECT_EQ(Form::LoadedCount(), 0) << "no form is loaded, so the program ends";
}

TEST_F(Dispatch, PreviewModeEndsTheProgramItself) {
    frmPreview preview;
    g_frmPreview = &preview;
    EXPECT_TRUE(Run("/P X", "/p x"));
    EXPECT_EQ(host.EndStatus(), 0);
    EXPECT_EQ(host.EventPasses(), 400);
    EXPECT_FALSE(saver.Loaded());
}

TEST(HandleFromText, LeadingNumberIntoThirtyTwoBits) {
    EXPECT_EQ(HandleFromText(" 4711"), HwndFromLong(4711));
    EXPECT_EQ(HandleFromText("4 7 1 1"), HwndFromLong(4711));
    EXPECT_EQ(HandleFromText("2147483647"), HwndFromLong(2147483647));
    EXPECT_EQ(HandleFromText("2147483648"), HwndFromLong(0));
    EXPECT_EQ(HandleFromText("-2147483649"), HwndFromLong(0));
    EXPECT_EQ(HandleFromText("12.5"), HwndFromLong(12));
    EXPECT_EQ(HandleFromText("13.5"), HwndFromLong(14));
    EXPECT_EQ(HandleFromText("x"), HwndFromLong(0));
}

// Main normalises the command line (trim, upper case) and lives while a form is loaded.
TEST_F(Dispatch, MainNormalisesAndLivesAsLongAsTheDialog) {
    host.SetCommand("  /c:4711  ");
    int passes = 0;
    host.OnEvents([&] {
        if (++passes == 3 && g_frmSettings != nullptr)
            g_frmSettings->Unload();
    });
    Main();
    EXPECT_EQ(passes, 3);
    EXPECT_FALSE(host.EndStatus().has_value());
}

TEST_F(Dispatch, MainPasswordChangeReturnsAtOnce) {
    host.SetCommand("/a 4711");
    Main();
    EXPECT_EQ(host.Calls().back(), "PwdChangePasswordA(SCRSAVE,4711,0,0)");
    EXPECT_EQ(host.EventPasses(), 0);
}

}  // namespace
