// SPDX-License-Identifier: MIT
// The command line and the number rules it rests on, on arbitrary text.
//
// Input: one flags byte, then the text. The text is, at once: a number for the whole-text
// conversion and the leading-number rule (both compared with a model written from the rules
// with a regular expression), the program's arguments for the mode dispatch (run against the
// headless host with recording forms), the registry's password flag (flags bit 0: stored as a
// 32-bit number rather than as text), and, split at line breaks, the arguments of the Linux
// options (flags bit 1: $XSCREENSAVER_WINDOW is the first of them).

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "app/LinuxOptions.h"
#include "app/frmPreview.h"
#include "app/mScreenSaver.h"
#include "platform/Form.h"
#include "platform/RuntimeError.h"
#include "platform/gdi.h"
#include "platform/headless/HeadlessHost.h"
#include "platform/numbers.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// A decimal number: sign, digits with an optional fraction (or a fraction alone), exponent.
const std::regex& NumberPattern() {
    static const std::regex pattern(R"([+-]?(?:[0-9]+(?:\.[0-9]*)?|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)");
    return pattern;
}

// The whole-text conversion as the rules put it: nullopt for "not a number".
std::optional<double> WholeNumberModel(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    const std::string body = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (!std::regex_match(body, NumberPattern()))
        return std::nullopt;
    return std::strtod(body.c_str(), nullptr);
}

