// SPDX-License-Identifier: MIT
// The settings file and the user's folder on POSIX systems.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/file_store.h"
#include "platform/posix/posix_env.h"

namespace file_store {
namespace {

// Reads a whole file. nullopt: missing, unreadable or too large; *missing tells the first.
std::optional<std::string> ReadWholeFile(const char* path, bool* missing) {
    if (missing)
        *missing = false;
    // Without blocking: a named pipe in the file's place must not hold the program up (it is
    // no regular file and is refused below).
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (missing)
            *missing = (errno == ENOENT);
        return std::nullopt;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<unsigned long long>(st.st_size) > kMaxSettingsFileSize) {
        close(fd);
        return std::nullopt;
    }
    std::string content;
    char chunk[65536];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        content.append(chunk, static_cast<size_t>(n));
        if (content.size() > kMaxSettingsFileSize) {
            close(fd);
            return std::nullopt;
        }
    }
    close(fd);
    return content;
}

// Takes turns with other writers of the same folder for as long as it lives.
class FolderLock {
  public:
    explicit FolderLock(const std::string& folder) {
        m_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd >= 0) {
            while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (m_fd >= 0)
            close(m_fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int m_fd = -1;
};

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Replaces the file by one with the given content: temporary file, flush, rename.
bool ReplaceFile(const std::string& path, std::string_view content, mode_t mode) {
    std::string temp = path + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, content) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok)
        ok = rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        unlink(temp.c_str());
    return ok;
}

// The file to rewrite: a link is followed, so the link stays and its target changes.
std::string ResolvedPath(const char* fileName) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (lstat(fileName, &st) == 0 && S_ISLNK(st.st_mode) && realpath(fileName, resolved)) {
        return resolved;
    }
    return fileName;
}

// True when this process may write the existing file and the file is not marked read-only
// (no write permission for anyone).
bool MayBeWritten(const std::string& path, mode_t mode) {
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return access(path.c_str(), W_OK) == 0;
}

}  // namespace

std::optional<std::string> ReadSettingsFile(const char* path, bool* missing) {
    return ReadWholeFile(path, missing);
}

bool RewriteSettingsFile(
    const char* fileName,
    const std::function<std::optional<std::string>(const std::string&)>& edit) {
    const std::string path = ResolvedPath(fileName);
    FolderLock lock(posix_env::FolderOf(path));

    bool missing = false;
    std::optional<std::string> read = ReadWholeFile(path.c_str(), &missing);
    if (!read && !missing)
        return false;  // unreadable or not a settings file: leave it alone
    mode_t mode = 0644;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
        // The rename would replace a file that its user may not write, as long as the folder
        // may be written: whoever made the file read-only to keep their settings would lose
        // them. A file this process may not write, or one that no one may write (the
        // read-only mark, which holds for the superuser too), stays as it is.
        if (!MayBeWritten(path, mode))
            return false;
    }
    const std::optional<std::string> content = edit(read ? *read : std::string());
    if (!content)
        return true;
    return ReplaceFile(path, *content, mode);
}

bool FolderWritable(const std::string& folder) {
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string UserConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/')
        return std::string(config) + "/glimmerdel";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/')
        return std::string(home) + "/.config/glimmerdel";
    return "";
}

bool CopyIfMissing(const std::string& from, const std::string& to) {
    std::error_code error;
    if (std::filesystem::exists(to, error))
        return true;
    std::filesystem::create_directories(std::filesystem::path(to).parent_path(), error);
    if (std::filesystem::exists(from, error)) {
        std::filesystem::copy_file(from, to, error);
    }
    return std::filesystem::exists(to, error);
}

std::string FileNameIfExists(const std::string& path) {
    return posix_env::FileNameIfExists(path);
}

bool IsExecutableFile(const std::string& path) {
    return posix_env::IsExecutableFile(path);
}

}  // namespace file_store
