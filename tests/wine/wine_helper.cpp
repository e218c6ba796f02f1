// SPDX-License-Identifier: MIT
// A small Windows program for the end-to-end tests under Wine.
//   wine_helper host HANDLE_FILE STOP_FILE   a plain window of one colour (the display settings'
//                                            preview host); its handle goes into HANDLE_FILE; it
//                                            ends once STOP_FILE exists
//   wine_helper taskbar STATE_FILE STOP_FILE stands in for the taskbar: a topmost window of its
//                                            class (found before the one Wine keeps hidden);
//                                            STATE_FILE says "shown N" or "hidden N", N the
//                                            times it was hidden; it ends once STOP_FILE exists
//   wine_helper close TITLE                  posts WM_CLOSE to the window of that title
//   wine_helper endsession TITLE             tells the window of that title that the session
//                                            ends (WM_QUERYENDSESSION, then WM_ENDSESSION)
//   wine_helper foreground STOP_FILE         a window of its own taken to the foreground; it
//                                            ends once STOP_FILE exists
//   wine_helper short PATH OUT_FILE          the short form of a path into OUT_FILE
//   wine_helper codepage OUT_FILE            the system's ANSI code page into OUT_FILE
//   wine_helper (no arguments)               the companion program's stand-in: notes that it was
//                                            started in a file "email-started" beside itself

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string g_stopFile;
std::string g_stateFile;
HWND g_taskbar = nullptr;
int g_hides = 0;
bool g_shown = true;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Replaces a file's text whole, so that a reader never sees half of it.
void WriteWhole(const std::string& path, const std::string& text) {
    const std::string temp = path + ".new";
    if (std::FILE* file = std::fopen(temp.c_str(), "w")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
        MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

void NoteTaskbarState() {
    const bool shown = IsWindowVisible(g_taskbar) != FALSE;
    if (!shown && g_shown)
        ++g_hides;
    g_shown = shown;
    WriteWhole(g_stateFile, std::string(shown ? "shown " : "hidden ") + std::to_string(g_hides));
}

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        if (Exists(g_stopFile))
            PostQuitMessage(0);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(RGB(0x20, 0x40, 0x60));
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    if (message == WM_WINDOWPOSCHANGED && window == g_taskbar)
        NoteTaskbarState();
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(const char* className, const char* title, DWORD extended, int x, int y, int w,
                int h) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HostProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(extended, className, title, WS_POPUP, x, y, w, h, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, 1, 50, nullptr);
    return window;
}

int RunUntilStopped() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

int Host(const char* handleFile, const char* stopFile) {
    g_stopFile = stopFile;
    HWND window = MakeWindow("GlimmerdelTestHost", "Preview host", 0, 100, 100, 300, 200);
    if (std::FILE* file = std::fopen(handleFile, "w")) {
        std::fprintf(file, "%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(window)));
        std::fclose(file);
    }
    return RunUntilStopped();
}

int Taskbar(const char* stateFile, const char* stopFile) {
    g_stopFile = stopFile;
    g_stateFile = stateFile;
    g_taskbar = MakeWindow("Shell_TrayWnd", "", WS_EX_TOPMOST | WS_EX_TOOLWINDOW, 0, 0, 200, 8);
    NoteTaskbarState();
    return RunUntilStopped();
}

int Foreground(const char* stopFile) {
    g_stopFile = stopFile;
    HWND window = MakeWindow("GlimmerdelTestForeground", "Foreground", 0, 10, 10, 100, 100);
    SetForegroundWindow(window);
    return RunUntilStopped();
}

int Close(const char* title) {
    HWND window = FindWindowA(nullptr, title);
    return window != nullptr && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int EndSession(const char* title) {
    HWND window = FindWindowA(nullptr, title);
    if (window == nullptr)
        return 1;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                        &answer);
    // The saver ends while it handles this one: no answer comes.
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    return 0;
}

int ShortPath(const char* path, const char* outFile) {
    char shortPath[MAX_PATH] = {};
    if (GetShortPathNameA(path, shortPath, MAX_PATH) == 0)
        return 1;
    WriteWhole(outFile, shortPath);
    return 0;
}

int NoteStart() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder = folder.substr(0, folder.find_last_of("\\/") + 1);
    if (std::FILE* file = std::fopen((folder + "email-started").c_str(), "w")) {
        std::fputs("started\n", file);
        std::fclose(file);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc == 4 && mode == "host")
        return Host(argv[2], argv[3]);
    if (argc == 4 && mode == "taskbar")
        return Taskbar(argv[2], argv[3]);
    if (argc == 3 && mode == "close")
        return Close(argv[2]);
    if (argc == 3 && mode == "endsession")
        return EndSession(argv[2]);
    if (argc == 3 && mode == "foreground")
        return Foreground(argv[2]);
    if (argc == 4 && mode == "short")
        return ShortPath(argv[2], argv[3]);
    if (argc == 3 && mode == "codepage") {
        WriteWhole(argv[2], std::to_string(GetACP()));
        return 0;
    }
    return NoteStart();
}
