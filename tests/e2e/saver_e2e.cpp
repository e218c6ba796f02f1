// SPDX-License-Identifier: MIT
// The full-screen saver, run for real under Xvfb.

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "tests/e2e/XSession.h"
#include "tools/harness/settings_text.h"

using namespace std::chrono_literals;

namespace {

class SaverEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.Running()) << "Xvfb could not be started";
        // Park the pointer in the corner, so that the first move the saver sees only records.
        x.Xdotool({"mousemove", "0", "0"});
    }
    // Starts the saver and waits until its scene runs; its window, 0 when none appeared. The
    // saver takes the keyboard and the pointer when its window shows, before the first frame:
    // once the picture moves, input reaches it.
    unsigned long StartSaver(const std::vector<std::string>& arguments = {"/s"}) {
        program.Start(arguments, x.Display());
        const auto windows = x.FindWindows("Form1", kPatience);
        if (windows.empty() || !x.WaitViewable(windows[0]))
            return 0;
        EXPECT_GT(x.WaitForChange(0, 50), 0) << "the snow moves";
        return windows[0];
    }

    XvfbServer x{1024, 768};
    ProgramRun program;
};

TEST_F(SaverEndToEnd, RunsFullScreenWithThePointerHiddenAndEndsOnAKey) {
    const unsigned long window = StartSaver();
    ASSERT_NE(window, 0u) << program.ErrorOutput();
    const auto geometry = x.WindowGeometry(window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);
    EXPECT_EQ(geometry->width, 1024);
    EXPECT_EQ(geometry->height, 768);
    EXPECT_TRUE(geometry->viewable);
    EXPECT_TRUE(x.PointerHidden());
    EXPECT_TRUE(program.Running());

    // How quickly a key ends it is measured by `make bench`; here it ends, and by itself.
    x.Xdotool({"key", "a"});
    EXPECT_EQ(program.WaitExit(kPatience), 0);
    EXPECT_FALSE(x.PointerHidden()) << "the pointer is back";
}

TEST_F(SaverEndToEnd, CoveredWholeByAnotherWindowItSleepsAndAKeyStillEndsIt) {
    const unsigned long window = StartSaver();
    ASSERT_NE(window, 0u) << program.ErrorOutput();
    ASSERT_GT(x.WaitForChange(window, 20), 0) << "it animates";
    {
        // A window over the whole screen, as a locker's would be.
        ClientWindow cover(x.Display(), 0, 0, 1024, 768, 0x00FF00);
        EXPECT_LT(UseOverTenSeconds(program.Pid(), "full screen, covered").wakeUps, 100);
    }
    EXPECT_GT(x.WaitForChange(window, 20), 0) << "uncovered, the scene moves";
    ClientWindow cover(x.Display(), 0, 0, 1024, 768, 0x00FF00);
    std::this_thread::sleep_for(1500ms);
    x.Xdotool({"key", "a"});
    EXPECT_EQ(program.WaitExit(kPatience), 0) << "the saver holds the keyboard, covered or not";
}

TEST_F(SaverEndToEnd, AModifierKeyAloneEnds) {
    ASSERT_NE(StartSaver(), 0u);
    x.Xdotool({"key", "shift"});
    EXPECT_EQ(program.WaitExit(kPatience), 0);
}

TEST_F(SaverEndToEnd, AMouseButtonEnds) {
    ASSERT_NE(StartSaver({"/S:123"}), 0u);
    x.Xdotool({"click", "3"});
    EXPECT_EQ(program.WaitExit(kPatience), 0);
}

TEST_F(SaverEndToEnd, FourCountedMovesDoNotEndItFiveDo) {
    ASSERT_NE(StartSaver({"/x"}), 0u);
    x.Xdotool({"mousemove", "100", "100"});  // from the corner: only recorded
    for (int i = 1; i <= 4; ++i) {
        x.Xdotool({"mousemove", std::to_string(100 + 10 * i), "100"});
    }
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(program.Running()) << "four counted moves";
    x.Xdotool({"mousemove", "200", "200"});
    EXPECT_EQ(program.WaitExit(kPatience), 0) << "the fifth counted move ends it\n"
                                              << program.ErrorOutput();
}

TEST_F(SaverEndToEnd, MissingSkyPictureShowsTheMessage) {
    std::filesystem::remove(program.DataFile("fwbackground.bmp"));
    program.Start({}, x.Display());
    const auto boxes = x.FindWindows("Glimmerdel", kPatience);
    ASSERT_EQ(boxes.size(), 1u) << "the message box, captioned with the program's title";
    ASSERT_TRUE(x.WaitFocused(boxes[0])) << "the box has the keyboard";
    EXPECT_TRUE(program.Running()) << "waits for OK";
    EXPECT_FALSE(x.PointerHidden()) << "the pointer is shown for the message";
    x.Xdotool({"key", "Return"});
    EXPECT_EQ(program.WaitExit(kPatience), 0);
}

TEST_F(SaverEndToEnd, ASecondSaverEndsAtOnce) {
    ASSERT_NE(StartSaver(), 0u);
    ProgramRun second;
    second.Start({"/s"}, x.Display(), {"XDG_RUNTIME_DIR=" + program.Folder().File("runtime")});
    EXPECT_EQ(second.WaitExit(kPatience), 0);
    EXPECT_EQ(x.FindWindows("Form1", 0ms).size(), 1u) << "no second saver window";
    EXPECT_TRUE(program.Running());
    x.Xdotool({"key", "Escape"});
    EXPECT_EQ(program.WaitExit(kPatience), 0);
}

TEST_F(SaverEndToEnd, TheRunIsCountedInTheSettingsFile) {
    program.Folder().Write(
        "vantroglimmerdel.ini",
        SettingsFileText(kDeliveredControls, "appdisplay=1\nappcurrent=0\nappalert=3\n"));
    ASSERT_NE(StartSaver(), 0u);
    x.Xdotool({"key", "space"});
    EXPECT_EQ(program.WaitExit(kPatience), 0);
    EXPECT_NE(program.Folder().Read("vantroglimmerdel.ini").find("appcurrent=1\n"),
              std::string::npos);
}

}  // namespace
