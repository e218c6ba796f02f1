// SPDX-License-Identifier: MIT
// The settings file and the user's folder on Windows: the same sound rules as on Linux with the
// system's own notions of read-only files and per-user folders.

#include "platform/file_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile.h"
#include "platform/system.h"
#include "tools/harness/TempDir.h"

namespace {

std::string Get(const std::string& file, const char* key) {
    char buffer[64] = {};
    profile::GetPrivateProfileStringA("controls", key, "", buffer, sizeof buffer, file.c_str());
    return buffer;
}

TEST(Win32FileStore, AWriteReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    dir.Write("settings.ini", "[controls]\r\nlights=1\r\n");
    ASSERT_EQ(profile::WritePrivateProfileStringA("controls", "lights", "0",
                                                  dir.File("settings.ini").c_str()),
              1);
    EXPECT_EQ(dir.Read("settings.ini"), "[controls]\r\nlights=0\r\n");
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

TEST(Win32FileStore, AReadOnlyFileKeepsItsSettings) {
    TempDir dir;
    dir.Write("settings.ini", "[controls]\nlights=1\n");
    const std::string file = dir.File("settings.ini");
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(profile::WritePrivateProfileStringA("controls", "lights", "0", file.c_str()), 0);
    EXPECT_EQ(Get(file, "lights"), "1");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32FileStore, AFolderInTheFilesPlaceIsNoSettingsFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("settings.ini"));
    EXPECT_EQ(profile::WritePrivateProfileStringA("controls", "lights", "0",
                                                  dir.File("settings.ini").c_str()),
              0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("settings.ini")));
    EXPECT_EQ(Get(dir.File("settings.ini"), "lights"), "");
}

TEST(Win32FileStore, TheUsersCopyIsMadeOnceWithItsFolders) {
    TempDir dir;
    dir.Write("delivered.ini", "[controls]\nlights=1\n");
    const std::string own = dir.File("a\\b\\own.ini");
    EXPECT_TRUE(file_store::CopyIfMissing(dir.File("delivered.ini"), own));
    EXPECT_EQ(dir.Read("a\\b\\own.ini"), "[controls]\nlights=1\n");
    dir.Write("a\\b\\own.ini", "[controls]\nlights=0\n");
    EXPECT_TRUE(file_store::CopyIfMissing(dir.File("delivered.ini"), own));
    EXPECT_EQ(dir.Read("a\\b\\own.ini"), "[controls]\nlights=0\n") << "an existing copy stays";
    EXPECT_FALSE(file_store::CopyIfMissing(dir.File("missing.ini"), dir.File("c\\own.ini")));

    const std::string folder = file_store::UserConfigFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.substr(folder.size() - 11), "\\Glimmerdel");
}

TEST(Win32FileStore, FoldersAreWritableOnlyWhereAFileCanBeMade) {
    TempDir dir;
    EXPECT_TRUE(file_store::FolderWritable(dir.Path()));
    EXPECT_FALSE(file_store::FolderWritable(dir.File("no-such-folder")));
    EXPECT_EQ(file_store::FileNameIfExists(dir.File("none.bmp")), "");
    dir.Write("sky.bmp", "x");
    EXPECT_EQ(file_store::FileNameIfExists(dir.File("sky.bmp")), "sky.bmp");
    EXPECT_EQ(file_store::FileNameIfExists(dir.Path()), "") << "a folder is no file";
}

}  // namespace

namespace {

TEST(Win32FileStore, PathsOutsideTheSystemsCodePageReachTheirFiles) {
    // The program's manifest makes the character-set calls take UTF-8.
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    TempDir dir;
    const std::string folder = dir.File("Снег Ünïcødé 雪");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_TRUE(file_store::FolderWritable(folder));
    const std::string settings = folder + "\\vantroglimmerdel.ini";
    ASSERT_EQ(profile::WritePrivateProfileStringA("controls", "lights", "1", settings.c_str()), 1);
    EXPECT_EQ(Get(settings, "lights"), "1");
    EXPECT_EQ(file_store::FileNameIfExists(settings), "vantroglimmerdel.ini");
    // The user's copy in folders named so, made on the way.
    const std::string own = folder + "\\Пользователь\\Glimmerdel\\vantroglimmerdel.ini";
    EXPECT_TRUE(file_store::CopyIfMissing(settings, own));
    EXPECT_EQ(Get(own, "lights"), "1");
    // A picture from there, read by the system's loader as the scene reads its pictures.
    const std::string picture = folder + "\\fwbackground.bmp";
    ASSERT_TRUE(CopyFileA(GLIMMERDEL_PROGRAM_DIR "/vurezezideriru/glimmerdel/fwbackground.bmp",
                          picture.c_str(), FALSE));
    HANDLE bitmap = LoadImageA(nullptr, picture.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(bitmap, nullptr);
    if (bitmap != nullptr)
        DeleteObject(bitmap);
}

}  // namespace
