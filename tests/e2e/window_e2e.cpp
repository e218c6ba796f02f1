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

// Light snow at the bottom, a dark sky at the top, over the whole width.
bool LooksLikeTheScene(const XvfbServer::Picture& picture) {
    if (picture.width < 8 || picture.height < 8)
        return false;
    auto brightness = [](std::uint32_t p) {
        return ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
    };
    long top = 0, bottom = 0;
    for (int x = 0; x < picture.width; ++x) {
        top += brightness(picture.At(x, 2));
        bottom += brightness(picture.At(x, picture.height - 3));
    }
    return top / picture.width < 200 && bottom / picture.width > 500;
}

bool WaitForScene(const XvfbServer& x, unsigned long window, int width, int height,
                  std::chrono::milliseconds timeout) {
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < timeout) {
        const auto picture = x.Capture(window);
        if (picture.width == width && picture.height == height && LooksLikeTheScene(picture))
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
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
    const auto windows = x.FindWindows("Glimmerdel", 5s);
    ASSERT_EQ(windows.size(), 1u) << program.ErrorOutput();
    const unsigned long window = windows[0];
    Connection connection(x.Display());
    ASSERT_NE(*connection, nullptr);
    EXPECT_FALSE(connection.OverrideRedirect(window)) << "a window the window manager frames";
    EXPECT_TRUE(connection.TakesDeleteWindow(window));
    ASSERT_TRUE(WaitForScene(x, window, 1024, 600, 5s)) << "1024 x 600 unless told";

    const auto first = x.Capture(window);
    std::this_thread::sleep_for(200ms);
    EXPECT_GT(Differences(first, x.Capture(window)), 20) << "it animates";

    connection.Resize(window, 700, 420);
    EXPECT_TRUE(WaitForScene(x, window, 700, 420, 5s)) << "the scene is built again at 700 x 420";

    // Mouse movement all over the window does not end it, nor does a button-less hover.
    for (int i = 0; i < 12; ++i)
        x.Xdotool({"mousemove", std::to_string(20 + i * 50), std::to_string(30 + i * 30)});
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(program.Running()) << "mouse movement does not end the window mode";

    connection.Close(window);
    EXPECT_EQ(program.WaitExit(5s), 0) << program.ErrorOutput();
}

TEST(WindowEndToEnd, EscapeAndControlQEndItAndAGivenSizeIsTaken) {
    XvfbServer x(1024, 768);
    ASSERT_TRUE(x.Running());
    for (const char* key : {"Escape", "ctrl+q"}) {
        ProgramRun program;
        program.Start({"--window", "640x360", "--no-snow"}, x.Display());
        const auto windows = x.FindWindows("Glimmerdel", 5s);
        ASSERT_EQ(windows.size(), 1u) << program.ErrorOutput();
        ASSERT_TRUE(WaitForScene(x, windows[0], 640, 360, 5s)) << key;
        // Without a window manager the keyboard follows the pointer.
        x.Xdotool({"mousemove", "100", "100"});
        x.Xdotool({"key", key});
        EXPECT_EQ(program.WaitExit(5s), 0) << key;
    }
    ProgramRun bad;
    bad.Start({"--window=10x10"}, x.Display());
    EXPECT_EQ(bad.WaitExit(5s), 2) << "a window too small to show anything";
}
