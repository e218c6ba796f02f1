// SPDX-License-Identifier: MIT
// Whatever lies in the program folder, the saver reacts as the scene defines and never crashes,
// hangs or takes much memory: pictures missing, empty, cut short, of another format or with a
// lying header; pictures over the size limits; broken settings files. Most runs use the snapshot
// tool (the saver's own set-up and frames, headless, as a separate process); a few use the real
// program under Xvfb.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "art/scene_manifest.h"
#include "platform/profile.h"
#include "tests/e2e/XSession.h"
#include "tests/support/BmpFile.h"
#include "tools/harness/TempDir.h"
#include "tools/harness/settings_text.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const char* const kMessageStart = "One or more files are missing from application.";

// A finished process: its exit status (128 + signal when a signal ended it; nullopt when it had
// to be killed after the time limit), its peak memory and how long it ran.
struct Outcome {
    std::optional<int> status;
    long peakKiB = 0;
    long long milliseconds = 0;
    std::string errors;
};

Outcome RunProcess(const std::vector<std::string>& argv, std::chrono::seconds limit) {
    TempDir scratch;
    const std::string errorFile = scratch.File("stderr.txt");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = StartProcess(argv, {}, errorFile);
    Outcome outcome;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (std::chrono::steady_clock::now() - start > limit) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            outcome.milliseconds = MillisecondsSince(start);
            return outcome;
        }
        std::this_thread::sleep_for(2ms);
    }
    outcome.milliseconds = MillisecondsSince(start);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.peakKiB = usage.ru_maxrss;
    outcome.errors = scratch.Read("stderr.txt");
    return outcome;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// Content that stands for a named pipe in the file's place (a reader that waited for it would
// wait for ever).
const std::string kNamedPipe = "\x01 a named pipe \x01";

// Puts a file in place: the content, a named pipe, or nothing at all (nullopt).
void Place(const std::string& path, const std::optional<std::string>& content) {
    fs::remove(path);
    if (!content)
        return;
    if (*content == kNamedPipe)
        ASSERT_EQ(mkfifo(path.c_str(), 0644), 0) << path;
    else
        WriteFile(path, *content);
}

void Put32(std::string& bytes, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::int32_t Get32(const std::string& bytes, size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return static_cast<std::int32_t>(value);
}

// A 1-bit bitmap file of the given size, every pixel of palette colour 0 (a dark red).
void WriteMonochromeBitmap(const std::string& path, int width, int height) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) + 31) / 32 * 4;
    std::string header(62, '\0');
    header[0] = 'B';
    header[1] = 'M';
    Put32(header, 2, 62 + rowBytes * static_cast<std::uint32_t>(height));
    Put32(header, 10, 62);
    Put32(header, 14, 40);
    Put32(header, 18, static_cast<std::uint32_t>(width));
    Put32(header, 22, static_cast<std::uint32_t>(height));
    header[26] = 1;                 // planes
    header[28] = 1;                 // bits per pixel
    Put32(header, 46, 2);           // palette entries
    Put32(header, 54, 0x00201EB4);  // colour 0: blue 0x20, green 0x1E, red 0xB4
    Put32(header, 58, 0x00FFFFFF);
    std::ofstream out(path, std::ios::binary);
    out << header;
    const std::string row(rowBytes, '\0');
    for (int y = 0; y < height; ++y)
        out << row;
}

// A small all-black picture.
std::string BlackBitmap() {
    BmpPicture picture;
    picture.width = 4;
    picture.height = 4;
    picture.pixels.assign(16, 0);
    return EncodeBmp(picture);
}

// A program folder for the snapshot tool: the delivered settings file and a copy of the built
// pictures, each of which a test may replace.
class SnapshotFolder {
  public:
    SnapshotFolder() {
        const fs::path build = GLIMMERDEL_PROGRAM_DIR;
        fs::copy_file(build / "vantroglimmerdel.ini", m_folder.File("vantroglimmerdel.ini"));
        fs::create_directories(m_folder.File("vurezezideriru"));
        fs::copy(build / "vurezezideriru", m_folder.File("vurezezideriru"),
                 fs::copy_options::recursive);
    }
    std::string Picture(const std::string& name) const {
        return m_folder.File("vurezezideriru/glimmerdel/" + name);
    }
    std::string Settings() const { return m_folder.File("vantroglimmerdel.ini"); }

