// SPDX-License-Identifier: MIT
#include "tests/app/AppFixture.h"

#include <algorithm>

#include "platform/RuntimeError.h"

namespace {

using SettingsStore = AppFixture;

// A path with the system's separators.
std::string Sys(std::string path) {
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

TEST_F(SettingsStore, PathsStandInTheProgramFolder) {
    host.SetAppPath(Sys("/opt/glimmerdel"));
    EXPECT_EQ(IniPath(), Sys("/opt/glimmerdel/vantroglimmerdel.ini"));
    EXPECT_EQ(DataFolder(), Sys("/opt/glimmerdel/vurezezideriru/glimmerdel/"));
    EXPECT_EQ(EmailProgramPath(), Sys("/opt/glimmerdel/GlimmerdelEmail.exe"));
}

TEST_F(SettingsStore, RootFolderGivesNoDoubledSeparator) {
    host.SetAppPath(Sys("/"));
    EXPECT_EQ(IniPath(), Sys("/vantroglimmerdel.ini"));
    EXPECT_EQ(DataFolder(), Sys("/vurezezideriru/glimmerdel/"));
    EXPECT_EQ(EmailProgramPath(), Sys("/GlimmerdelEmail.exe"));
}

TEST_F(SettingsStore, ReadSettingReplacesWhateverTheVariableHeld) {
    WriteIni("[controls]\nlights=1\nlong=" + std::string(300, 'x') + "\n");
    std::string value = "preset";
    ReadSetting("controls", "lights", value, IniPath());
    EXPECT_EQ(value, "1");
    ReadSetting("controls", "long", value, IniPath());
    EXPECT_EQ(value, std::string(254, 'x'));
    value = "preset";
    ReadSetting("controls", "absent", value, IniPath());
    EXPECT_EQ(value, "");
    value = "preset";
    ReadSetting("controls", "lights", value, folder.File("no-such-file.ini"));
    EXPECT_EQ(value, "");
}

TEST_F(SettingsStore, WriteSettingGoesToTheSettingsFile) {
    WriteIni("[controls]\nlights=1\nsnowing=1\n");
    WriteSetting("controls", "lights", "0");
    WriteSetting("applic", "appcurrent", "4");
    EXPECT_EQ(ReadIni(), "[controls]\nlights=0\nsnowing=1\n[applic]\nappcurrent=4\n");
}

// The light and smoke speeds, as the dialog's scroll bars and the command line show them.
TEST(MirrorSpeed, MapsStoredSpeedsAndPositionsBothWays) {
    const struct {
        const char* value;
        const char* result;
    } table[] = {{"1", "10"}, {"2", "8"}, {"3", "7"}, {"4", "6"},  {"5", "5"}, {"6", "4"},
                 {"7", "3"},  {"8", "2"}, {"9", "1"}, {"10", "1"}, {"0", "10"}};
    for (const auto& row : table) {
        EXPECT_EQ(MirrorSpeed(row.value, "10"), row.result) << row.value;
    }
}

TEST(MirrorSpeed, ComparesNumbersForOneButTextForTheMaximum) {
    EXPECT_EQ(MirrorSpeed("1.0", "10"), "10");
    EXPECT_EQ(MirrorSpeed(" 1", "10"), "10");
    EXPECT_EQ(MirrorSpeed("10.0", "10"), "0");  // not the same text as "10"
    EXPECT_EQ(MirrorSpeed("2.5", "10"), "7.5");
    EXPECT_EQ(MirrorSpeed("12", "10"), "-2");
    EXPECT_THROW(MirrorSpeed("fast", "10"), ConversionError);
    EXPECT_THROW(MirrorSpeed("", "10"), ConversionError);
}

TEST_F(SettingsStore, DeliveredSettingsFileHoldsEveryKeyInRange) {
    host.SetAppPath(GLIMMERDEL_SOURCE_DIR "/app");  // the file as delivered
    std::string value;
    for (const char* key : {"lights", "chimneysmoke", "snowing"}) {
        ReadSetting("controls", key, value, IniPath());
        EXPECT_EQ(value, "1") << key;
    }
    for (const char* key : {"lightspeed", "smokespeed"}) {
        ReadSetting("controls", key, value, IniPath());
        const int speed = std::stoi(value);
        EXPECT_TRUE(speed >= 1 && speed <= 10 && speed != 9) << key << "=" << value;
    }
    ReadSetting("controls", "snowspeed", value, IniPath());
    EXPECT_GE(std::stoi(value), 2);
    EXPECT_LE(std::stoi(value), 20);
    ReadSetting("applic", "appdisplay", value, IniPath());
    EXPECT_EQ(value, "1");
    ReadSetting("applic", "appcurrent", value, IniPath());
    EXPECT_EQ(value, "0");
    ReadSetting("applic", "appalert", value, IniPath());
    EXPECT_EQ(value, "3");
}

}  // namespace
