// SPDX-License-Identifier: MIT
#pragma once
// End-to-end test support for Wayland: a headless compositor of the test's own (sway with its
// headless backend and the pixman renderer: layer shell, a seat for virtual devices, screen
// captures with grim; or weston's headless backend: no layer shell, no seat, screenshots with
// weston-screenshooter), and the saver
// started in that session. The compositors refuse root: when the tests run as root, the
// compositor, the saver and every tool run as an unprivileged user with a private runtime
// folder, and the saver from a copy of the program folder that user owns.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/XSession.h"
#include "tools/harness/TempDir.h"

using Picture = XvfbServer::Picture;

class WaylandSession {
  public:
    enum class Compositor { Sway, Weston };

    // sway: configLines are added to its configuration. weston: one output of width x height.
    explicit WaylandSession(Compositor compositor, const std::string& configLines = "",
                            int width = 1024, int height = 640);
    // sway inside the outer sway (its wayland backend), with that many outputs: each is a
    // window there, and closing the window takes the output away (this wlroots cannot disable
    // a headless output).
    WaylandSession(const WaylandSession& outer, int outputs, const std::string& configLines = "");
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    // Where every package of the set-up is installed (root, as in CI) a compositor that does
    // not start fails the test; elsewhere the test is skipped.
    static bool MustStart();
    bool Running() const { return m_pid > 0; }
    // What the compositor wrote on standard error (why it did not start).
    std::string Log() const;
    // Kills the compositor at once: its clients lose their connection.
    void Kill();

    // What a client of the session needs in its environment (no X server).
    std::vector<std::string> Environment() const;
    // The compositor's socket.
    std::string SocketPath() const;

    // Runs a program in the session as the session's user and waits for it: its status
    // (nullopt when it did not end in time) and standard output.
    using Output = ProcessOutput;
    Output Run(const std::vector<std::string>& argv,
               std::chrono::milliseconds timeout = kPatience) const;
    // Starts a program in the session as the session's user.
    pid_t Start(const std::vector<std::string>& argv,
                const std::vector<std::string>& extraEnvironment = {},
                const std::string& errorFile = "") const;
    // A command to sway; true when it succeeded.
    bool Sway(const std::string& command) const;
    // The outputs' names as sway lists them, active ones only.
    std::vector<std::string> Outputs() const;
    // One output in buffer pixels (grim -t ppm -o NAME), with the pointer drawn in if asked;
    // empty when the capture failed.
    Picture Capture(const std::string& output, bool withPointer = false) const;
    // weston: the whole screen (weston-screenshooter).
    Picture Screenshot() const;
    // Types a key through a virtual keyboard (wtype), as a user would.
    bool Key(const std::string& key) const;
    // The tests' virtual pointer does these steps (see wayland_test_client).
    bool Pointer(const std::vector<std::string>& steps) const;
    // The same, and the pointer stays (the compositor draws it only while a pointer is there)
    // until the process returned is killed; -1 when the steps did not get done.
    pid_t HoldPointer(const std::vector<std::string>& steps) const;

  private:
    void StartSway(const std::string& configLines, std::vector<std::string> environment);
    bool WaitReady();

    Compositor m_compositor;
    TempDir m_folder;
    std::string m_runtime;
    std::string m_socket;
    std::string m_swaySocket;
    pid_t m_pid = -1;
};

// The saver in a session, from a private copy of the program folder.
class WaylandSaver {
  public:
    WaylandSaver();
    ~WaylandSaver();
    WaylandSaver(const WaylandSaver&) = delete;
    WaylandSaver& operator=(const WaylandSaver&) = delete;

    // The settings file with the three effects off: only the still picture.
    void SwitchEffectsOff();
    std::string DataFile(const std::string& name) const { return m_program.DataFile(name); }
    // The snapshot tool's picture of this folder's scene on a screen of that size, no frame run.
    Picture Snapshot(int width, int height) const;

    // Runs the saver in the session (it inherits the test's open descriptors).
    void Start(const WaylandSession& session, const std::vector<std::string>& arguments,
               const std::vector<std::string>& extraEnvironment = {});
    // Runs the saver as the test's own user, with only this added to the test's environment.
    void StartAlone(const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment);
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);
    bool Running();
    pid_t Pid() const { return m_pid; }
    std::string ErrorOutput() const;
    void Signal(int signal);

  private:
    ProgramRun m_program;
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

// The number of pixels in which two pictures differ; -1 for pictures of different sizes.
long PixelDifferences(const Picture& a, const Picture& b);
