// A small Windows program for the end-to-end tests under Wine.
//   wine_helper host HANDLE_FILE STOP_FILE   a plain window of one colour (the display settings'
//                                            preview host); its handle goes into HANDLE_FILE; it
//                                            ends once STOP_FILE exists
//   wine_helper (no arguments)               the companion program's stand-in: notes that it was
//                                            started in a file "email-started" beside itself

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string g_stopFile;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        if (GetFileAttributesA(g_stopFile.c_str()) != INVALID_FILE_ATTRIBUTES)
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
    return DefWindowProcA(window, message, wParam, lParam);
}

int Host(const char* handleFile, const char* stopFile) {
    g_stopFile = stopFile;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HostProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "GlimmerdelTestHost";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "GlimmerdelTestHost", "Preview host", WS_POPUP, 100, 100, 300,
                                  200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, 1, 50, nullptr);
    if (std::FILE* file = std::fopen(handleFile, "w")) {
        std::fprintf(file, "%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(window)));
        std::fclose(file);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
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
    if (argc == 4 && std::string(argv[1]) == "host")
        return Host(argv[2], argv[3]);
    return NoteStart();
}