// The leading-number rule: blanks, tabs and line feeds do not count wherever they stand; any
// other character, a carriage return too, ends the number.
double LeadingNumberModel(const std::string& text) {
    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            compact += c;
    }
    std::smatch match;
    if (!std::regex_search(compact, match, NumberPattern(), std::regex_constants::match_continuous))
        return 0;
    const double value = std::strtod(match.str().c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

// Rounding to the nearest whole number, halves to even.
double RoundModel(double value) {
    double rounded = std::floor(value + 0.5);
    if (rounded - value == 0.5 && std::fmod(rounded, 2.0) != 0)
        rounded -= 1;
    return rounded;
}

void CheckNumbers(const std::string& text) {
    // Whole-text conversion.
    const std::optional<double> expected = WholeNumberModel(text);
    std::optional<double> got;
    bool overflow = false;
    try {
        got = TextToNumber(text);
    } catch (const OverflowError&) {
        overflow = true;
    } catch (const ConversionError&) {
    }
    if (!expected) {
        Check(!got && !overflow);
    } else if (!std::isfinite(*expected)) {
        Check(overflow);
    } else {
        Check(got && *got == *expected);
        const double rounded = RoundModel(*expected);
        std::optional<Integer> integer;
        try {
            integer = TextToInteger(text);
        } catch (const OverflowError&) {
        }
        if (rounded >= -32768 && rounded <= 32767)
            Check(integer && *integer == rounded);
        else
            Check(!integer);
        // Back to text and again to a number: the same number.
        Check(TextToNumber(NumberToText(*expected)) == *expected);
    }

    // Leading-number rule and the window handles read with it.
    const double leading = LeadingNumberModel(text);
    const double value = LeadingNumber(text);
    Check(value == leading);
    const double handle = RoundModel(leading);
    const HWND expectedHandle =
        handle >= -2147483648.0 && handle <= 2147483647.0 ? static_cast<HWND>(handle) : 0;
    Check(HandleFromText(text) == expectedHandle);
}

class RecordingForm : public Form {
  public:
    explicit RecordingForm(const char* name) : Form(name) {}
    int loads = 0;

  protected:
    void Form_Load() override { ++loads; }
};

std::string Normalised(std::string command) {
    const size_t first = command.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    command = command.substr(first, command.find_last_not_of(' ') - first + 1);
    for (char& c : command)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return command;
}

void CheckDispatch(const std::string& raw, std::uint8_t flags) {
    const int objects = gdi::LiveObjectCount();
    HeadlessHost host;
    SetHost(&host);
    host.SetCommand(raw);
    host.SetAppPath("/nonexistent");
    if (flags & 1) {
        std::vector<std::uint8_t> number(4, 0);
        std::memcpy(number.data(), raw.data(), std::min<size_t>(raw.size(), 4));
        host.SetRegistryValue("Control Panel\\Desktop", "ScreenSaveUsePassword", REG_DWORD, number);
    } else {
        std::vector<std::uint8_t> text(raw.begin(), raw.end());
        text.push_back(0);
        host.SetRegistryValue("Control Panel\\Desktop", "ScreenSaveUsePassword", REG_SZ, text);
    }
    ReadPlatformId();
    ReadPasswordFlag();
    if (!(flags & 1) && raw.size() < 255) {
        const double flag = RoundModel(LeadingNumberModel(raw));
        Check((g_usePassword != 0) == (flag != 0));
    }

    RecordingForm saver("frmSaver");
    RecordingForm settings("frmSettings");
    frmPreview preview;
    g_frmSaver = &saver;
    g_frmSettings = &settings;
    g_frmPreview = &preview;
    const std::string command = Normalised(raw);
    const std::string mode = command.substr(0, 2);
    bool ended = false;
    try {
        DispatchCommandLine(command);
    } catch (const ProgramEnded&) {
        ended = true;
    }
    if (mode == "/C") {
        Check(!ended && settings.Visible() && !saver.Loaded());
    } else if (mode == "/A") {
        const double parent = RoundModel(LeadingNumberModel(raw.size() > 2 ? raw.substr(2) : ""));
        const HWND expected =
            parent >= -2147483648.0 && parent <= 2147483647.0 ? static_cast<HWND>(parent) : 0;
        Check(!ended && !saver.Loaded() && !settings.Loaded());
        Check(host.Calls().back() ==
              "PwdChangePasswordA(SCRSAVE," + std::to_string(expected) + ",0,0)");
    } else if (mode == "/P") {
        Check(ended && !saver.Loaded());
    } else {
        Check(!ended && saver.loads == 1 && saver.Visible() && host.CursorCount() <= -6);
    }
    for (Form* form : {static_cast<Form*>(&saver), static_cast<Form*>(&settings),
                       static_cast<Form*>(&preview)}) {
        if (form->Loaded())
            form->Unload();
    }
    g_frmSaver = g_frmSettings = g_frmPreview = nullptr;
    SetHost(nullptr);
    Check(gdi::LiveObjectCount() == objects);
}

// Window ids: decimal or 0x hexadecimal, 1 to 2^29 - 1.
std::optional<unsigned long> WindowIdModel(const std::string& text) {
    static const std::regex decimal("[0-9]{1,20}");
    static const std::regex hexadecimal("0[xX][0-9a-fA-F]{1,18}");
    unsigned long long value = 0;
    if (std::regex_match(text, hexadecimal)) {
        const std::string digits = text.substr(2);
        const size_t significant = digits.find_first_not_of('0');
        if (significant != std::string::npos && digits.size() - significant > 8)
            return std::nullopt;
        value = std::strtoull(digits.c_str(), nullptr, 16);
    } else if (std::regex_match(text, decimal)) {
        const size_t significant = text.find_first_not_of('0');
        if (significant != std::string::npos && text.size() - significant > 10)
            return std::nullopt;
        value = std::strtoull(text.c_str(), nullptr, 10);
    } else {
        return std::nullopt;
    }
    if (value == 0 || value > 0x1FFFFFFF)
        return std::nullopt;
    return static_cast<unsigned long>(value);
}

void CheckLinuxOptions(const std::string& text, std::uint8_t flags) {
    std::vector<std::string> arguments;
    size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::optional<std::string> environment;
    if ((flags & 2) && !arguments.empty()) {
        environment = arguments.front();
        arguments.erase(arguments.begin());
    }
    Check(ParseWindowId(text) == WindowIdModel(text));

    const LinuxOptions options =
        ParseLinuxOptions(arguments, environment ? environment->c_str() : nullptr);
    if (!options.recognised)
        Check(!options.embedded && options.overrides.empty() && options.error.empty());
    if (!options.error.empty())
        return;
    if (options.embedded && options.window != 0)
        Check(options.window <= 0x1FFFFFFF);
    // Every setting given reads as the settings file would hold it.
    for (const auto& [key, value] : options.overrides) {
        const double number = TextToNumber(value);
        if (key == "lights" || key == "chimneysmoke" || key == "snowing")
            Check(number == 0 || number == 1);
        else if (key == "snowspeed")
            Check(number >= 2 && number <= 20);
        else
            Check((key == "lightspeed" || key == "smokespeed") && number >= 1 && number <= 10);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 2048)
        return 0;
    const std::uint8_t flags = data[0];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    CheckNumbers(text);
    CheckDispatch(text, flags);
    CheckLinuxOptions(text, flags);
    return 0;
}
