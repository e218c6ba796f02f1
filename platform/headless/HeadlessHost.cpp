// SPDX-License-Identifier: MIT
#include "platform/headless/HeadlessHost.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "platform/Form.h"
#include "platform/RuntimeError.h"
#include "platform/file_store.h"
#include "platform/headless/HeadlessFormPeer.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

HeadlessHost::HeadlessHost() = default;
HeadlessHost::~HeadlessHost() = default;

void HeadlessHost::SetScreenPixels(int width, int height) {
    m_screenWidth = width;
    m_screenHeight = height;
}

void HeadlessHost::SetMonitors(std::vector<std::pair<int, int>> sizes) {
    m_monitors = std::move(sizes);
    SelectMonitor(0);
}

void HeadlessHost::SelectMonitor(int index) {
    if (index < 0 || index >= static_cast<int>(m_monitors.size()))
        return;
    m_screenWidth = m_monitors[static_cast<size_t>(index)].first;
    m_screenHeight = m_monitors[static_cast<size_t>(index)].second;
}

void HeadlessHost::SetRegistryValue(const std::string& subKey, const std::string& name,
                                    std::uint32_t type, std::vector<std::uint8_t> data) {
    m_registry[Lower(subKey + "\\" + name)] = RegistryValue{type, std::move(data)};
}

void HeadlessHost::QueueKeyDown(Form& form, Integer keyCode, Integer shift) {
    m_input.push_back({&form, QueuedInput::Key, keyCode, shift, 0, 0});
}

void HeadlessHost::QueueMouseDown(Form& form, Integer button, float x, float y) {
    m_input.push_back({&form, QueuedInput::Down, button, 0, x, y});
}

void HeadlessHost::QueueMouseMove(Form& form, float x, float y) {
    m_input.push_back({&form, QueuedInput::Move, 0, 0, x, y});
}

HeadlessBacking* HeadlessHost::BackingOf(Form& form) {
    auto* peer = dynamic_cast<HeadlessFormPeer*>(form.Peer());
    return peer ? peer->Backing() : nullptr;
}

void HeadlessHost::DoEvents() {
    ++m_eventPasses;
    if (m_onEvents)
        m_onEvents();
    // Handlers run nested and may queue more input or end the program: take one at a time.
    while (!m_input.empty()) {
        const QueuedInput input = m_input.front();
        m_input.pop_front();
        if (!input.form->Loaded())
            continue;
        switch (input.kind) {
            case QueuedInput::Key:
                input.form->KeyDown(input.code, input.shift);
                break;
            case QueuedInput::Down:
                input.form->MouseDown(input.code, 0, input.x, input.y);
                break;
            case QueuedInput::Move:
                input.form->MouseMove(0, 0, input.x, input.y);
                break;
        }
    }
}

void HeadlessHost::WaitForEvents(Long timeoutMs) {
    // Virtual time: the wait passes at once, the clock moves on by the timeout.
    ++m_waits;
    if (timeoutMs > 0) {
        m_tick += static_cast<std::uint32_t>(timeoutMs);
        m_longestWait = std::max<long long>(m_longestWait, timeoutMs);
    }
    DoEvents();
}

double HeadlessHost::Timer() {
    const double elapsed = static_cast<std::uint32_t>(m_tick - m_timeOrigin) / 1000.0;
    return std::fmod(m_timeOfDay + elapsed, 86400.0);
}

std::string HeadlessHost::Dir(const std::string& path) {
    return file_store::FileNameIfExists(path);
}

void HeadlessHost::Randomize() {
    m_random.Stir(m_tick);
}

int HeadlessHost::MsgBox(const std::string& text, int style, const std::string& title) {
    m_calls.push_back("MsgBox");
    m_messageBoxes.push_back({text, style, title});
    if (m_onMessageBox)
        m_onMessageBox(m_messageBoxes.back());
    return vbOK;
}

void HeadlessHost::Shell(const std::string& path) {
    m_calls.push_back("Shell(" + path + ")");
    if (!file_store::IsExecutableFile(path))
        throw RuntimeError(53, "File not found: " + path);
    m_launched.push_back(path);
}

Long HeadlessHost::ShellExecute(const std::string& target) {
    m_calls.push_back("ShellExecute(" + target + ")");
    m_opened.push_back(target);
    return m_shellExecuteResult;
}

Long HeadlessHost::InternetGetConnectedState(std::uint32_t* flags, std::uint32_t) {
    if (flags != nullptr)
        *flags = 0;
    return m_online ? 1 : 0;
}

