#include "platform/x11/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
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

int Lock(int fd, int operation) {
    int result;
    while ((result = flock(fd, operation)) != 0 && errno == EINTR) {
    }
    return result;
}
}  // namespace

InstanceLock::InstanceLock(std::string path) {
    if (path.empty())
        path = DefaultLockPath();
    m_fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0)
        return;  // no lock file: every instance counts as the first
    if (Lock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        Lock(m_fd, LOCK_SH);  // now let later instances see this one
    } else {
        m_otherRunning = true;
        // Another instance may be between its two steps; a blocking shared lock waits for it.
        Lock(m_fd, LOCK_SH);
    }
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0)
        close(m_fd);
}