    // Renders 30 frames of 1024 x 600 with a fixed seed. The picture, when one was written.
    Outcome Snapshot(std::string* png = nullptr) const {
        const std::string out = m_folder.File("out.png");
        fs::remove(out);
        Outcome outcome = RunProcess(
            {std::string(GLIMMERDEL_PROGRAM_DIR) + "/glimmerdel-snapshot", "--folder",
             m_folder.Path(), "--size", "1024x600", "--frames", "30", "--seed", "5", "--out", out},
            60s);
        if (png != nullptr)
            *png = fs::exists(out) ? ReadFile(out) : "";
        return outcome;
    }

  private:
    TempDir m_folder;
};

// Ended by itself, neither killed by a signal nor hanging (a minute is far beyond any run).
void ExpectOrderly(const Outcome& outcome, const std::string& what) {
    ASSERT_TRUE(outcome.status.has_value()) << what << ": still running after 60 s";
    EXPECT_LT(*outcome.status, 128) << what << ": ended by signal " << *outcome.status - 128 << "\n"
                                    << outcome.errors;
}

TEST(Faults, EveryPictureMissingOrBrokenGetsTheSceneReaction) {
    SnapshotFolder folder;
    std::string whole;
    ASSERT_EQ(folder.Snapshot(&whole).status, 0);
    ASSERT_FALSE(whole.empty());

    // A sky that cannot be loaded tiles nothing: the scene over a black sky.
    const std::string sky = ReadFile(folder.Picture(art::kSkyPicture));
    WriteFile(folder.Picture(art::kSkyPicture), BlackBitmap());
    std::string blackSky;
    ASSERT_EQ(folder.Snapshot(&blackSky).status, 0);
    WriteFile(folder.Picture(art::kSkyPicture), sky);

    int shown = 0;  // pictures whose absence changes the scene: the comparisons mean something
    for (const art::ScenePicture& picture : art::kScenePictures) {
        const char* name = picture.file;
        const std::string path = folder.Picture(name);
        const std::string original = ReadFile(path);
        ASSERT_GT(original.size(), 54u) << name;
        std::string taller = original;  // one row more than the file holds
        const std::int32_t height = Get32(original, 22);
        Put32(taller, 22, static_cast<std::uint32_t>(height < 0 ? height - 1 : height + 1));
        std::string farOffset = original;  // pixels said to start after the end of the file
        Put32(farOffset, 10, static_cast<std::uint32_t>(original.size() + 4096));
        const struct {
            const char* fault;
            std::optional<std::string> content;
        } faults[] = {
            {"missing", std::nullopt},
            {"empty", std::string()},
            {"cut short", original.substr(0, original.size() / 2)},
            {"of another format", whole},
            {"claiming one row more", taller},
            {"with its pixels past the end", farOffset},
            {"as a named pipe", kNamedPipe},
        };
        std::string missing;
        for (const auto& f : faults) {
            const std::string what = std::string(name) + " " + f.fault;
            Place(path, f.content);
            std::string png;
            const Outcome outcome = folder.Snapshot(&png);
            ExpectOrderly(outcome, what);
            if (std::string(name) == art::kSkyPicture && !f.content) {
                // The sky picture is looked for before anything is loaded.
                EXPECT_EQ(outcome.status, 1) << what;
                EXPECT_NE(outcome.errors.find(kMessageStart), std::string::npos) << what;
                EXPECT_TRUE(png.empty()) << what;
            } else if (std::string(name) == art::kSkyPicture) {
                EXPECT_EQ(outcome.status, 0) << what << "\n" << outcome.errors;
                EXPECT_TRUE(png == blackSky) << what << ": not the scene over a black sky";
            } else if (!f.content) {
                EXPECT_EQ(outcome.status, 0) << what << "\n" << outcome.errors;
                missing = png;
                shown += missing != whole;
            } else {
                // Any picture that cannot be loaded is an element of no size, as a missing one.
                EXPECT_EQ(outcome.status, 0) << what << "\n" << outcome.errors;
                EXPECT_TRUE(png == missing) << what << ": not the scene without " << name;
            }
        }
        Place(path, original);
    }
    EXPECT_EQ(shown, 13) << "every picture but the sky leaves its mark when it is missing";
}

