// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "app/LinuxOptionTable.h"
#include "app/LinuxOptions.h"
#include "settings_ui/frmSettings.h"
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

// The option table against the parser, the settings dialog and what users read elsewhere: the
// xscreensaver settings file, the man page and the README.
namespace {

using Row = LinuxOptionTable::Row;
using OptionsAndDialog = AppFixture;

std::string ReadSourceFile(const std::string& name) {
    std::ifstream in(std::string(GLIMMERDEL_SOURCE_DIR) + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Dashed(std::string_view name) {
    return "--" + std::string(name);
}

// The first range a text gives, as "1 to 4" or "2 (gentle) to 20 (a storm)".
std::optional<std::pair<int, int>> FirstRange(const std::string& text) {
    static const std::regex range(R"(([0-9]+)(?: \([^)]*\))? to ([0-9]+))");
    std::smatch match;
    if (!std::regex_search(text, match, range))
        return std::nullopt;
    return std::make_pair(std::stoi(match[1]), std::stoi(match[2]));
}

TEST(LinuxOptionTable, EveryOptionParsesAsItsKindAndEveryRangeIsEnforced) {
    for (const Row& row : LinuxOptionTable::Rows()) {
        const std::string name = Dashed(row.name);
        SCOPED_TRACE(name);
        EXPECT_EQ(LinuxOptionTable::Find(name), &row);
        EXPECT_EQ(LinuxOptionTable::Find("-" + std::string(row.name)), &row);
        if (row.TakesValue() && !row.ValueIsOptional()) {
            EXPECT_NE(Parse({name}).error.find("needs a value"), std::string::npos);
        }
        if (!row.TakesValue()) {
            EXPECT_NE(Parse({name + "=1"}).error.find("takes no value"), std::string::npos);
        }
        if (row.kind == OptionKind::Switch) {
            EXPECT_EQ(Parse({name}).overrides, (Overrides{{std::string(row.key), "1"}}));
            EXPECT_EQ(Parse({"-" + std::string(row.negation)}).overrides,
                      (Overrides{{std::string(row.key), "0"}}));
        }
        if (!row.Ranged())
            continue;
        // The ends of the range are taken, one past either end is refused with the range.
        auto value = [&](int number) {
            const std::string text = std::to_string(number);
            return row.kind == OptionKind::OwnWindow ? text + "x" + std::to_string(row.low) : text;
        };
        EXPECT_LT(row.low, row.high);
        for (const int good : {row.low, row.high}) {
            const LinuxOptions options = Parse({name, value(good)});
            EXPECT_TRUE(options.error.empty()) << options.error;
            if (row.kind == OptionKind::Speed) {
                EXPECT_EQ(options.overrides.size(), 1u);
            }
        }
        const std::string range = std::to_string(row.low) + " to " + std::to_string(row.high);
        for (const int bad : {row.low - 1, row.high + 1}) {
            const LinuxOptions options = Parse({name + "=" + value(bad)});
            EXPECT_NE(options.error.find(range), std::string::npos) << bad << ": " << options.error;
            EXPECT_TRUE(options.overrides.empty());
        }
        EXPECT_EQ(FirstRange(row.Help()), std::make_pair(row.low, row.high)) << "in the usage";
    }
    EXPECT_EQ(LinuxOptionsUsage().find('{'), std::string::npos) << "every range written in";
    EXPECT_EQ(LinuxOptionTable::Find("---snow"), nullptr);
    EXPECT_EQ(LinuxOptionTable::Find("snow"), nullptr);
    EXPECT_EQ(LinuxOptionTable::Find("--"), nullptr);
}

// The speeds are those of the dialog's scroll bars, and the light and smoke speeds turn into a
// stored hold count the same way.
TEST_F(OptionsAndDialog, SpeedsHaveTheDialogsRangesAndMirroring) {
    frmSettings dialog;
    const struct {
        const char* option;
        const HScrollBar& bar;
    } speeds[] = {{"--light-speed", dialog.HScrollLights},
                  {"--smoke-speed", dialog.HScrollSmoke},
                  {"--snow-speed", dialog.HScrollSnowing}};
    int rows = 0;
    for (const Row& row : LinuxOptionTable::Rows())
        rows += row.kind == OptionKind::Speed;
    EXPECT_EQ(rows, 3);
    for (const auto& speed : speeds) {
        const Row* row = LinuxOptionTable::Find(speed.option);
        ASSERT_NE(row, nullptr) << speed.option;
        EXPECT_EQ(row->low, speed.bar.Min()) << speed.option;
        EXPECT_EQ(row->high, speed.bar.Max()) << speed.option;
    }
    // What the dialog saves for each position of its bars is what the options give.
    for (int position = 1; position <= 10; ++position) {
        dialog.Load();
        dialog.HScrollLights.SetValue(position);
        dialog.HScrollSmoke.SetValue(position);
        dialog.HScrollSnowing.SetValue(2 * position);
        dialog.Unload();
        const std::string text = std::to_string(position);
        const LinuxOptions options = Parse({"--light-speed", text, "--smoke-speed", text,
                                            "--snow-speed", std::to_string(2 * position)});
        EXPECT_EQ(options.overrides, (Overrides{{"lightspeed", g_lightSpeed},
                                                {"smokespeed", g_smokeSpeed},
                                                {"snowspeed", g_snowSpeed}}))
            << position;
    }
}

// One entry of a document: the options it names together, and the text that says what they do.
struct Entry {
    std::vector<std::string> names;
    std::string text;
};

// Every option a document names is the table's, with the table's range where it has one;
// allSpellings: every name and negation of the table is named (otherwise every option with a
// settings key, by either spelling).
void ExpectTheTablesOptions(const std::vector<Entry>& entries, bool allSpellings) {
    std::set<std::string> named;
    for (const Entry& entry : entries) {
        for (const std::string& name : entry.names) {
            const Row* row = LinuxOptionTable::Find(name);
            ASSERT_NE(row, nullptr) << name << " is no option";
            named.insert(name.substr(name.find_first_not_of('-')));
            if (!row->Ranged())
                continue;
            EXPECT_EQ(FirstRange(entry.text), std::make_pair(row->low, row->high))
                << name << ": " << entry.text;
        }
    }
    for (const Row& row : LinuxOptionTable::Rows()) {
        const std::string name(row.name);
        const std::string negation(row.negation);
        if (allSpellings) {
            EXPECT_TRUE(named.contains(name)) << name << " is not named";
            if (!negation.empty()) {
                EXPECT_TRUE(named.contains(negation)) << negation << " is not named";
            }
        } else if (!row.key.empty()) {
            EXPECT_TRUE(named.contains(name) || named.contains(negation))
                << name << " is not named";
        }
    }
}

// The options named in a text: "--name" or "-name" after a blank, a quote or a backtick.
std::vector<std::string> OptionNames(const std::string& text) {
    static const std::regex option(R"((?:^|[\s"`])(--?[a-z][a-z-]*))");
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

TEST(LinuxOptionTable, XscreensaverSettingsNameItsSettingsWithTheirRanges) {
    const std::string xml = ReadSourceFile("app/glimmerdel.xml");
    const std::regex element(R"(<(command|boolean|number)\b([^>]*)>)");
    const std::regex attribute(R"re(([a-z_-]+)="([^"]*)")re");
    std::vector<Entry> entries;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), element);
         it != std::sregex_iterator(); ++it) {
        const std::string kind = (*it)[1];
        const std::string attributes = (*it)[2];
        std::map<std::string, std::string> values;
        for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
             a != std::sregex_iterator(); ++a) {
            values[(*a)[1]] = (*a)[2];
        }
        Entry entry;
        for (const char* name : {"arg", "arg-set", "arg-unset"}) {
            if (!values.contains(name))
                continue;
            std::string option = values[name];
            const bool takesValue = option.ends_with(" %");
            if (takesValue)
                option.resize(option.size() - 2);
            const Row* row = LinuxOptionTable::Find(option);
            ASSERT_NE(row, nullptr) << option;
            EXPECT_EQ(takesValue, row->TakesValue()) << option;
            const OptionKind expected = kind == "command"   ? OptionKind::Root
                                        : kind == "boolean" ? OptionKind::Switch
                                                            : OptionKind::Speed;
            EXPECT_EQ(row->kind, expected) << option;
            entry.names.push_back(option);
        }
        if (kind == "number")
            entry.text = values["low"] + " to " + values["high"];
        entries.push_back(entry);
    }
    ExpectTheTablesOptions(entries, false);
}

TEST(LinuxOptionTable, ManPageNamesEveryOptionWithItsRange) {
    std::string page = ReadSourceFile("app/glimmerdel.6");
    for (size_t at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at))
        page.replace(at, 2, "-");
    // A tagged paragraph: ".TP", the tag line, then its text up to the next paragraph.
    std::vector<Entry> entries;
    std::istringstream lines(page);
    std::string line;
    Entry* entry = nullptr;
    bool tag = false;
    while (std::getline(lines, line)) {
        if (line == ".TP" || line.starts_with(".PP") || line.starts_with(".SH")) {
            entry = nullptr;
            tag = line == ".TP";
        } else if (tag) {
            entries.push_back({OptionNames(line), ""});
            entry = &entries.back();
            tag = false;
        } else if (entry != nullptr) {
            entry->text += line + "\n";
        }
    }
    ExpectTheTablesOptions(entries, true);
}

TEST(LinuxOptionTable, ReadmeTableNamesEveryOptionWithItsRange) {
    std::istringstream lines(ReadSourceFile("README.md"));
    std::string line;
    while (std::getline(lines, line) && line != "| Option | Meaning |") {
    }
    ASSERT_TRUE(lines) << "the README's table of options";
    std::vector<Entry> entries;
    while (std::getline(lines, line) && line.starts_with("|")) {
        const size_t middle = line.find(" | ");
        if (line.starts_with("|---") || middle == std::string::npos)
            continue;
        entries.push_back({OptionNames(line.substr(1, middle)), line.substr(middle + 3)});
    }
    ExpectTheTablesOptions(entries, true);
}

}  // namespace
