// SPDX-License-Identifier: MIT
// The scene in an ordinary top-level window of its own (--window), for desktops whose lockers
// run no X screen-saver programs.

// GoogleTest first: Xlib's macros (None, Status...) would break its headers.
#include <gtest/gtest.h>

#include <thread>

#include "tests/e2e/XSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace std::chrono_literals;

namespace {

bool WaitForScene(const XvfbServer& x, unsigned long window, int width, int height) {
    return WaitUntil([&] {
        const auto picture = x.Capture(window);
        return picture.width == width && picture.height == height && LooksLikeTheScene(picture);
    });
}

// The test's own connection, acting as a window manager would.
class Connection {
  public:
    explicit Connection(const std::string& display) : m_display(XOpenDisplay(display.c_str())) {}
    ~Connection() {
        if (m_display != nullptr)
            XCloseDisplay(m_display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ::Display* operator*() const { return m_display; }

    bool OverrideRedirect(Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(m_display, window, &attributes);
        return attributes.override_redirect != 0;
    }
    bool TakesDeleteWindow(Window window) {
        Atom* protocols = nullptr;
        int count = 0;
        bool found = false;
        if (XGetWMProtocols(m_display, window, &protocols, &count)) {
            const Atom deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
            for (int i = 0; i < count; ++i)
                found = found || protocols[i] == deleteWindow;
            XFree(protocols);
        }
        return found;
    }
    void Resize(Window window, int width, int height) {
        XResizeWindow(m_display, window, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
        XSync(m_display, False);
    }
    // What a window manager sends when the user closes the window.
    void Close(Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, window, False, NoEventMask, &event);
        XSync(m_display, False);
    }

  private:
    ::Display* m_display;
};

}  // namespace

TEST(WindowEndToEnd, AnOrdinaryTitledWindowThatAnimatesFollowsResizesIgnoresTheMouseAndCloses) {
    XvfbServer x(1280, 800);
    ASSERT_TRUE(x.Running());
    ProgramRun program;
    program.Start({"--window"}, x.Display());
    const auto windows = x.FindWindows("Glimmerdel", kPatience);
    ASSERT_EQ(windows.size(), 1u) << program.ErrorOutput();
    const unsigned long window = windows[0];
    Connection connection(x.Display());
    ASSERT_NE(*connection, nullptr);
    EXPECT_FALSE(connection.OverrideRedirect(window)) << "a window the window manager frames";
    EXPECT_TRUE(connection.TakesDeleteWindow(window));
    ASSERT_TRUE(WaitForScene(x, window, 1024, 600)) << "1024 x 600 unless told";

    EXPECT_GT(x.WaitForChange(window, 20), 0) << "it animates";

    connection.Resize(window, 700, 420);
    EXPECT_TRUE(WaitForScene(x, window, 700, 420)) << "the scene is built again at 700 x 420";

    // Mouse movement all over the window does not end it, nor does a button-less hover.
    for (int i = 0; i < 12; ++i)
        x.Xdotool({"mousemove", std::to_string(20 + i * 50), std::to_string(30 + i * 30)});
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(program.Running()) << "mouse movement does not end the window mode";

    connection.Close(window);
    EXPECT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
}

TEST(WindowEndToEnd, EscapeAndControlQEndItAndAGivenSizeIsTaken) {
    XvfbServer x(1024, 768);
    ASSERT_TRUE(x.Running());
    for (const char* key : {"Escape", "ctrl+q"}) {
        ProgramRun program;
        program.Start({"--window", "640x360", "--no-snow"}, x.Display());
        const auto windows = x.FindWindows("Glimmerdel", kPatience);
        ASSERT_EQ(windows.size(), 1u) << program.ErrorOutput();
        ASSERT_TRUE(WaitForScene(x, windows[0], 640, 360)) << key;
        // Without a window manager the keyboard follows the pointer.
        x.Xdotool({"mousemove", "100", "100"});
        x.Xdotool({"key", key});
        EXPECT_EQ(program.WaitExit(kPatience), 0) << key;
    }
    ProgramRun bad;
    bad.Start({"--window=10x10"}, x.Display());
    EXPECT_EQ(bad.WaitExit(kPatience), 2) << "a window too small to show anything";
}

TEST(WindowEndToEnd, UnmappedOrCoveredItSleepsAndShownAgainTheSceneGoesOn) {
    XvfbServer x(1280, 800);
    ASSERT_TRUE(x.Running());
    ProgramRun program;
    program.Start({"--window"}, x.Display());
    const auto windows = x.FindWindows("Glimmerdel", kPatience);
    ASSERT_EQ(windows.size(), 1u) << program.ErrorOutput();
    const unsigned long window = windows[0];
    ASSERT_TRUE(WaitForScene(x, window, 1024, 600));
    ASSERT_GT(x.WaitForChange(window, 20), 0) << "it animates";
    UseOverTenSeconds(program.Pid(), "shown");

    // Unmapped (there is no window manager here to iconify it).
    x.Xdotool({"windowunmap", std::to_string(window)});
    ASSERT_TRUE(WaitUntil([&] {
        const auto geometry = x.WindowGeometry(window);
        return geometry && !geometry->viewable;
    }));
    EXPECT_LT(UseOverTenSeconds(program.Pid(), "unmapped").wakeUps, 100);
    x.Xdotool({"windowmap", std::to_string(window)});
    ASSERT_TRUE(x.WaitViewable(window));
    EXPECT_GT(x.WaitForChange(window, 20), 0) << "mapped again, the scene moves";

    // Covered whole by another window.
    {
        ClientWindow cover(x.Display(), 0, 0, 1280, 800, 0x00FF00);
        EXPECT_LT(UseOverTenSeconds(program.Pid(), "covered").wakeUps, 100);
        EXPECT_TRUE(program.Running());
    }
    EXPECT_GT(x.WaitForChange(window, 20), 0) << "uncovered, the scene moves";

    // Input still reaches it while it sleeps: covered again, the close request ends it.
    ClientWindow cover(x.Display(), 0, 0, 1280, 800, 0x00FF00);
    std::this_thread::sleep_for(1500ms);
    Connection connection(x.Display());
    connection.Close(window);
    EXPECT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
}

TEST(WindowEndToEnd, TheStillShownAgainIsThePictureItShowedWithNothingLost) {
    XvfbServer x(1024, 768);
    ASSERT_TRUE(x.Running());
    ProgramRun program;
    program.Start({"--window", "640x360", "--no-snow", "--no-lights", "--no-smoke"}, x.Display());
    const auto windows = x.FindWindows("Glimmerdel", kPatience);
    ASSERT_EQ(windows.size(), 1u) << program.ErrorOutput();
    const unsigned long window = windows[0];
    ASSERT_TRUE(WaitForScene(x, window, 640, 360));
    const XvfbServer::Picture still = x.Capture(window);
    for (int round = 0; round < 2; ++round) {
        x.Xdotool({"windowunmap", std::to_string(window)});
        ASSERT_TRUE(WaitUntil([&] {
            const auto geometry = x.WindowGeometry(window);
            return geometry && !geometry->viewable;
        }));
        std::this_thread::sleep_for(1500ms);
        x.Xdotool({"windowmap", std::to_string(window)});
        ASSERT_TRUE(x.WaitViewable(window));
        EXPECT_TRUE(WaitUntil([&] { return Differences(x.Capture(window), still) == 0; }))
            << "round " << round << ": the whole picture again, repainted from what it showed";
    }
    EXPECT_TRUE(program.Running());
}