TEST(Faults, PicturesOverTheSizeLimitsFailBeforeAnythingLargeIsAllocated) {
    SnapshotFolder folder;
    std::string black;
    WriteFile(folder.Picture(art::kSkyPicture), BlackBitmap());
    const Outcome small = folder.Snapshot(&black);
    ASSERT_EQ(small.status, 0);

    // A sky of 256 MiB exactly loads, and takes that memory: the measure works.
    WriteMonochromeBitmap(folder.Picture(art::kSkyPicture), 16384, 4096);
    std::string png;
    const Outcome atLimit = folder.Snapshot(&png);
    ExpectOrderly(atLimit, "16384 x 4096");
    EXPECT_EQ(atLimit.status, 0);
    EXPECT_NE(png, black) << "a sky at the limit is drawn";
    EXPECT_GT(atLimit.peakKiB - small.peakKiB, 200 * 1024);

    // Over the limits, with all their pixel data in the file: like a sky that cannot be read.
    const struct {
        int width, height;
    } over[] = {{16385, 4097}, {32768, 8}, {8, 32768}, {32767, 2049}};
    for (const auto& size : over) {
        const std::string what = std::to_string(size.width) + " x " + std::to_string(size.height);
        WriteMonochromeBitmap(folder.Picture(art::kSkyPicture), size.width, size.height);
        const Outcome outcome = folder.Snapshot(&png);
        ExpectOrderly(outcome, what);
        EXPECT_EQ(outcome.status, 0) << what;
        EXPECT_TRUE(png == black) << what << ": the sky is not left out";
        EXPECT_LT(outcome.peakKiB - small.peakKiB, 32 * 1024) << what << ": peak memory";
    }
}

// The scene's settings file in the form the program delivers it, with some lines changed.
const std::string kDelivered =
    SettingsFileText(kDeliveredControls, "appdisplay=0\nappcurrent=0\nappalert=3\n");

std::string Junk(size_t size) {
    std::mt19937 random(2026);
    std::string junk(size, '\0');
    for (char& c : junk)
        c = static_cast<char>(random());
    return junk;
}

struct SettingsCase {
    const char* name;
    std::optional<std::string> content;  // nullopt: no settings file
    bool runs;                           // false: the missing-files message
};

std::vector<SettingsCase> SettingsCases() {
    const std::string megabyte(1 << 20, 'x');
    std::string longValue = kDelivered;
    longValue.replace(longValue.find("lights=1"), 8, "lights=" + std::string(1 << 20, '1'));
    return {
        {"missing", std::nullopt, false},
        {"empty", "", false},
        {"binary junk", Junk(4096), false},
        {"a line of a megabyte", ";" + megabyte + "\n" + kDelivered, true},
        {"a value of a megabyte", longValue, true},
        {"a megabyte without a line break", megabyte, false},
        {"sections repeated, the first whole", std::string(kDelivered) + "[controls]\nlights=x\n",
         true},
        {"sections repeated, the first short",
         "[controls]\nlights=1\nchimneysmoke=1\nlightspeed=3\nsmokespeed=2\nsnowspeed=4\n"
         "[controls]\nsnowing=1\n",
         false},
        {"keys without values",
         "[controls]\nlights=\nchimneysmoke\nsnowing=1\nlightspeed=3\nsmokespeed=2\n", false},
        {"numbers out of range",
         "[controls]\nlights=7\nchimneysmoke=-1\nsnowing=1\nlightspeed=99999\nsmokespeed=2\n"
         "snowspeed=4\n",
         false},
        {"a named pipe", kNamedPipe, false},
        {"speeds at the ends of their range",
         "[controls]\nlights=1\nchimneysmoke=1\nsnowing=1\nlightspeed=32767\nsmokespeed=-32768\n"
         "snowspeed=32767\n",
         true},
    };
}

