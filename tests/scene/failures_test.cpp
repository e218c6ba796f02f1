// SPDX-License-Identifier: MIT
// What the set-up and the frame loop do with missing pictures and settings.

#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/cSprite.h"
#include "tests/scene/SceneFixture.h"

namespace {

class SceneFailures : public SceneFixture {
  protected:
    // Runs the saver; records what the scene held at the moment the message box came up.
    struct Outcome {
        bool ended = false;
        bool message = false;
        bool stageMade = false;
        bool lightsMade = false;
        bool smokeMade = false;
        long frames = -1;
    };
    Outcome RunAndWatch(long frames) {
        Outcome outcome;
        host.OnMessageBox([&](const HeadlessHost::MessageBoxCall& box) {
            outcome.message = box.text == MissingFilesMessage();
            outcome.stageMade = saver.StageDC() != 0;
            outcome.lightsMade = saver.LightString(0) != nullptr;
            outcome.smokeMade = saver.Smoke() != nullptr;
            outcome.frames = saver.FramesRun();
        });
        outcome.ended = Run(frames);
        return outcome;
    }
};

TEST_F(SceneFailures, MissingSkyPictureStopsBeforeAnythingIsLoaded) {
    RemovePicture("fwbackground.bmp");
    const Outcome outcome = RunAndWatch(5);
    EXPECT_TRUE(outcome.ended);
    EXPECT_TRUE(outcome.message);
    EXPECT_FALSE(outcome.stageMade);
    EXPECT_EQ(host.EndStatus(), 0);
    EXPECT_GE(host.CursorCount(), 6) << "the pointer comes back";
}

TEST_F(SceneFailures, OtherMissingPicturesGiveElementsOfNoSize) {
    for (const char* picture : {"landscape.bmp", "extension.bmp", "snow.bmp", "redlight.bmp",
                                "purplebottomlight.bmp", "smoke.bmp"}) {
        RemovePicture(picture);
        const Outcome outcome = RunAndWatch(20);
        EXPECT_FALSE(outcome.ended) << picture;
        EXPECT_FALSE(outcome.message) << picture;
        EXPECT_EQ(saver.FramesRun(), 20) << picture;
        saver.Unload();
        LinkPicture(picture);
    }
}

TEST_F(SceneFailures, UnreadablePicturesAreMissingPictures) {
    RemovePicture("landscape.bmp");
    folder.Write("vurezezideriru/glimmerdel/landscape.bmp", "BM this is not a bitmap");
    RemovePicture("smoke.bmp");
    folder.Write("vurezezideriru/glimmerdel/smoke.bmp", "");
    const Outcome outcome = RunAndWatch(10);
    EXPECT_FALSE(outcome.message);
    EXPECT_EQ(saver.Landscape()->Width(), 0);
    EXPECT_EQ(saver.Smoke()->Width(), 0);
}

TEST_F(SceneFailures, EachSettingFailsAtTheStepThatConvertsIt) {
    const struct {
        const char* name;
        std::string lights, smoke, snow, lightSpeed, smokeSpeed, snowSpeed;
        bool lightsMade, smokeMade;
        long frames;
    } cases[] = {
        {"snowing", "1", "1", "", "3", "2", "4", false, false, 0},
        {"snowing junk", "1", "1", "yes", "3", "2", "4", false, false, 0},
        {"lightspeed", "1", "1", "1", "", "2", "4", true, false, 0},
        {"lights", "x", "1", "1", "3", "2", "4", true, false, 0},
        {"lights off, speed junk", "0", "1", "1", "fast", "2", "4", true, false, 0},
        {"smokespeed", "1", "1", "1", "3", "", "4", true, true, 0},
        {"chimneysmoke", "1", "", "1", "3", "2", "4", true, true, 0},
        {"snowspeed", "1", "1", "1", "3", "2", "", true, true, 0},
        {"snowspeed too large", "1", "1", "1", "3", "2", "40000", true, true, 0},
    };
    for (const auto& c : cases) {
        HeadlessSaver another(folder.Path());
        HeadlessHost& fresh = another.Host();
        frmSaver& form = another.Saver();
        fresh.SetScreenPixels(1024, 600);
        const auto installed = another.Install();
        WriteSettings(c.lights, c.smoke, c.snow, c.lightSpeed, c.smokeSpeed, c.snowSpeed);
        bool lightsMade = false, smokeMade = false;
        long frames = -1;
        fresh.OnMessageBox([&](const HeadlessHost::MessageBoxCall&) {
            lightsMade = form.LightString(0) != nullptr;
            smokeMade = form.Smoke() != nullptr;
            frames = form.FramesRun();
        });
        form.SetFrameLimit(5);
        EXPECT_THROW(form.Load(), ProgramEnded) << c.name;
        ASSERT_EQ(fresh.MessageBoxes().size(), 1u) << c.name;
        EXPECT_EQ(fresh.MessageBoxes()[0].text, MissingFilesMessage());
        EXPECT_EQ(lightsMade, c.lightsMade) << c.name;
        EXPECT_EQ(smokeMade, c.smokeMade) << c.name;
        EXPECT_EQ(frames, c.frames) << c.name;
    }
}

TEST_F(SceneFailures, SnowSpeedIsIgnoredWhileTheSnowIsOff) {
    WriteSettings("1", "1", "0", "3", "2", "");
    const Outcome outcome = RunAndWatch(10);
    EXPECT_FALSE(outcome.message);
    EXPECT_EQ(saver.FramesRun(), 10);
}

TEST_F(SceneFailures, SwitchesReadAsNumbers) {
    WriteSettings(" 1.0 ", "1e0", "2", "3", "2", "4");
    ASSERT_FALSE(Run(1));
    EXPECT_TRUE(saver.LightString(3)->Active());
    EXPECT_TRUE(saver.Smoke()->Active());
    EXPECT_FALSE(saver.Snowflake(0)->Active()) << "a switch other than 1 is off";
}

TEST_F(SceneFailures, MissingSettingsFile) {
    std::filesystem::remove(folder.File("vantroglimmerdel.ini"));
    const Outcome outcome = RunAndWatch(5);
    EXPECT_TRUE(outcome.message);
    EXPECT_FALSE(outcome.lightsMade);
}

}  // namespace
