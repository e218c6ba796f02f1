// SPDX-License-Identifier: MIT
#include "platform/posix/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {
std::string DefaultLockPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime == '/')
        return std::string(runtime) + "/glimmerdel.lock";
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr && *tmp == '/' ? tmp : "/tmp";
    return folder + "/glimmerdel-" + std::to_string(getuid()) + ".lock";
}

// Never waits: a lock that is held elsewhere fails at once.
int TryLock(int fd, int operation) {
    int result;
    while ((result = flock(fd, operation | LOCK_NB)) != 0 && errno == EINTR) {
    }
    return result;
}

// The lock file may sit in a folder that every user shares (the temporary folder), at a name
// anyone can predict: it counts only when it is a plain file of this user's own that no one
// else may write. Anyone else able to open it could hold it and stop the saver from starting.
bool OwnPrivateFile(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}
}  // namespace

InstanceLock::InstanceLock(std::string path) {
    if (path.empty())
        path = DefaultLockPath();
    m_fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (m_fd < 0)
        return;  // no lock file: every instance counts as the first
    if (!OwnPrivateFile(m_fd)) {
        close(m_fd);  // someone else's file: as if there were none
        m_fd = -1;
        return;
    }
    if (TryLock(m_fd, LOCK_EX) == 0) {
        // Now let later instances see this one. The change from the exclusive to the shared
        // lock is not atomic, but only another first instance could step in between, and it
        // would then hold the lock itself.
        TryLock(m_fd, LOCK_SH);
    } else if (errno == EWOULDBLOCK) {
        m_otherRunning = true;
        // Held as well, so that this instance stays visible should the earlier one end first;
        // where even that is refused (the earlier one between its two steps), nothing waits.
        TryLock(m_fd, LOCK_SH);
    }
    // Any other failure to lock: counted as the first instance, as without a lock file.
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0)
        close(m_fd);
}