TEST(Faults, BrokenSettingsFilesGetTheDefinedReaction) {
    SnapshotFolder folder;
    for (const SettingsCase& c : SettingsCases()) {
        Place(folder.Settings(), c.content);
        const Outcome outcome = folder.Snapshot();
        ExpectOrderly(outcome, c.name);
        if (c.runs) {
            EXPECT_EQ(outcome.status, 0) << c.name << "\n" << outcome.errors;
        } else {
            EXPECT_EQ(outcome.status, 1) << c.name;
            EXPECT_NE(outcome.errors.find(kMessageStart), std::string::npos) << c.name;
        }
    }
}

// --- The real program under Xvfb ---------------------------------------------------------

class FaultsUnderX : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.Running()) << "Xvfb could not be started";
        x.Xdotool({"mousemove", "0", "0"});
    }
    // Waits for a window of that name until it is viewable (and, where the program gives it the
    // keyboard, until it has the focus); 0 when none appeared.
    unsigned long Window(const char* name, bool focused) {
        const auto windows = x.FindWindows(name, kPatience);
        if (windows.empty() || !x.WaitViewable(windows[0]) ||
            (focused && !x.WaitFocused(windows[0])))
            return 0;
        return windows[0];
    }
    XvfbServer x{800, 600};
};

TEST_F(FaultsUnderX, BrokenPicturesStillRunTheSaver) {
    ProgramRun program;
    WriteFile(program.DataFile("snow.bmp"), "");
    std::string landscape = ReadFile(program.DataFile("landscape.bmp"));
    Put32(landscape, 18, 30000);
    Put32(landscape, 22, 30000);
    WriteFile(program.DataFile("landscape.bmp"), landscape);
    WriteFile(program.DataFile("smoke.bmp"), Junk(1000));
    program.Start({"/s"}, x.Display());
    const auto windows = x.FindWindows("Form1", kPatience);
    ASSERT_FALSE(windows.empty()) << program.ErrorOutput();
    ASSERT_TRUE(x.WaitViewable(windows[0]));
    EXPECT_TRUE(x.WaitKeyboardGrabbed()) << "the saver takes the keyboard";
    EXPECT_TRUE(program.Running());
    x.Xdotool({"key", "a"});
    EXPECT_EQ(program.WaitExit(kPatience), 0);
}

TEST_F(FaultsUnderX, JunkForSettingsShowsTheMessage) {
    ProgramRun program;
    program.Folder().Write("vantroglimmerdel.ini", Junk(4096));
    program.Start({}, x.Display());
    ASSERT_NE(Window("Glimmerdel", true), 0u) << "the message box, with the keyboard";
    EXPECT_TRUE(program.Running()) << "waits for OK";
    x.Xdotool({"key", "Return"});
    EXPECT_EQ(program.WaitExit(kPatience), 0);
}

