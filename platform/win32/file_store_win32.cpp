// SPDX-License-Identifier: MIT
// The settings file and the user's folder on Windows.

#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/file_store.h"
#include "platform/system.h"

namespace file_store {
namespace {

class Handle {
  public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() {
        if (Valid())
            CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }

  private:
    HANDLE m_handle;
};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

bool WriteAll(HANDLE file, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, data.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// Writers of one settings file take turns: a named mutex per file, held while it lives.
class WriterTurn {
  public:
    explicit WriterTurn(const std::string& path) {
        std::string name = "Local\\Glimmerdel.settings.";
        unsigned long long hash = 1469598103934665603ull;
        for (unsigned char c : path) {
            hash ^= static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            hash *= 1099511628211ull;
        }
        name += std::to_string(hash);
        m_mutex = CreateMutexA(nullptr, FALSE, name.c_str());
        if (m_mutex != nullptr) {
            const DWORD result = WaitForSingleObject(m_mutex, 10000);
            m_owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        }
    }
    ~WriterTurn() {
        if (m_owned)
            ReleaseMutex(m_mutex);
        if (m_mutex != nullptr)
            CloseHandle(m_mutex);
    }
    WriterTurn(const WriterTurn&) = delete;
    WriterTurn& operator=(const WriterTurn&) = delete;

  private:
    HANDLE m_mutex = nullptr;
    bool m_owned = false;
};

}  // namespace

std::optional<std::string> ReadSettingsFile(const char* path, bool* missing) {
    if (missing)
        *missing = false;
    if (path == nullptr || *path == '\0')
        return std::nullopt;
    Handle file(CreateFileA(path, GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        if (missing)
            *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    // Only a file on a disk is a settings file (no pipe, no device).
    LARGE_INTEGER size{};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > kMaxSettingsFileSize) {
        return std::nullopt;
    }
    std::string content(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < content.size()) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), content.data() + done, static_cast<DWORD>(content.size() - done),
                      &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0)
            break;
        done += read;
    }
    content.resize(done);
    return content;
}

bool RewriteSettingsFile(
    const char* path, const std::function<std::optional<std::string>(const std::string&)>& edit) {
    if (path == nullptr || *path == '\0')
        return false;
    WriterTurn turn(path);
    bool missing = false;
    std::optional<std::string> read = ReadSettingsFile(path, &missing);
    if (!read && !missing)
        return false;  // unreadable or not a settings file: leave it alone
    const DWORD attributes = GetFileAttributesA(path);
    // A file its user made read-only keeps its settings, as the system's own write would.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    const std::optional<std::string> content = edit(read ? *read : std::string());
    if (!content)
        return true;

    char temp[MAX_PATH + 1] = {};
    if (GetTempFileNameA(FolderOf(path).c_str(), "gls", 0, temp) == 0)
        return false;
    bool ok = false;
    {
        Handle file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = file.Valid() && WriteAll(file.Get(), *content) && FlushFileBuffers(file.Get());
    }
    if (ok)
        ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!ok)
        DeleteFileA(temp);
    return ok;
}

bool FolderWritable(const std::string& folder) {
    // Whether a file can be made there: the only sure test on a system whose access rules are
    // lists of rights (Program Files is readable by everyone, writable by administrators).
    char temp[MAX_PATH + 1] = {};
    if (GetTempFileNameA(folder.c_str(), "glw", 0, temp) == 0)
        return false;
    DeleteFileA(temp);
    return true;
}

std::string UserConfigFolder() {
    char folder[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) ||
        folder[0] == '\0') {
        return "";
    }
    return std::string(folder) + "\\Glimmerdel";
}

bool CopyIfMissing(const std::string& from, const std::string& to) {
    if (GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    // The folders on the way, from the outermost.
    for (size_t at = to.find_first_of("\\/", 3); at != std::string::npos;
         at = to.find_first_of("\\/", at + 1)) {
        CreateDirectoryA(to.substr(0, at).c_str(), nullptr);
    }
    CopyFileA(from.c_str(), to.c_str(), TRUE);
    return GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FileNameIfExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return "";
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsExecutableFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace file_store
