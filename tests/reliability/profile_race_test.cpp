// SPDX-License-Identifier: MIT
// The settings dialog saving while a saver reads: two processes on one settings file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#include "platform/profile.h"
#include "tools/harness/TempDir.h"
#include "tools/harness/settings_text.h"

namespace {

constexpr std::array<const char*, 6> kOld = {"1", "1", "1", "3", "2", "4"};
constexpr std::array<const char*, 6> kNew = {"0", "0", "0", "10", "9", "17"};
constexpr int kSaves = 1000;

std::string FileWith(const std::array<const char*, 6>& values) {
    return SettingsFileText(std::vector<std::string>(values.begin(), values.end()),
                            "appdisplay=0\nappcurrent=12\nappalert=3\n");
}

// The file is whole: every line of it is there once, in its place, with one of its two values.
bool Whole(const std::string& text) {
    std::string expected = "[controls]\n";
    size_t at = 0;
    if (text.compare(0, expected.size(), expected) != 0)
        return false;
    at = expected.size();
    for (size_t i = 0; i < kControlKeys.size(); ++i) {
        bool found = false;
        for (const char* value : {kOld[i], kNew[i]}) {
            const std::string line = kControlKeys[i] + "=" + value + "\n";
            if (text.compare(at, line.size(), line) == 0) {
                at += line.size();
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return text.substr(at) == "[applic]\nappdisplay=0\nappcurrent=12\nappalert=3\n";
}

// Where the two processes meet: the writer's count of finished saves, and the save that the
// reader's latest read began after. In memory that the forked writer shares, so that neither
// depends on scheduling.
struct Meeting {
    std::atomic<int> saved{0};
    std::atomic<int> readAfter{0};
};

class SharedMeeting {
  public:
    SharedMeeting() {
        // Zeroed memory shared with the processes forked later.
        const int zero = open("/dev/zero", O_RDWR | O_CLOEXEC);
        if (zero < 0)
            return;
        void* memory = mmap(nullptr, sizeof(Meeting), PROT_READ | PROT_WRITE, MAP_SHARED, zero, 0);
        close(zero);
        if (memory != MAP_FAILED)
            m_meeting = new (memory) Meeting;
    }
    ~SharedMeeting() {
        if (m_meeting != nullptr) {
            m_meeting->~Meeting();
            munmap(m_meeting, sizeof(Meeting));
        }
    }
    SharedMeeting(const SharedMeeting&) = delete;
    SharedMeeting& operator=(const SharedMeeting&) = delete;
    Meeting* operator->() const { return m_meeting; }
    explicit operator bool() const { return m_meeting != nullptr; }

  private:
    Meeting* m_meeting = nullptr;
};

TEST(ProfileRace, DialogSavesNeverShowAReaderHalfAFile) {
    TempDir folder;
    const std::string path = folder.File("vantroglimmerdel.ini");
    folder.Write("vantroglimmerdel.ini", FileWith(kOld));
    const SharedMeeting meeting;
    ASSERT_TRUE(meeting);

    // The dialog: saves all six keys, a thousand times, alternating two sets of values. After
    // every fifth save it waits until the reader has read once since, so that the reads run
    // beside the saves however the two processes are scheduled.
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        for (int save = 1; save <= kSaves; ++save) {
            const auto& values = save % 2 == 1 ? kNew : kOld;
            for (size_t i = 0; i < kControlKeys.size(); ++i) {
                if (!profile::WritePrivateProfileStringA("controls", kControlKeys[i].c_str(),
                                                         values[i], path.c_str()))
                    _exit(1);
            }
            meeting->saved = save;
            const auto start = std::chrono::steady_clock::now();
            while (save % 5 == 0 && meeting->readAfter < save) {
                if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60))
                    _exit(2);
                sched_yield();
            }
        }
        _exit(0);
    }

    // The saver: reads the keys, and the whole file, until the dialog is done.
    long reads = 0;
    long changes = 0;
    long checkedSaves = 0;
    std::string lastLights = kOld[0];
    int status = 0;
    for (bool writing = true; writing;) {
        writing = waitpid(writer, &status, WNOHANG) == 0;
        const int after = meeting->saved;  // this read begins after that save
        const std::string text = folder.Read("vantroglimmerdel.ini");
        ASSERT_TRUE(Whole(text)) << "after " << reads << " reads:\n" << text;
        for (size_t i = 0; i < kControlKeys.size(); ++i) {
            char value[255];
            const std::uint32_t n = profile::GetPrivateProfileStringA(
                "controls", kControlKeys[i].c_str(), "", value, 255, path.c_str());
            const std::string got(value, n);
            ASSERT_TRUE(got == kOld[i] || got == kNew[i])
                << kControlKeys[i].c_str() << " read as \"" << got << "\" after " << reads
                << " reads";
            if (i == 0 && got != lastLights) {
                ++changes;
                lastLights = got;
            }
        }
        if (after % 5 == 0 && after > 0 && meeting->readAfter < after) {
            // The writer waits for this read: the file holds exactly that save.
            EXPECT_EQ(text, FileWith(after % 2 == 1 ? kNew : kOld)) << "after save " << after;
            ++checkedSaves;
        }
        meeting->readAfter = after;
        ++reads;
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "every save succeeded (2: the reader never came)";
    EXPECT_EQ(folder.Read("vantroglimmerdel.ini"), FileWith(kOld)) << "the last save wins";
    EXPECT_EQ(checkedSaves, kSaves / 5) << "the reads met every fifth save";
    EXPECT_GE(changes, kSaves / 5 - 1) << "and saw the saves land";
    std::printf(
        "[ figures  ] %d saves of six keys, %ld whole-file reads and %ld key reads beside "
        "them, %ld changes seen\n",
        kSaves, reads, reads * static_cast<long>(kControlKeys.size()), changes);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