// The settings dialog opens on any settings file and saves values that the saver can run on.
TEST_F(FaultsUnderX, TheDialogOpensOnBrokenSettingsAndSavesValidValues) {
    for (const SettingsCase& c : SettingsCases()) {
        ProgramRun program;
        Place(program.Folder().File("vantroglimmerdel.ini"), c.content);
        program.Start({"/c"}, x.Display());
        const unsigned long window = Window("Glimmerdel", false);
        ASSERT_NE(window, 0u) << c.name << ": no dialog\n" << program.ErrorOutput();
        EXPECT_TRUE(program.Running()) << c.name;
        x.Xdotool({"mousemove", "--window", std::to_string(window), "20", "20"});
        x.Xdotool({"key", "Escape"});
        ASSERT_EQ(program.WaitExit(kPatience), 0) << c.name << "\n" << program.ErrorOutput();
        if (c.content == kNamedPipe)
            continue;  // no settings file to save into: the pipe is left as it is

        const std::string path = program.Folder().File("vantroglimmerdel.ini");
        auto number = [&](const char* key) {
            char value[255];
            const std::uint32_t n =
                profile::GetPrivateProfileStringA("controls", key, "", value, 255, path.c_str());
            return std::string(value, n);
        };
        for (const char* key : {"lights", "chimneysmoke", "snowing"}) {
            const std::string value = number(key);
            EXPECT_TRUE(value == "0" || value == "1") << c.name << ": " << key << "=" << value;
        }
        for (const char* key : {"lightspeed", "smokespeed"}) {
            const std::string value = number(key);
            const int speed = value.empty() ? 0 : std::atoi(value.c_str());
            EXPECT_TRUE(speed >= 1 && speed <= 10 && std::to_string(speed) == value)
                << c.name << ": " << key << "=" << value;
        }
        const std::string snow = number("snowspeed");
        const int snowSpeed = snow.empty() ? 0 : std::atoi(snow.c_str());
        EXPECT_TRUE(snowSpeed >= 2 && snowSpeed <= 20 && std::to_string(snowSpeed) == snow)
            << c.name << ": snowspeed=" << snow;
    }
}

// --- Ends from outside: the X server gone, SIGTERM ----------------------------------------

// Ended in an orderly way: by itself, or by the signal that was sent; never by a crash.
void ExpectNoCrash(std::optional<int> status, int sent, const std::string& what) {
    ASSERT_TRUE(status.has_value()) << what << ": still running";
    EXPECT_TRUE(*status < 128 || *status == 128 + sent) << what << ": status " << *status;
}

enum class Stage { Saver, Message, Dialog, Embedded };

const char* Name(Stage stage) {
    switch (stage) {
        case Stage::Saver:
            return "while the saver runs";
        case Stage::Message:
            return "while the message is shown";
        case Stage::Dialog:
            return "while the dialog is open";
        case Stage::Embedded:
            return "while drawing into the root window";
    }
    return "";
}

// Starts the program at a stage of its life and waits until it is there.
bool StartAt(Stage stage, ProgramRun& program, XvfbServer& x) {
    switch (stage) {
        case Stage::Saver:
            program.Start({"/s"}, x.Display());
            return !x.FindWindows("Form1", kPatience).empty() && x.WaitKeyboardGrabbed();
        case Stage::Message:
            fs::remove(program.DataFile(art::kSkyPicture));
            program.Start({"/s"}, x.Display());
            return !x.FindWindows("Glimmerdel", kPatience).empty();
        case Stage::Dialog:
            program.Start({"/c"}, x.Display());
            return !x.FindWindows("Glimmerdel", kPatience).empty();
        case Stage::Embedded:
            program.Start({"--root"}, x.Display());
            return WaitUntil([&] { return LooksLikeTheScene(x.Capture(), 0xFF0000); }) &&
                   program.Running();
    }
    return false;
}

// How quickly the program ends is measured by `make bench`; here it must end by itself, where a
// hang would keep it.
TEST(EndsFromOutside, TheXServerGoneEndsTheProgram) {
    for (Stage stage : {Stage::Saver, Stage::Message, Stage::Dialog, Stage::Embedded}) {
        XvfbServer x{640, 480};
        ASSERT_TRUE(x.Running());
        ProgramRun program;
        ASSERT_TRUE(StartAt(stage, program, x)) << Name(stage) << "\n" << program.ErrorOutput();
        x.Kill();
        ExpectNoCrash(program.WaitExit(kPatience), 0, Name(stage));
    }
}

TEST(EndsFromOutside, TerminationEndsTheProgram) {
    XvfbServer x{640, 480};
    ASSERT_TRUE(x.Running());
    for (Stage stage : {Stage::Saver, Stage::Message, Stage::Dialog, Stage::Embedded}) {
        ProgramRun program;
        ASSERT_TRUE(StartAt(stage, program, x)) << Name(stage) << "\n" << program.ErrorOutput();
        kill(program.Pid(), SIGTERM);
        ExpectNoCrash(program.WaitExit(kPatience), SIGTERM, Name(stage));
    }
}

}  // namespace
