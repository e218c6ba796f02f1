#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "app/LinuxOptions.h"
#include "tests/app/AppFixture.h"

namespace {

using Overrides = std::vector<std::pair<std::string, std::string>>;

LinuxOptions Parse(const std::vector<std::string>& arguments, const char* environment = nullptr) {
    return ParseLinuxOptions(arguments, environment);
}

TEST(LinuxOptions, ClassicSwitchesAreNotOurs) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"/s"}, {"/c:4711"}, {"/p", "4711"}, {"/x"}, {"-x"}, {"--bogus"}, {"/s", "--root"}}) {
        const LinuxOptions options = Parse(arguments, "0x1234");
        EXPECT_FALSE(options.recognised) << arguments[0];
        EXPECT_TRUE(options.error.empty());
    }
}

TEST(LinuxOptions, WhereToDraw) {
    EXPECT_FALSE(Parse({}).recognised) << "no arguments and no daemon window: the saver";
    LinuxOptions options = Parse({}, "4711");
    EXPECT_TRUE(options.embedded) << "a daemon's window and no switch means --root";
    EXPECT_EQ(options.window, 4711u);
    options = Parse({"--root"});
    EXPECT_TRUE(options.embedded);
    EXPECT_EQ(options.window, 0u) << "the root window";
    options = Parse({"-root"}, "0x2a00007");
    EXPECT_EQ(options.window, 0x2a00007u);
    options = Parse({"--window-id", "0x1C"});
    EXPECT_TRUE(options.embedded);
    EXPECT_EQ(options.window, 28u);
    options = Parse({"-window-id", "123"}, "0x99");
    EXPECT_EQ(options.window, 123u) << "an explicit window wins over the environment";
    options = Parse({"--window-id=77"});
    EXPECT_EQ(options.window, 77u);
}

TEST(LinuxOptions, SettingsForOneRunInTheDialogsRanges) {
    const LinuxOptions options = Parse({"--no-lights", "--smoke", "-no-snow", "--light-speed", "10",
                                        "--smoke-speed=1", "--snow-speed", "20"});
    EXPECT_TRUE(options.error.empty()) << options.error;
    EXPECT_FALSE(options.embedded) << "no window given: full screen";
    EXPECT_EQ(options.overrides, (Overrides{{"lights", "0"},
                                            {"chimneysmoke", "1"},
                                            {"snowing", "0"},
                                            {"lightspeed", "1"},
                                            {"smokespeed", "10"},
                                            {"snowspeed", "20"}}));
    EXPECT_EQ(Parse({"--light-speed", "7"}).overrides, (Overrides{{"lightspeed", "3"}}))
        << "like the dialog's scroll bar: position 7 is a hold count of 3";
}

TEST(LinuxOptions, BadCommandLinesSayWhy) {
    const std::vector<std::vector<std::string>> bad = {
        {"--light-speed"},
        {"--light-speed", "0"},
        {"--light-speed", "11"},
        {"--smoke-speed", "fast"},
        {"--snow-speed", "1"},
        {"--snow-speed", "2.5"},
        {"--window-id", "junk"},
        {"--window-id", "0"},
        {"--window-id", "0x"},
        {"--window-id", "-5"},
        {"--root", "--bogus"},
        {"--lights=1"},
        {"--window-id", "99999999999999999999999"},
    };
    for (const auto& arguments : bad) {
        const LinuxOptions options = Parse(arguments);
        EXPECT_TRUE(options.recognised);
        EXPECT_FALSE(options.error.empty()) << arguments.back();
    }
    EXPECT_FALSE(Parse({}, "not-a-window").error.empty());
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"-version"}).version);
    EXPECT_NE(LinuxOptionsUsage().find("--snow-speed"), std::string::npos);
}

// The xscreensaver settings file names only options the program accepts, and its defaults are
// the delivered settings.
TEST(LinuxOptions, XscreensaverSettingsMatchTheProgram) {
    const std::string path = GLIMMERDEL_SOURCE_DIR "/app/glimmerdel.xml";
    ASSERT_EQ(std::system(("xmllint --noout " + path).c_str()), 0) << "well-formed";
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string xml = text.str();
    const std::regex argument(R"re(arg(-unset)?="([^"]*)")re");
    const std::regex number(R"re(arg="([^ "]+) %"[^>]*default="([0-9]+)")re");
    int options = 0;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), argument);
         it != std::sregex_iterator(); ++it) {
        std::string value = (*it)[2];
        const size_t percent = value.find(" %");
        if (percent != std::string::npos)
            value.resize(percent);
        std::vector<std::string> arguments{value};
        if (percent != std::string::npos)
            arguments.push_back("5");
        const LinuxOptions parsed = Parse(arguments);
        EXPECT_TRUE(parsed.recognised && parsed.error.empty()) << value << ": " << parsed.error;
        ++options;
    }
    EXPECT_EQ(options, 7);

    // Defaults: the sliders at the delivered speeds, the switches on (as delivered).
    HeadlessHost host;
    SetHost(&host);
    host.SetAppPath(GLIMMERDEL_SOURCE_DIR "/app");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), number);
         it != std::sregex_iterator(); ++it) {
        const LinuxOptions parsed = Parse({(*it)[1], (*it)[2]});
        ASSERT_EQ(parsed.overrides.size(), 1u);
        std::string delivered;
        ReadSetting("controls", parsed.overrides[0].first, delivered, IniPath());
        EXPECT_EQ(parsed.overrides[0].second, delivered) << (*it)[1];
    }
    for (const char* key : {"lights", "chimneysmoke", "snowing"}) {
        std::string delivered;
        ReadSetting("controls", key, delivered, IniPath());
        EXPECT_EQ(delivered, "1") << key << ": the switches default to on";
    }
    SetHost(nullptr);
}

