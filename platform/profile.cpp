#include "platform/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A settings file larger than this is not a settings file: reads give the default, writes
// refuse to rewrite it.
constexpr size_t kMaxFileSize = 16u << 20;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y && !(x < 128 && y < 128 && std::tolower(x) == std::tolower(y)))
            return false;
    }
    return true;
}

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
        static_cast<unsigned long long>(st.st_size) > kMaxFileSize) {
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
        if (content.size() > kMaxFileSize) {
            close(fd);
            return std::nullopt;
        }
    }
    close(fd);
    return content;
}

// One line of the file: [start, contentEnd) is its text without the line break,
// [contentEnd, end) the break itself ("\n", "\r\n" or nothing on a last line).
struct Line {
    size_t start;
    size_t contentEnd;
    size_t end;
};

std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < content.size()) {
        const size_t newline = content.find('\n', pos);
        const size_t end = newline == std::string_view::npos ? content.size() : newline + 1;
        size_t contentEnd = newline == std::string_view::npos ? content.size() : newline;
        if (contentEnd > pos && content[contentEnd - 1] == '\r')
            --contentEnd;
        lines.push_back({pos, contentEnd, end});
        pos = end;
    }
    return lines;
}

// The section name of a line like "[name]", or nullopt when the line is no section header.
std::optional<std::string_view> SectionName(std::string_view text) {
    text = Trim(text);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    text.remove_prefix(1);
    const size_t close = text.find(']');
    if (close != std::string_view::npos)
        text = text.substr(0, close);
    return Trim(text);
}

// Key and value of a line like "key = value"; nullopt when the line has no '='.
struct KeyValue {
    std::string_view key;
    std::string_view value;
};
std::optional<KeyValue> SplitKeyValue(std::string_view text) {
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyValue{Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

// Where a section and a key stand in the file.
struct Location {
    std::optional<size_t> header;  // index of the section's header line
    size_t sectionEnd = 0;         // index of the first line after the section
    std::optional<size_t> keyLine;
};

Location Find(std::string_view content, const std::vector<Line>& lines, std::string_view section,
              const char* key) {
    // The names asked for match as the file's names are read: without their surrounding blanks.
    section = Trim(section);
    const std::string_view keyName = key != nullptr ? Trim(key) : std::string_view();
    Location where;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text =
            content.substr(lines[i].start, lines[i].contentEnd - lines[i].start);
        const auto name = SectionName(text);
        if (where.header) {
            if (name) {
                where.sectionEnd = i;
                return where;
            }
            if (key != nullptr && !where.keyLine) {
                const auto kv = SplitKeyValue(text);
                if (kv && SameName(kv->key, keyName))
                    where.keyLine = i;
            }
        } else if (name && SameName(*name, section)) {
            where.header = i;
        }
    }
    where.sectionEnd = lines.size();
    return where;
}

bool HasLineBreak(std::string_view text) {
    return text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos;
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

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

}  // namespace

std::uint32_t GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultText, char* buffer, std::uint32_t size,
                                       const char* fileName) {
    if (buffer == nullptr || size == 0)
        return 0;
    std::string_view result = defaultText ? Trim(defaultText) : std::string_view();
    std::optional<std::string> content;
    if (section != nullptr && key != nullptr && fileName != nullptr) {
        content = ReadWholeFile(fileName, nullptr);
    }
    if (content) {
        const std::vector<Line> lines = SplitLines(*content);
        const Location where = Find(*content, lines, section, key);
        if (where.keyLine) {
            const Line& line = lines[*where.keyLine];
            const std::string_view text =
                std::string_view(*content).substr(line.start, line.contentEnd - line.start);
            result = SplitKeyValue(text)->value;
        }
    }
    const size_t count = std::min<size_t>(result.size(), size - 1);
    std::memcpy(buffer, result.data(), count);
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

std::int32_t WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                        const char* fileName) {
    if (section == nullptr || fileName == nullptr || *fileName == '\0')
        return 0;
    const std::string_view sectionName = Trim(section);
    if (sectionName.empty() || HasLineBreak(section) ||
        sectionName.find(']') != std::string_view::npos) {
        return 0;
    }
    if (key != nullptr) {
        const std::string_view keyName = Trim(key);
        if (keyName.empty() || HasLineBreak(key) || keyName.find('=') != std::string_view::npos ||
            keyName.front() == '[') {
            return 0;
        }
    }
    if (value != nullptr && HasLineBreak(value))
        return 0;

    const std::string path = ResolvedPath(fileName);
    FolderLock lock(FolderOf(path));

    bool missing = false;
    std::optional<std::string> read = ReadWholeFile(path.c_str(), &missing);
    if (!read && !missing)
        return 0;  // unreadable or not a settings file: leave it alone
    const std::string content = read ? std::move(*read) : std::string();
    mode_t mode = 0644;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        mode = st.st_mode & 07777;

    const std::vector<Line> lines = SplitLines(content);
    const Location where = Find(content, lines, sectionName, key);
    const bool crlf = content.find("\r\n") != std::string::npos;
    const std::string_view newline = crlf ? "\r\n" : "\n";
    const std::string entry =
        key != nullptr && value != nullptr ? std::string(Trim(key)) + "=" + value : "";

    std::string out;
    out.reserve(content.size() + entry.size() + sectionName.size() + 8);
    auto appendLines = [&](size_t from, size_t to) {
        if (from < to)
            out.append(content, lines[from].start, lines[to - 1].end - lines[from].start);
    };
    auto endOpenLine = [&]() {
        // A last line that ends in a lone carriage return only lacks its line feed: another
        // line break after it would make the return part of that line's value.
        if (!out.empty() && out.back() == '\r')
            out.push_back('\n');
        else if (!out.empty() && out.back() != '\n')
            out.append(newline);
    };

    if (key == nullptr) {
        // Delete the section: its header and every line up to the next section.
        if (!where.header)
            return 1;
        appendLines(0, *where.header);
        appendLines(where.sectionEnd, lines.size());
    } else if (where.keyLine) {
        const size_t at = *where.keyLine;
        appendLines(0, at);
        if (value != nullptr) {
            const Line& line = lines[at];
            const std::string_view text =
                std::string_view(content).substr(line.start, line.contentEnd - line.start);
            out.append(std::string(SplitKeyValue(text)->key) + "=" + value);
            out.append(content, line.contentEnd, line.end - line.contentEnd);
        }
        appendLines(at + 1, lines.size());
    } else if (value == nullptr) {
        return 1;  // nothing to delete
    } else if (where.header) {
        // After the last line of the section that is not blank.
        size_t last = *where.header;
        for (size_t i = *where.header + 1; i < where.sectionEnd; ++i) {
            const Line& line = lines[i];
            if (!Trim(std::string_view(content).substr(line.start, line.contentEnd - line.start))
                     .empty()) {
                last = i;
            }
        }
        appendLines(0, last + 1);
        endOpenLine();
        out.append(entry).append(newline);
        appendLines(last + 1, lines.size());
    } else {
        out = content;
        endOpenLine();
        out.append("[").append(sectionName).append("]").append(newline);
        out.append(entry).append(newline);
    }
    return ReplaceFile(path, out, mode) ? 1 : 0;
}
