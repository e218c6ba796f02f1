// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/app/AppFixture.h"

namespace {

class EmailPrompt : public AppFixture {
  protected:
    void Applic(const std::string& lines) { WriteIni("[controls]\nlights=1\n[applic]\n" + lines); }
    std::string Key(const char* key) {
        std::string value;
        ReadSetting("applic", key, value, IniPath());
        return value;
    }
    void InstallCompanion() {
        folder.Write("GlimmerdelEmail.exe", "#!/bin/sh\nexit 0\n");
        chmod(folder.File("GlimmerdelEmail.exe").c_str(), 0755);
    }
};

TEST_F(EmailPrompt, DisarmedDoesNothing) {
    for (const char* display : {"", "appdisplay=0\n", "appdisplay= 1x\n", "appdisplay=true\n"}) {
        Applic(std::string(display) + "appcurrent=9\nappalert=3\n");
        const std::string before = ReadIni();
        host.SetOnline(true);
        RunEmailPrompt();
        EXPECT_EQ(ReadIni(), before) << display;
        EXPECT_TRUE(host.Launched().empty());
    }
}

TEST_F(EmailPrompt, CountingRaisesTheCounter) {
    Applic("appdisplay=1\nappcurrent=2\nappalert=5\n");
    EXPECT_FALSE(IsEmailPromptDue());
    EXPECT_EQ(Key("appcurrent"), "3");
    EXPECT_EQ(g_appCurrent, "3");
}

TEST_F(EmailPrompt, FractionalCounterRoundsForTheTestAndCountsOnExactly) {
    Applic("appdisplay=1\nappcurrent=2.5\nappalert=5\n");
    EXPECT_FALSE(IsEmailPromptDue());
    EXPECT_EQ(Key("appcurrent"), "3.5");
}

TEST_F(EmailPrompt, DueWhenReachedOrUnreadable) {
    const char* cases[] = {"appcurrent=5\nappalert=5\n",
                           "appcurrent=6\nappalert=5\n",
                           "appalert=5\n",
                           "appcurrent=2\n",
                           "appcurrent=40000\nappalert=5\n",
                           "appcurrent=two\nappalert=5\n"};
    for (const char* counters : cases) {
        Applic(std::string("appdisplay=1\n") + counters);
        const std::string before = ReadIni();
        EXPECT_TRUE(IsEmailPromptDue()) << counters;
        EXPECT_EQ(ReadIni(), before) << "a due prompt changes no counter";
    }
}

TEST_F(EmailPrompt, DueAndOfflineStaysDue) {
    Applic("appdisplay=1\nappcurrent=5\nappalert=5\n");
    const std::string before = ReadIni();
    host.SetOnline(false);
    InstallCompanion();
    RunEmailPrompt();
    EXPECT_EQ(ReadIni(), before);
    EXPECT_TRUE(host.Launched().empty());
}

TEST_F(EmailPrompt, DueAndOnlineStartsTheCompanionOnce) {
    Applic("appdisplay=1\nappcurrent=5\nappalert=5\n");
    host.SetOnline(true);
    InstallCompanion();
    RunEmailPrompt();
    EXPECT_EQ(host.Launched(), std::vector<std::string>{folder.File("GlimmerdelEmail.exe")});
    EXPECT_EQ(Key("appdisplay"), "0");
    RunEmailPrompt();
    EXPECT_EQ(host.Launched().size(), 1u) << "disarmed for good";
}

TEST_F(EmailPrompt, MissingCompanionDisarmsSilently) {
    Applic("appdisplay=1\nappalert=5\n");
    host.SetOnline(true);
    RunEmailPrompt();
    EXPECT_TRUE(host.Launched().empty());
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ(Key("appdisplay"), "0");
}

TEST_F(EmailPrompt, DeliveredSettingsPromptOnTheFourthRun) {
    Applic("appdisplay=1\nappcurrent=0\nappalert=3\n");
    host.SetOnline(true);
    InstallCompanion();
    for (int run = 1; run <= 3; ++run) {
        RunEmailPrompt();
        EXPECT_EQ(Key("appcurrent"), std::to_string(run));
        EXPECT_TRUE(host.Launched().empty());
    }
    RunEmailPrompt();
    EXPECT_EQ(host.Launched().size(), 1u);
    EXPECT_EQ(Key("appdisplay"), "0");
    EXPECT_EQ(Key("appcurrent"), "3");
}

TEST_F(EmailPrompt, OnlineAndWebPages) {
    host.SetOnline(true);
    EXPECT_TRUE(IsOnline());
    host.SetOnline(false);
    EXPECT_FALSE(IsOnline());
    EXPECT_EQ(OpenDocument("http://www.glimmerdel.example"), 42);
    EXPECT_EQ(FriendPageAddress(), "http://www.glimmerdel.example/dovizozira.php?s=22");
    EXPECT_EQ(host.Opened(), std::vector<std::string>{"http://www.glimmerdel.example"});
}

}  // namespace
