// SPDX-License-Identifier: MIT
// The settings-file calls on arbitrary files and arbitrary section, key and value texts.
//
// Input: one flags byte, then section NUL key NUL value NUL, then the file's bytes.
// Flags: bit 0 no key (delete the section), bit 1 no value (delete the key), bit 2 no file,
// bits 3-7 the read buffer's size (1 to 32, or 255 when 0).
//
// Checked: reads never overrun the buffer and give the default for what is missing; a refused
// write leaves the file as it was; after a successful write the key reads as the value (its
// surrounding blanks trimmed) and every other line of the file is unchanged, byte for byte; no
// temporary file is left behind.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// A private folder for the settings file, in memory where there is a memory file system; it is
// removed when the fuzzer ends.
std::string& Folder() {
    static std::string folder;
    return folder;
}

std::string MakeFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (tmp ? tmp : "/tmp");
    Folder() = base + "/glimmerdel-fuzz-profile-XXXXXX";
    if (mkdtemp(Folder().data()) == nullptr)
        std::abort();
    std::atexit([] {
        unlink((Folder() + "/settings.ini").c_str());
        rmdir(Folder().c_str());
    });
    return Folder();
}

std::optional<std::string> ReadFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return std::nullopt;
    std::string content;
    char chunk[4096];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0)
        content.append(chunk, static_cast<size_t>(n));
    close(fd);
    return content;
}

void WriteFile(const std::string& path, std::string_view content) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Check(fd >= 0);
    Check(write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()));
    close(fd);
}

int EntriesIn(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    Check(dir != nullptr);
    int count = 0;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            ++count;
    }
    closedir(dir);
    return count;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A line with its ending ("\n", "\r\n", a lone "\r" at the very end, or none at the end).
struct Line {
    std::string_view text;
    std::string_view ending;
};

std::vector<Line> Lines(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        size_t end = content.find('\n');
        end = end == std::string_view::npos ? content.size() : end + 1;
        std::string_view whole = content.substr(0, end);
        size_t textEnd = whole.size();
        if (textEnd > 0 && whole[textEnd - 1] == '\n')
            --textEnd;
        if (textEnd > 0 && whole[textEnd - 1] == '\r')
            --textEnd;
        lines.push_back({whole.substr(0, textEnd), whole.substr(textEnd)});
        content.remove_prefix(end);
    }
    return lines;
}

// The new file is the old one with at most maxRemoved lines taken out and at most maxAdded lines
// put in, all in one place (a write of a key replaces its line, or adds the key, or a section
// header and the key). Only the old file's last line may gain a line ending.
void CheckOtherLinesKept(std::string_view before, std::string_view after, size_t maxRemoved,
                         size_t maxAdded) {
    const std::vector<Line> a = Lines(before);
    const std::vector<Line> b = Lines(after);
    auto same = [&](size_t i, size_t j) {
        if (a[i].text != b[j].text)
            return false;
        if (a[i].ending == b[j].ending)
            return true;
        // The old last line, left open, is closed before anything is added after it.
        return i + 1 == a.size() && a[i].ending.find('\n') == std::string_view::npos &&
               b[j].ending.find('\n') != std::string_view::npos;
    };
    size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && same(prefix, prefix))
        ++prefix;
    size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           same(a.size() - 1 - suffix, b.size() - 1 - suffix)) {
        ++suffix;
    }
    const size_t removed = a.size() - prefix - suffix;
    const size_t added = b.size() - prefix - suffix;
    Check(removed <= maxRemoved);
    Check(added <= maxAdded);
    if (removed == 1 && maxAdded > 0)
        Check(added == 1);  // a line replaced, never replaced and added to
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = MakeFolder();
    static const std::string path = folder + "/settings.ini";
    if (size < 1)
        return 0;
    const std::uint8_t flags = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string fields[3];
    for (std::string& field : fields) {
        const size_t end = rest.find('\0');
        if (end == std::string_view::npos)
            return 0;
        field = std::string(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }
    const std::string& section = fields[0];
    const char* key = (flags & 1) ? nullptr : fields[1].c_str();
    const char* value = (flags & 2) ? nullptr : fields[2].c_str();
    const bool noFile = (flags & 4) != 0;
    const std::uint32_t bufferSize = (flags >> 3) == 0 ? 255 : (flags >> 3);

    unlink(path.c_str());
    if (!noFile)
        WriteFile(path, rest);

    // A read: within the buffer, terminated, the default when there is no file.
    std::vector<char> buffer(bufferSize + 16, '\x7f');
    const std::uint32_t count = profile::GetPrivateProfileStringA(
        section.c_str(), fields[1].c_str(), "dflt", buffer.data(), bufferSize, path.c_str());
    Check(count < bufferSize);
    Check(buffer[count] == '\0');
    for (size_t i = bufferSize; i < buffer.size(); ++i)
        Check(buffer[i] == '\x7f');
    if (noFile)
        Check(std::string_view(buffer.data(), count) == std::string_view("dflt").substr(0, count));

    // A write.
    const std::optional<std::string> before = ReadFile(path);
    const std::int32_t written =
        profile::WritePrivateProfileStringA(section.c_str(), key, value, path.c_str());
    const std::optional<std::string> after = ReadFile(path);
    Check(EntriesIn(folder) == (after ? 1 : 0));
    if (written == 0) {
        Check(before == after);
        return 0;
    }
    // Texts that would break the file's lines are never written.
    Check(!HasLineBreak(section) && !Trim(section).empty());
    if (key != nullptr)
        Check(!HasLineBreak(key) && std::string_view(key).find('=') == std::string_view::npos);
    if (value != nullptr)
        Check(!HasLineBreak(value));
    if (key == nullptr) {
        // The section's header and its lines go, nothing else.
        if (after)
            CheckOtherLinesKept(before.value_or(""), *after, before ? before->size() : 0, 0);
        return 0;
    }
    if (value == nullptr) {
        if (after)
            CheckOtherLinesKept(before.value_or(""), *after, 1, 0);
        return 0;
    }
    Check(after.has_value());
    // The key's own line is rewritten in place, or the key is added (with its section).
    CheckOtherLinesKept(before.value_or(""), *after, 1, 2);

    // The key reads back as the value.
    std::vector<char> readBack(after->size() + 2);
    const std::uint32_t got = profile::GetPrivateProfileStringA(
        section.c_str(), key, "", readBack.data(), static_cast<std::uint32_t>(readBack.size()),
        path.c_str());
    Check(std::string_view(readBack.data(), got) == Trim(value));
    return 0;
}
