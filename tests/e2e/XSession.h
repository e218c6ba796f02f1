// SPDX-License-Identifier: MIT
#pragma once
// End-to-end test support: a private Xvfb server, the real program started in a private copy of
// its program folder, xdotool for keys and the mouse, and screen captures.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/harness/TempDir.h"

// How long a test waits for what the program should do soon: generous, because a busy machine
// may hold any step up for seconds. Only a hang runs into it.
constexpr std::chrono::seconds kPatience{20};

// Polls the condition until it holds (true) or the time is up (false).
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kPatience);

// An Xvfb server on a display that it picks itself, for the life of the object.
class XvfbServer {
  public:
    XvfbServer(int width = 1024, int height = 768);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Running() const { return m_pid > 0; }
    // Kills the server at once (the display goes away under its clients).
    void Kill();
    const std::string& Display() const { return m_display; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // The screen (or one window) as 0x00RRGGBB pixels, rows from the top.
    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels;
        std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    };
    Picture Capture(unsigned long window = 0) const;
    // True when the pointer shows no visible pixel (hidden by the window under it).
    bool PointerHidden() const;
    // Runs xdotool with the arguments on this display; its standard output.
    std::string Xdotool(const std::vector<std::string>& arguments) const;
    // Clicks the first button at a place in a window, that many times, the given time apart
    // (so that a toolkit sees single clicks and no held button repeats).
    void ClickInWindow(unsigned long window, int x, int y, int times,
                       std::chrono::milliseconds apart) const;
    // Top-level windows whose name is exactly this, after waiting up to the timeout for one.
    std::vector<unsigned long> FindWindows(const std::string& name,
                                           std::chrono::milliseconds timeout) const;
    // Window geometry (x, y relative to the root, width, height); nullopt when it is gone.
    struct Geometry {
        int x, y, width, height;
        bool viewable;
    };
    std::optional<Geometry> WindowGeometry(unsigned long window) const;
    // Waits until the window (0: the screen) shows more than `pixels` pixels other than it did
    // when called: the picture moves. The number of pixels that changed, 0 when none did.
    int WaitForChange(unsigned long window, int pixels,
                      std::chrono::milliseconds timeout = kPatience) const;
    // Waits until the window is mapped and viewable.
    bool WaitViewable(unsigned long window, std::chrono::milliseconds timeout = kPatience) const;
    // Waits until another client holds the keyboard grabbed (the saver takes it as its window
    // shows). Asks by trying to grab it: where that succeeds, the grab is let go at once.
    bool WaitKeyboardGrabbed(std::chrono::milliseconds timeout = kPatience) const;
    // Waits until the keyboard's focus is in the window (it or one of its children).
    bool WaitFocused(unsigned long window, std::chrono::milliseconds timeout = kPatience) const;

  private:
    pid_t m_pid = -1;
    std::string m_display;
    int m_width;
    int m_height;
};

// A plain top-level window of the test's own, filled with one colour: a host window for the
// preview, or a daemon's window for the scene. The test's connection keeps it alive.
class ClientWindow {
  public:
    ClientWindow(const std::string& display, int x, int y, int width, int height,
                 std::uint32_t colour);
    ~ClientWindow();
    ClientWindow(const ClientWindow&) = delete;
    ClientWindow& operator=(const ClientWindow&) = delete;

    unsigned long Id() const { return m_window; }
    void Fill();
    void Resize(int width, int height);
    void Destroy();

  private:
    struct _XDisplay* m_display;
    unsigned long m_window = 0;
};

// The real program, started from a private copy of the build's program folder.
class ProgramRun {
  public:
    ProgramRun();
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The private program folder: change its settings file or data before Start.
    const TempDir& Folder() const { return m_folder; }
    std::string DataFile(const std::string& name) const;

    // extraEnvironment: "NAME=value" entries added to the program's environment.
    void Start(const std::vector<std::string>& arguments, const std::string& display,
               const std::vector<std::string>& extraEnvironment = {});
    // The exit status once the program has ended within the timeout; nullopt if it still runs.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);
    bool Running();
    pid_t Pid() const { return m_pid; }
    // What the program wrote on its standard error.
    std::string ErrorOutput() const;
    // Sends a signal to the program.
    void Signal(int signal);

  private:
    TempDir m_folder;
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

// Other processes: started with the given environment added, standard output and input on
// /dev/null, standard error into a file (or /dev/null).
pid_t StartProcess(const std::vector<std::string>& argv,
                   const std::vector<std::string>& environment, const std::string& errorFile = "");
std::optional<int> WaitProcess(pid_t pid, std::chrono::milliseconds timeout);
// True when the pointer shows no visible pixel on that display.
bool PointerHiddenOn(const std::string& display);
// The top-level windows of a connection that have this name (only the viewable ones, if asked).
// A window that goes away while it is looked at (a program building its windows again) is left
// out, never an X error that ends the test.
std::vector<unsigned long> WindowsNamed(struct _XDisplay* display, const std::string& name,
                                        bool viewableOnly);
// What a program wrote on its standard output, and its exit status (nullopt: still running at
// the timeout, then killed).
struct ProcessOutput {
    std::optional<int> status;
    std::string text;
};
// Runs a program with the given environment added ("NAME=value"), its standard error left as
// the test's or (quiet) on /dev/null, and returns what it wrote once it has ended.
ProcessOutput RunForOutput(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment,
                           std::chrono::milliseconds timeout = kPatience, bool quiet = false);
// Runs a program on a display and returns its standard output once it has ended.
std::string OutputOf(const std::vector<std::string>& argv, const std::string& display);
// The command run as an unprivileged user when the tests run as root (some programs refuse
// to run as root, and only an unprivileged user finds installed folders read-only).
std::vector<std::string> Unprivileged(const std::vector<std::string>& argv);
// How many running processes have this text in their command line.
int ProcessesRunning(const std::string& commandText);

// What a process has done so far, over all its threads: its wake-ups (voluntary context
// switches) and its processor time.
struct ProcessUse {
    long long wakeUps = 0;
    double cpuSeconds = 0;
};
ProcessUse UseOf(pid_t pid);
// What the process used over ten seconds from now (a figure the test prints, what says "at
// rest" to a test that bounds it with a wide margin).
ProcessUse UseOverTenSeconds(pid_t pid, const std::string& what);

// Pixels that differ between two pictures.
int Differences(const XvfbServer::Picture& a, const XvfbServer::Picture& b);
// Light snow at the bottom of the picture and a dark night sky at the top.
bool LooksLikeTheScene(const XvfbServer::Picture& picture);
// The same, and no pixel of the given colour (the background of the window before the scene
// covered it).
bool LooksLikeTheScene(const XvfbServer::Picture& picture, std::uint32_t background);

// Milliseconds since an earlier moment, for timing what the program does.
long long MillisecondsSince(std::chrono::steady_clock::time_point start);
