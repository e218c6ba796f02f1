// SPDX-License-Identifier: MIT
// `make install` and `make uninstall` with DESTDIR: what the one puts there, the other takes
// away, and nothing outside DESTDIR is touched.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tools/harness/TempDir.h"

namespace fs = std::filesystem;

namespace {

int Make(const std::string& target, const std::string& destdir) {
    const std::string command = "make -s -C '" + std::string(GLIMMERDEL_SOURCE_DIR) + "' " +
                                target + " BUILD='" + GLIMMERDEL_PROGRAM_DIR + "' DESTDIR='" +
                                destdir + "' PREFIX=/usr > /dev/null 2>&1";
    return std::system(command.c_str());
}

long FilesUnder(const std::string& folder) {
    long count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_directory() || entry.is_symlink())
            ++count;
    }
    return count;
}

TEST(MakeInstall, UninstallTakesAwayEverythingInstallPutUnderDestdir) {
    TempDir root;
    ASSERT_EQ(Make("install", root.Path()), 0);
    EXPECT_TRUE(fs::is_symlink(root.File("usr/bin/glimmerdel")));
    EXPECT_TRUE(fs::is_symlink(root.File("usr/libexec/xscreensaver/glimmerdel")));
    EXPECT_TRUE(
        fs::exists(root.File("usr/share/metainfo/example.glimmerdel.Glimmerdel.metainfo.xml")));
    EXPECT_GT(FilesUnder(root.Path()), 20);
    ASSERT_EQ(Make("uninstall", root.Path()), 0);
    EXPECT_EQ(FilesUnder(root.Path()), 0) << "no file or link left behind";
}

}  // namespace