using PerUserSettings = AppFixture;

TEST_F(PerUserSettings, ReadOnlyProgramFolderUsesTheUsersOwnCopy) {
    WriteIni("[controls]\nlights=1\n");
    TempDir home;
    host.SetFoldersWritable(false);
    host.SetUserConfigFolder(home.Path() + "/config/glimmerdel");
    const std::string own = home.Path() + "/config/glimmerdel/vantroglimmerdel.ini";
    EXPECT_EQ(IniPath(), own);
    EXPECT_EQ(home.Read("config/glimmerdel/vantroglimmerdel.ini"), "[controls]\nlights=1\n")
        << "made from the delivered file";
    WriteSetting("controls", "lights", "0");
    std::string value;
    ReadSetting("controls", "lights", value, IniPath());
    EXPECT_EQ(value, "0");
    EXPECT_EQ(ReadIni(), "[controls]\nlights=1\n") << "the delivered file stays as it was";

    host.SetUserConfigFolder("");
    EXPECT_EQ(IniPath(), folder.File("vantroglimmerdel.ini")) << "no user folder known";
    host.SetFoldersWritable(true);
    host.SetUserConfigFolder(home.Path() + "/config/glimmerdel");
    EXPECT_EQ(IniPath(), folder.File("vantroglimmerdel.ini")) << "a writable folder keeps it";
}

TEST_F(PerUserSettings, OverridesReplaceTheFileForOneRun) {
    WriteIni("[controls]\nlights=1\nsnowspeed=4\n");
    SetSettingOverride("lights", "0");
    std::string value;
    ReadSetting("controls", "lights", value, IniPath());
    EXPECT_EQ(value, "0");
    ReadSetting("controls", "snowspeed", value, IniPath());
    EXPECT_EQ(value, "4");
    ReadSetting("applic", "lights", value, IniPath());
    EXPECT_EQ(value, "") << "only the scene settings";
    ClearSettingOverrides();
    ReadSetting("controls", "lights", value, IniPath());
    EXPECT_EQ(value, "1");
}

}  // namespace

namespace {

TEST(LinuxOptions, WindowModeTakesAnOptionalSize) {
    LinuxOptions options = Parse({"--window"});
    EXPECT_TRUE(options.recognised);
    EXPECT_TRUE(options.windowed);
    EXPECT_FALSE(options.embedded);
    EXPECT_EQ(options.windowWidth, 1024);
    EXPECT_EQ(options.windowHeight, 600);
    options = Parse({"--window", "800x480", "--no-snow"});
    EXPECT_EQ(options.windowWidth, 800);
    EXPECT_EQ(options.windowHeight, 480);
    EXPECT_EQ(options.overrides, (Overrides{{"snowing", "0"}}));
    options = Parse({"--window=1920X1080"});
    EXPECT_EQ(options.windowWidth, 1920);
    EXPECT_EQ(options.windowHeight, 1080);
    options = Parse({"--window", "--snow-speed", "4"});
    EXPECT_TRUE(options.error.empty()) << "the next option is no size";
    EXPECT_EQ(options.windowWidth, 1024);
    // A daemon's window in the environment does not turn the window mode into --root.
    EXPECT_FALSE(Parse({"--window"}, "0x1234").embedded);
}

TEST(LinuxOptions, BadWindowSizesAndClashingModesAreErrors) {
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--window=800"},
                                               {"--window=x600"},
                                               {"--window=63x600"},
                                               {"--window=800x16385"},
                                               {"--window=-800x600"},
                                               {"--window=800x600x2"},
                                               {"--window=99999999999x1"},
                                               {"--window", "--root"},
                                               {"--window-id", "0x1234", "--window"},
                                               {"--window", "800x600", "900x700"}}) {
        EXPECT_FALSE(Parse(arguments).error.empty()) << arguments.back();
    }
    EXPECT_EQ(ParseWindowSize("64x64"), std::make_pair(64, 64));
    EXPECT_EQ(ParseWindowSize("16384x16384"), std::make_pair(16384, 16384));
    EXPECT_FALSE(ParseWindowSize(""));
    EXPECT_FALSE(ParseWindowSize("1e3x600"));
}

TEST(LinuxOptions, ScaleIsAWholeNumberFromOneToFour) {
    EXPECT_FALSE(Parse({"--snow"}).scale) << "unset: chosen per monitor";
    EXPECT_EQ(Parse({"--scale", "1"}).scale, 1);
    EXPECT_EQ(Parse({"--scale=4"}).scale, 4);
    EXPECT_EQ(Parse({"--root", "--scale", "2"}).scale, 2);
    for (const char* bad : {"0", "5", "1.5", "two", ""})
        EXPECT_FALSE(Parse({"--scale", bad}).error.empty()) << bad;
    EXPECT_FALSE(Parse({"--scale"}).error.empty()) << "needs a value";
}

}  // namespace