void HeadlessHost::EndProgram(int status) {
    m_calls.push_back("EndProgram(" + std::to_string(status) + ")");
    m_endStatus = status;
    throw ProgramEnded{status};
}

int HeadlessHost::ShowCursor(BOOL show) {
    m_cursorCount += show ? 1 : -1;
    m_calls.push_back("ShowCursor(" + std::to_string(show ? 1 : 0) +
                      ")=" + std::to_string(m_cursorCount));
    return m_cursorCount;
}

BOOL HeadlessHost::SystemParametersInfoA(std::uint32_t action, std::uint32_t param, void* pvParam,
                                         std::uint32_t winIni) {
    m_calls.push_back("SystemParametersInfoA(" + std::to_string(action) + "," +
                      std::to_string(param) + "," + (pvParam ? "ptr" : "null") + "," +
                      std::to_string(winIni) + ")");
    return TRUE;
}

BOOL HeadlessHost::SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy,
                                std::uint32_t flags) {
    m_calls.push_back("SetWindowPos(" + std::to_string(HandleNumber(hWnd)) + "," +
                      std::to_string(HandleNumber(insertAfter)) + "," + std::to_string(x) + "," +
                      std::to_string(y) + "," + std::to_string(cx) + "," + std::to_string(cy) +
                      "," + std::to_string(flags) + ")");
    return hWnd != 0 ? TRUE : FALSE;
}

HWND HeadlessHost::FindWindowA(const char* className, const char* windowName) {
    m_calls.push_back(std::string("FindWindowA(") + (className ? className : "null") + "," +
                      (windowName ? "\"" + std::string(windowName) + "\"" : "null") + ")");
    return m_taskbar;
}

BOOL HeadlessHost::GetVersionExA(OSVERSIONINFOA* info) {
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return FALSE;
    info->dwPlatformId = m_platformId;
    return TRUE;
}

Long HeadlessHost::RegOpenKeyExA(HKEY key, const char* subKey, std::uint32_t, std::uint32_t,
                                 HKEY* result) {
    if (key != HKEY_CURRENT_USER || subKey == nullptr || result == nullptr)
        return ERROR_FILE_NOT_FOUND;
    const std::string prefix = Lower(std::string(subKey)) + "\\";
    const auto it = m_registry.lower_bound(prefix);
    if (it == m_registry.end() || it->first.compare(0, prefix.size(), prefix) != 0)
        return ERROR_FILE_NOT_FOUND;
    *result = HkeyFromValue(m_nextKey++);
    m_openKeys[*result] = prefix;
    return ERROR_SUCCESS;
}

Long HeadlessHost::RegQueryValueExA(HKEY key, const char* valueName, std::uint32_t*,
                                    std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
    const auto open = m_openKeys.find(key);
    if (open == m_openKeys.end() || valueName == nullptr)
        return ERROR_FILE_NOT_FOUND;
    const auto it = m_registry.find(open->second + Lower(valueName));
    if (it == m_registry.end())
        return ERROR_FILE_NOT_FOUND;
    const RegistryValue& value = it->second;
    if (type != nullptr)
        *type = value.type;
    if (size == nullptr)
        return ERROR_SUCCESS;
    const std::uint32_t available = *size;
    *size = static_cast<std::uint32_t>(value.data.size());
    if (data == nullptr)
        return ERROR_SUCCESS;
    if (value.data.size() > available)
        return ERROR_MORE_DATA;
    if (!value.data.empty())
        std::memcpy(data, value.data.data(), value.data.size());
    return ERROR_SUCCESS;
}

Long HeadlessHost::RegCloseKey(HKEY key) {
    m_calls.push_back("RegCloseKey");
    return m_openKeys.erase(key) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

Long HeadlessHost::VerifyScreenSavePwd(HWND hWnd) {
    m_calls.push_back("VerifyScreenSavePwd(" + std::to_string(HandleNumber(hWnd)) + ")");
    return m_passwordAnswer;
}

Long HeadlessHost::PwdChangePasswordA(const char* registryKey, HWND parent, std::uint32_t reserved1,
                                      std::uint32_t reserved2) {
    m_calls.push_back(std::string("PwdChangePasswordA(") + (registryKey ? registryKey : "null") +
                      "," + std::to_string(HandleNumber(parent)) + "," + std::to_string(reserved1) +
                      "," + std::to_string(reserved2) + ")");
    return 0;
}

std::unique_ptr<FormPeer> HeadlessHost::CreateFormPeer(Form& form) {
    return std::make_unique<HeadlessFormPeer>(form);
}
