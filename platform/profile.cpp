// SPDX-License-Identifier: MIT
#include "platform/profile.h"

#include "platform/file_store.h"

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

}  // namespace

namespace profile {

std::uint32_t GetPrivateProfileStringA(const char* section, const char* key,
                                       const char* defaultText, char* buffer, std::uint32_t size,
                                       const char* fileName) {
    if (buffer == nullptr || size == 0)
        return 0;
    std::string_view result = defaultText ? Trim(defaultText) : std::string_view();
    std::optional<std::string> content;
    if (section != nullptr && key != nullptr && fileName != nullptr) {
        content = file_store::ReadSettingsFile(fileName, nullptr);
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

    const auto edit = [&](const std::string& content) -> std::optional<std::string> {
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
                return std::nullopt;
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
            return std::nullopt;  // nothing to delete
        } else if (where.header) {
            // After the last line of the section that is not blank.
            size_t last = *where.header;
            for (size_t i = *where.header + 1; i < where.sectionEnd; ++i) {
                const Line& line = lines[i];
                if (!Trim(
                         std::string_view(content).substr(line.start, line.contentEnd - line.start))
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
        return out;
    };
    return file_store::RewriteSettingsFile(fileName, edit) ? 1 : 0;
}

}  // namespace profile
