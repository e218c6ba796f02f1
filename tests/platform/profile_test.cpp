// SPDX-License-Identifier: MIT
#include "platform/profile.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <random>
#include <string>

#include "tools/harness/TempDir.h"

namespace {

class ProfileTest : public ::testing::Test {
  protected:
    std::string Get(const char* section, const char* key, const char* def = "",
                    std::uint32_t size = 255) {
        std::string buffer(size + 8, '#');
        const std::uint32_t n = profile::GetPrivateProfileStringA(section, key, def, buffer.data(),
                                                                  size, Ini().c_str());
        EXPECT_LT(n, size);
        EXPECT_EQ(buffer[n], '\0');
        EXPECT_EQ(buffer[size + 1], '#') << "wrote past the buffer";
        return buffer.substr(0, n);
    }
    bool Put(const char* section, const char* key, const char* value) {
        return profile::WritePrivateProfileStringA(section, key, value, Ini().c_str()) != 0;
    }
    std::string Ini() const { return dir.File("settings.ini"); }
    TempDir dir;
};

TEST_F(ProfileTest, ReadsValuesWithCaseFreeNamesAndTrimmedValues) {
    dir.Write("settings.ini",
              "; a comment line\n[Controls]\nLights = 1 \n  snowspeed\t=\t12\nempty=\n"
              "[applic]\nappalert=3\n");
    EXPECT_EQ(Get("controls", "lights"), "1");
    EXPECT_EQ(Get("CONTROLS", "SnowSpeed"), "12");
    EXPECT_EQ(Get("controls", "empty", "dflt"), "");
    EXPECT_EQ(Get("applic", "appalert"), "3");
    EXPECT_EQ(Get("applic", "lights", "none"), "none");  // a key of another section
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(Get("controls", "lights", "d"), "d");
    dir.Write("settings.ini", "[controls]\nlights=1\n");
    EXPECT_EQ(Get("nosuch", "lights", "d"), "d");
    EXPECT_EQ(Get("controls", "nosuch", ""), "");
    EXPECT_EQ(Get("controls", "lights", "d"), "1");
}

TEST_F(ProfileTest, FirstMatchWins) {
    dir.Write("settings.ini", "[a]\nk=first\nk=second\n[A]\nk=third\nonly=later\n");
    EXPECT_EQ(Get("a", "k"), "first");
    EXPECT_EQ(Get("a", "only", "d"), "d");  // only the first section of a name counts
}

TEST_F(ProfileTest, ValueIsCutToTheBuffer) {
    dir.Write("settings.ini", "[s]\nlong=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(Get("s", "long"), std::string(254, 'x'));
    EXPECT_EQ(Get("s", "long", "", 1), "");
    EXPECT_EQ(Get("s", "long", "", 5), "xxxx");
    char untouched = '#';
    EXPECT_EQ(profile::GetPrivateProfileStringA("s", "long", "", &untouched, 0, Ini().c_str()), 0u);
    EXPECT_EQ(untouched, '#');
}

TEST_F(ProfileTest, SurvivesJunkFiles) {
    std::mt19937 random(4711);
    std::string junk(200000, '\0');
    for (char& c : junk)
        c = static_cast<char>(random());
    junk += "\n[s]\nk=v";  // no final newline
    dir.Write("settings.ini", junk);
    EXPECT_EQ(Get("s", "k"), "v");

    dir.Write("settings.ini", "[s]\r\nk=crlf\r\nbig=" + std::string(1 << 20, 'y') + "\r\n");
    EXPECT_EQ(Get("s", "k"), "crlf");
    EXPECT_EQ(Get("s", "big").size(), 254u);

    dir.Write("settings.ini", "[unterminated\nk=1\n[]\n=novalue\n[s\nk=2");
    EXPECT_EQ(Get("unterminated", "k"), "1");
    EXPECT_EQ(Get("s", "k"), "2");

    std::filesystem::create_directory(dir.File("settings.ini.d"));
    EXPECT_EQ(profile::GetPrivateProfileStringA("s", "k", "d", junk.data(), 10,
                                                dir.File("settings.ini.d").c_str()),
              1u);
}

TEST_F(ProfileTest, WriteChangesOnlyTheLineOfItsKey) {
    const std::string before =
        "; keep me\r\n[controls]\r\nlights=1\r\n  Snowing = 0 \r\n\r\n"
        "[applic]\r\nappcurrent=2";
    dir.Write("settings.ini", before);
    ASSERT_TRUE(Put("CONTROLS", "snowing", "1"));
    EXPECT_EQ(dir.Read("settings.ini"),
              "; keep me\r\n[controls]\r\nlights=1\r\nSnowing=1\r\n\r\n[applic]\r\nappcurrent=2");
    ASSERT_TRUE(Put("applic", "appcurrent", "3"));
    EXPECT_EQ(dir.Read("settings.ini"),
              "; keep me\r\n[controls]\r\nlights=1\r\nSnowing=1\r\n\r\n[applic]\r\nappcurrent=3");
}

TEST_F(ProfileTest, WriteAddsKeysAndSectionsWhereTheyBelong) {
    dir.Write("settings.ini", "[a]\nx=1\n\n[b]\ny=2");
    ASSERT_TRUE(Put("a", "new", "v"));
    EXPECT_EQ(dir.Read("settings.ini"), "[a]\nx=1\nnew=v\n\n[b]\ny=2");
    ASSERT_TRUE(Put("b", "z", "3"));
    EXPECT_EQ(dir.Read("settings.ini"), "[a]\nx=1\nnew=v\n\n[b]\ny=2\nz=3\n");
    ASSERT_TRUE(Put("c", "w", ""));
    EXPECT_EQ(dir.Read("settings.ini"), "[a]\nx=1\nnew=v\n\n[b]\ny=2\nz=3\n[c]\nw=\n");
    EXPECT_EQ(Get("c", "w", "d"), "");
}

TEST_F(ProfileTest, WriteCreatesAMissingFile) {
    ASSERT_TRUE(Put("controls", "lights", "1"));
    EXPECT_EQ(dir.Read("settings.ini"), "[controls]\nlights=1\n");
}

TEST_F(ProfileTest, WriteDeletesWithNullValueOrKey) {
    dir.Write("settings.ini", "[a]\nx=1\ny=2\n[b]\nz=3\n");
    ASSERT_TRUE(Put("a", "x", nullptr));
    EXPECT_EQ(dir.Read("settings.ini"), "[a]\ny=2\n[b]\nz=3\n");
    ASSERT_TRUE(Put("a", nullptr, nullptr));
    EXPECT_EQ(dir.Read("settings.ini"), "[b]\nz=3\n");
}

TEST_F(ProfileTest, WriteRefusesTextsThatWouldBreakLines) {
    dir.Write("settings.ini", "[a]\nx=1\n");
    EXPECT_FALSE(Put("a", "x", "1\n[evil]"));
    EXPECT_FALSE(Put("a", "x=y", "1"));
    EXPECT_FALSE(Put("a]b", "x", "1"));
    EXPECT_FALSE(Put("a", "\r", "1"));
    EXPECT_FALSE(Put("", "x", "1"));
    EXPECT_FALSE(Put(nullptr, "x", "1"));
    EXPECT_EQ(dir.Read("settings.ini"), "[a]\nx=1\n");
}

#ifndef _WIN32
// File identities, permissions and links as POSIX has them.
TEST_F(ProfileTest, WriteReplacesTheFileAtomically) {
    dir.Write("settings.ini", "[a]\nx=1\n");
    chmod(Ini().c_str(), 0600);
    struct stat before {};
    stat(Ini().c_str(), &before);
    ASSERT_TRUE(Put("a", "x", "2"));
    struct stat after {};
    stat(Ini().c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino) << "a new file was renamed over the old one";
    EXPECT_EQ(after.st_mode & 0777, 0600u) << "the file keeps its permissions";
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

TEST_F(ProfileTest, WriteFollowsALinkToTheRealFile) {
    dir.Write("real.ini", "[a]\nx=1\n");
    ASSERT_EQ(symlink(dir.File("real.ini").c_str(), Ini().c_str()), 0);
    ASSERT_TRUE(Put("a", "x", "2"));
    EXPECT_EQ(dir.Read("real.ini"), "[a]\nx=2\n");
    struct stat st {};
    ASSERT_EQ(lstat(Ini().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(ProfileTest, WriteFailsSoftlyInAReadOnlyFolder) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes everywhere";
    dir.Write("settings.ini", "[a]\nx=1\n");
    chmod(dir.Path().c_str(), 0555);
    EXPECT_FALSE(Put("a", "x", "2"));
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(dir.Read("settings.ini"), "[a]\nx=1\n");
}

// A file made read-only to keep its settings stays as it is, although the folder may be written
// (the temporary file and its rename would otherwise replace it); for the superuser as well.
TEST_F(ProfileTest, WriteFailsOnAReadOnlyFileAndLeavesIt) {
    dir.Write("settings.ini", "[a]\nx=1\n");
    ASSERT_EQ(chmod(Ini().c_str(), 0444), 0);
    EXPECT_FALSE(Put("a", "x", "2"));
    EXPECT_FALSE(Put("b", "y", "3")) << "adding a section is a write as well";
    EXPECT_EQ(dir.Read("settings.ini"), "[a]\nx=1\n");
    struct stat st {};
    ASSERT_EQ(stat(Ini().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_EQ(Get("a", "x"), "1") << "and can still be read";
}

// Another user's file, which this user may not write, in a folder that everyone may write.
TEST_F(ProfileTest, WriteFailsOnAFileOfAnotherUserInAFolderOpenToAll) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to make a file of another user";
    dir.Write("settings.ini", "[a]\nx=1\n");
    ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(Ini().c_str(), 0644), 0);
    // An unprivileged process: it may make files in the folder, and may not write this one.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        _exit(Put("a", "x", "2") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write replaced the file; 2: no other user";
    EXPECT_EQ(dir.Read("settings.ini"), "[a]\nx=1\n");
    struct stat st {};
    ASSERT_EQ(stat(Ini().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u) << "still root's file";
}
#endif  // _WIN32

TEST_F(ProfileTest, WriteLeavesAFileItCannotReadAlone) {
    std::filesystem::create_directory(Ini());
    EXPECT_FALSE(Put("a", "x", "2"));
    EXPECT_TRUE(std::filesystem::is_directory(Ini()));
}

TEST_F(ProfileTest, WriteIntoJunkKeepsTheJunk) {
    std::string junk = "\x01\x02[a\xff]\n\x7f=\x80\n";
    junk += std::string(1 << 20, 'z');  // a line of a megabyte, no final newline
    dir.Write("settings.ini", junk);
    ASSERT_TRUE(Put("a", "k", "v"));
    EXPECT_EQ(dir.Read("settings.ini"), junk + "\n[a]\nk=v\n");
    EXPECT_EQ(Get("a", "k"), "v");
}

}  // namespace
