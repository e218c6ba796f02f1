// SPDX-License-Identifier: MIT
// The previous-instance lock of the real host, between real processes.

#include "platform/posix/InstanceLock.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "tools/harness/TempDir.h"

namespace {

// Runs the step in a child process that an alarm ends should it wait; its exit status, or
// 128 + the signal that ended it.
int InChild(const std::function<int()>& step) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(30);
        _exit(step());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Holds an exclusive lock on the file, as an instance between its two steps would (or as
// someone would who wanted to keep the saver from starting).
class ExclusiveHolder {
  public:
    explicit ExclusiveHolder(const std::string& path) : m_fd(open(path.c_str(), O_RDONLY)) {
        m_locked = m_fd >= 0 && flock(m_fd, LOCK_EX | LOCK_NB) == 0;
    }
    ~ExclusiveHolder() {
        if (m_fd >= 0)
            close(m_fd);
    }
    ExclusiveHolder(const ExclusiveHolder&) = delete;
    ExclusiveHolder& operator=(const ExclusiveHolder&) = delete;
    bool Locked() const { return m_locked; }

  private:
    int m_fd;
    bool m_locked = false;
};

constexpr int kFirst = 10;
constexpr int kSecond = 11;

int Verdict(const std::string& path) {
    InstanceLock lock(path);
    return lock.OtherInstanceRunning() ? kSecond : kFirst;
}

TEST(InstanceLock, AnotherProcessSeesTheFirstForAsLongAsItRuns) {
    TempDir dir;
    const std::string path = dir.File("glimmerdel.lock");
    int toParent[2], toChild[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(toChild), 0);
    // The first instance: takes the lock, says what it saw, runs until told to end.
    const pid_t first = fork();
    ASSERT_GE(first, 0);
    if (first == 0) {
        close(toParent[0]);
        close(toChild[1]);
        InstanceLock lock(path);
        const char verdict = lock.OtherInstanceRunning() ? 'S' : 'F';
        if (write(toParent[1], &verdict, 1) != 1)
            _exit(1);
        char end;
        while (read(toChild[0], &end, 1) > 0) {
        }
        _exit(0);
    }
    close(toParent[1]);
    close(toChild[0]);
    char verdict = 0;
    ASSERT_EQ(read(toParent[0], &verdict, 1), 1);
    EXPECT_EQ(verdict, 'F') << "the first instance is the first";

    EXPECT_EQ(InChild([&] { return Verdict(path); }), kSecond) << "while the first runs";
    EXPECT_EQ(InChild([&] { return Verdict(path); }), kSecond) << "and again";

    close(toChild[1]);  // the first instance ends
    int status = 0;
    ASSERT_EQ(waitpid(first, &status, 0), first);
    close(toParent[0]);
    EXPECT_EQ(InChild([&] { return Verdict(path); }), kFirst) << "after the first has ended";
}

TEST(InstanceLock, NeverWaitsForAnInstanceBetweenItsTwoSteps) {
    TempDir dir;
    const std::string path = dir.File("glimmerdel.lock");
    { InstanceLock made(path); }
    ExclusiveHolder holder(path);
    ASSERT_TRUE(holder.Locked());
    EXPECT_EQ(InChild([&] { return Verdict(path); }), kSecond)
        << "an instance is there, and nothing waits for its lock (142: it waited)";
}

// A lock file of a predictable name in a folder that everyone shares: only a file of the user's
// own that no one else may write counts; anything else makes the instance the first, at once.
TEST(InstanceLock, AFileOthersMayWriteOrOwnDoesNotCount) {
    TempDir dir;
    const std::string path = dir.File("glimmerdel.lock");
    dir.Write("glimmerdel.lock", "");
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    {
        ExclusiveHolder holder(path);
        ASSERT_TRUE(holder.Locked());
        EXPECT_EQ(InChild([&] { return Verdict(path); }), kFirst)
            << "a file writable by all (142: it waited)";
    }
    if (geteuid() == 0) {
        ASSERT_EQ(chmod(path.c_str(), 0600), 0);
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
        ExclusiveHolder holder(path);
        ASSERT_TRUE(holder.Locked());
        EXPECT_EQ(InChild([&] { return Verdict(path); }), kFirst)
            << "another user's file (142: it waited)";
    }
    ASSERT_EQ(symlink(path.c_str(), dir.File("link.lock").c_str()), 0);
    EXPECT_EQ(InChild([&] { return Verdict(dir.File("link.lock")); }), kFirst) << "a link";
    EXPECT_EQ(InChild([&] { return Verdict(dir.File("no/such/folder.lock")); }), kFirst)
        << "no lock file can be made";
}

TEST(InstanceLock, WithoutARuntimeFolderTheFileIsTheUsersOwnInTheTemporaryFolder) {
    TempDir dir;
    EXPECT_EQ(InChild([&] {
                  unsetenv("XDG_RUNTIME_DIR");
                  setenv("TMPDIR", dir.Path().c_str(), 1);
                  return Verdict("");
              }),
              kFirst);
    struct stat st {};
    const std::string path = dir.File("glimmerdel-" + std::to_string(getuid()) + ".lock");
    ASSERT_EQ(stat(path.c_str(), &st), 0) << path;
    EXPECT_EQ(st.st_uid, geteuid());
    EXPECT_EQ(st.st_mode & 077, 0u) << "no one else may open it";
}

}  // namespace
