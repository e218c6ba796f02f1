// SPDX-License-Identifier: MIT
// Faults found by the fuzzers and the fault tests, each kept from coming back.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "app/LinuxOptions.h"
#include "app/mScreenSaver.h"
#include "platform/gdi.h"
#include "platform/numbers.h"
#include "platform/profile.h"
#include "tools/harness/TempDir.h"

namespace {

std::string Read(const std::string& path, const char* section, const char* key) {
    char value[255];
    const std::uint32_t n =
        profile::GetPrivateProfileStringA(section, key, "?", value, 255, path.c_str());
    return std::string(value, n);
}

// A key or section named with blanks around it is the key or section without them: the write
// used to add a second line for " lights " that no read could find.
TEST(Regressions, ProfileNamesWithBlanksAroundThem) {
    TempDir folder;
    const std::string path = folder.File("settings.ini");
    folder.Write("settings.ini", "[controls]\nlights=1\nsnowing=1\n");
    ASSERT_TRUE(profile::WritePrivateProfileStringA(" controls ", " lights ", "0", path.c_str()));
    EXPECT_EQ(folder.Read("settings.ini"), "[controls]\nlights=0\nsnowing=1\n");
    EXPECT_EQ(Read(path, "controls", " lights "), "0");
    EXPECT_EQ(Read(path, "\tcontrols", "snowing "), "1");
}

// A file whose last line ends in a lone carriage return: what is added after it used to make the
// return part of that line's value.
TEST(Regressions, ProfileLastLineEndingInACarriageReturn) {
    TempDir folder;
    const std::string path = folder.File("settings.ini");
    folder.Write("settings.ini", "[controls]\r\nlights=1\r");
    ASSERT_TRUE(profile::WritePrivateProfileStringA("applic", "appcurrent", "2", path.c_str()));
    EXPECT_EQ(folder.Read("settings.ini"),
              "[controls]\r\nlights=1\r\n[applic]\r\nappcurrent=2\r\n");
    EXPECT_EQ(Read(path, "controls", "lights"), "1");
}

// A window handle with a long run of leading zeros: the number used to be cut after 512
// characters, giving 0.
TEST(Regressions, LeadingNumberOfAnyLength) {
    const std::string zeros(2000, '0');
    EXPECT_EQ(LeadingNumber(zeros + "4711"), 4711);
    EXPECT_EQ(HandleFromText(" " + zeros + "4711 junk"), 4711);
    EXPECT_EQ(LeadingNumber("0." + std::string(600, '0') + "5e601"), 5);
}

// A speed option far outside the range of a whole number: the range test used to come after a
// cast that is undefined for such numbers (the sanitizer build stops there).
TEST(Regressions, LinuxOptionSpeedFarOutOfRange) {
    for (const char* value : {"1e300", "-1e300", "3e9", "2.5"}) {
        const LinuxOptions options = ParseLinuxOptions({"--snow-speed", value}, nullptr);
        EXPECT_FALSE(options.error.empty()) << value;
        EXPECT_TRUE(options.overrides.empty()) << value;
    }
}

// A bitmap header that claims far more pixels than its file holds fails before the decoder
// allocates and fills the whole picture: it used to take 512 MiB and seconds for 54 bytes.
TEST(Regressions, BitmapClaimingMorePixelsThanItsFileHolds) {
    TempDir folder;
    // 32767 x 2047 pixels at 24 bits, just under the size limit, and no pixel data at all.
    std::string header = "BM";
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            header.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&](std::uint16_t v) {
        header.push_back(static_cast<char>(v & 0xFF));
        header.push_back(static_cast<char>(v >> 8));
    };
    put32(54), put32(0), put32(54);
    put32(40), put32(32767), put32(2047), put16(1), put16(24);
    for (int i = 0; i < 6; ++i)
        put32(0);
    folder.Write("lying.bmp", header);

    // In a child process, whose peak memory is its own. The memory tells whether the picture
    // was decoded; the alarm only catches a load that never ends.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(60);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        const HBITMAP bitmap =
            LoadImageA(0, folder.File("lying.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        const bool small = after.ru_maxrss - before.ru_maxrss < 16 * 1024;  // KiB
        _exit(bitmap == 0 ? (small ? 0 : 2) : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the load did not end within a minute";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the bitmap loaded; 2: a large allocation";
}

// A named pipe in place of the settings file or of a picture: opening it used to wait for a
// writer that never comes, and the saver hung before its first frame.
TEST(Regressions, NamedPipesInPlaceOfFilesAreNoFiles) {
    TempDir folder;
    const std::string settings = folder.File("settings.ini");
    const std::string picture = folder.File("snow.bmp");
    ASSERT_EQ(mkfifo(settings.c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(picture.c_str(), 0644), 0);
    // In a child process that the alarm ends if anything waits.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(30);
        char value[16];
        const bool read = profile::GetPrivateProfileStringA("controls", "lights", "none", value, 16,
                                                            settings.c_str()) == 4 &&
                          std::string(value) == "none";
        const bool written =
            profile::WritePrivateProfileStringA("controls", "lights", "1", settings.c_str()) == 0;
        const bool loaded =
            LoadImageA(0, picture.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE) != 0;
        _exit(read && written && !loaded ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child waited until the alarm";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
