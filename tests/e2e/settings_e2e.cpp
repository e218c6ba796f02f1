// SPDX-License-Identifier: MIT
// The settings dialog of the real program under Xvfb: its window, the mouse and the keyboard on
// its controls, and what each way of closing it saves.

#include <gtest/gtest.h>

// After the test framework: the X headers define None.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "art/embedded_pictures.h"
#include "tests/e2e/DialogLayout.h"
#include "tests/e2e/XSession.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

using namespace std::chrono_literals;

namespace {

std::string SettingsFile(const Controls& c) {
    return "[controls]\nlights=" + c[0] + "\nchimneysmoke=" + c[1] + "\nsnowing=" + c[2] +
           "\nlightspeed=" + c[3] + "\nsmokespeed=" + c[4] + "\nsnowspeed=" + c[5] +
           "\n[applic]\nappdisplay=0\nappcurrent=0\nappalert=3\n";
}

bool SameBlock(const XvfbServer::Picture& screen, int left, int top,
               const EmbeddedPicture& picture) {
    if (screen.width < left + picture.width || screen.height < top + picture.height)
        return false;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (screen.At(left + x, top + y) !=
                (picture.pixels[y * picture.width + x] & 0xFFFFFF)) {
                return false;
            }
        }
    }
    return true;
}

void WritePng(const XvfbServer::Picture& picture, const std::string& path) {
    std::vector<unsigned char> rgb;
    rgb.reserve(picture.pixels.size() * 3);
    for (std::uint32_t pixel : picture.pixels) {
        rgb.push_back(static_cast<unsigned char>(pixel >> 16));
        rgb.push_back(static_cast<unsigned char>(pixel >> 8));
        rgb.push_back(static_cast<unsigned char>(pixel));
    }
    stbi_write_png(path.c_str(), picture.width, picture.height, 3, rgb.data(), picture.width * 3);
}

// The X side of a top-level window, read with a connection of the test's own.
class XClient {
  public:
    explicit XClient(const std::string& display) : m_display(XOpenDisplay(display.c_str())) {}
    ~XClient() {
        if (m_display != nullptr)
            XCloseDisplay(m_display);
    }
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // What a window manager does for the title bar's close button.
    bool SendDeleteWindow(unsigned long window) {
        const Atom protocols = XInternAtom(m_display, "WM_PROTOCOLS", False);
        const Atom deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
        Atom* offered = nullptr;
        int count = 0;
        bool accepts = false;
        if (XGetWMProtocols(m_display, window, &offered, &count)) {
            for (int i = 0; i < count; ++i)
                accepts = accepts || offered[i] == deleteWindow;
            XFree(offered);
        }
        if (!accepts)
            return false;
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, window, False, NoEventMask, &event);
        XSync(m_display, False);
        return true;
    }

    // The smallest and largest size the window allows.
    bool SizeLimits(unsigned long window, int& minW, int& minH, int& maxW, int& maxH) {
        XSizeHints hints{};
        long supplied = 0;
        if (!XGetWMNormalHints(m_display, window, &hints, &supplied))
            return false;
        if (!(hints.flags & PMinSize) || !(hints.flags & PMaxSize))
            return false;
        minW = hints.min_width;
        minH = hints.min_height;
        maxW = hints.max_width;
        maxH = hints.max_height;
        return true;
    }

    // The width and height of the first picture of the window's icon property.
    bool IconSize(unsigned long window, long& width, long& height) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom icon = XInternAtom(m_display, "_NET_WM_ICON", False);
        if (XGetWindowProperty(m_display, window, icon, 0, 2, False, XA_CARDINAL, &type, &format,
                               &items, &after, &data) != Success ||
            data == nullptr) {
            return false;
        }
        const bool ok = format == 32 && items == 2;
        if (ok) {
            width = reinterpret_cast<long*>(data)[0];
            height = reinterpret_cast<long*>(data)[1];
        }
        XFree(data);
        return ok;
    }

  private:
    ::Display* m_display;
};

class SettingsEndToEnd : public ::testing::Test {
  protected:
    // Starts the dialog on these settings and waits until it shows its banner.
    unsigned long OpenDialog(ProgramRun& program, const Controls& stored,
                             const char* switchText = "/c") {
        program.Folder().Write("vantroglimmerdel.ini", SettingsFile(stored));
        program.Start({switchText}, x.Display());
        const auto windows = x.FindWindows("Glimmerdel", kPatience);
        if (windows.size() != 1) {
            ADD_FAILURE() << "no dialog window: " << program.ErrorOutput();
            return 0;
        }
        const auto start = std::chrono::steady_clock::now();
        while (MillisecondsSince(start) < std::chrono::milliseconds(kPatience).count()) {
            if (SameBlock(x.Capture(windows[0]), 0, 0, kBannerPicture)) {
                // Let the rest of the window finish drawing.
                std::this_thread::sleep_for(200ms);
                return windows[0];
            }
            std::this_thread::sleep_for(20ms);
        }
        ADD_FAILURE() << "the dialog never showed its banner";
        return windows[0];
    }

    void Click(unsigned long window, Point at, int times = 1) {
        x.ClickInWindow(window, at.x, at.y, times, 120ms);
    }

    // The same changes every closing test makes (from lights off, smoke off, snowing on, all
    // speeds stored as 5: the bars at 5, 5 and 5).
    static Controls Before() { return kChangesFrom; }
    static Controls After() { return kChangesTo; }
    void MakeTheChanges(unsigned long window) {
        ::MakeTheChanges([&](Point at, int times) { Click(window, at, times); });
    }

    Controls Saved(const ProgramRun& program) {
        return ControlsIn(program.Folder().Read("vantroglimmerdel.ini"));
    }

    XvfbServer x{800, 600};
};

TEST_F(SettingsEndToEnd, TheDialogIsAFixedWindowOfTheDesignedSize) {
    ASSERT_TRUE(x.Running());
    ProgramRun program;
    const unsigned long window = OpenDialog(program, {"1", "1", "1", "3", "2", "4"});
    ASSERT_NE(window, 0u);

    const auto geometry = x.WindowGeometry(window);
    ASSERT_TRUE(geometry.has_value());
    EXPECT_EQ(geometry->width, 235);
    EXPECT_EQ(geometry->height, 324);
    EXPECT_TRUE(geometry->viewable);
    XClient client(x.Display());
    int minW = 0, minH = 0, maxW = 0, maxH = 0;
    ASSERT_TRUE(client.SizeLimits(window, minW, minH, maxW, maxH)) << "no size limits";
    EXPECT_EQ(minW, 235);
    EXPECT_EQ(maxW, 235);
    EXPECT_EQ(minH, 324);
    EXPECT_EQ(maxH, 324);
    long iconW = 0, iconH = 0;
    EXPECT_TRUE(client.IconSize(window, iconW, iconH));
    EXPECT_EQ(iconW, 32);
    EXPECT_EQ(iconH, 32);

    // The banner at the top, the two pictures centred in their buttons.
    const XvfbServer::Picture shot = x.Capture(window);
    WritePng(shot, GLIMMERDEL_PROGRAM_DIR "/dialog.png");
    EXPECT_TRUE(SameBlock(shot, 0, 0, kBannerPicture));
    EXPECT_TRUE(SameBlock(shot, Px(70) + (Px(1815) - 103) / 2, Px(2160) + (Px(405) - 19) / 2,
                          kFriendButtonPicture));
    EXPECT_TRUE(SameBlock(shot, Px(1960) + (Px(1455) - 86) / 2, Px(2160) + (Px(405) - 17) / 2,
                          kWebsiteButtonPicture));

    // Nothing is written while the dialog is open.
    EXPECT_EQ(Saved(program), (Controls{"1", "1", "1", "3", "2", "4"}));
    Click(window, kClose);
    EXPECT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
    EXPECT_EQ(Saved(program), (Controls{"1", "1", "1", "3", "2", "4"}));
}

TEST_F(SettingsEndToEnd, ClicksOnTheControlsAreSavedByTheCloseButton) {
    ASSERT_TRUE(x.Running());
    ProgramRun program;
    const unsigned long window = OpenDialog(program, Before(), "/c:4711");
    ASSERT_NE(window, 0u);
    MakeTheChanges(window);
    EXPECT_EQ(Saved(program), Before()) << "the controls have no change handlers";
    Click(window, kClose);
    EXPECT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
    EXPECT_EQ(Saved(program), After());
}

TEST_F(SettingsEndToEnd, EscapeAndTheTitleBarCloseSaveExactlyAsTheCloseButton) {
    ASSERT_TRUE(x.Running());
    std::string byButton;
    {
        ProgramRun program;
        const unsigned long window = OpenDialog(program, Before());
        ASSERT_NE(window, 0u);
        MakeTheChanges(window);
        Click(window, kClose);
        ASSERT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
        byButton = program.Folder().Read("vantroglimmerdel.ini");
    }
    {
        ProgramRun program;
        const unsigned long window = OpenDialog(program, Before());
        ASSERT_NE(window, 0u);
        MakeTheChanges(window);
        // The pointer rests on the dialog, so the keyboard goes to it.
        x.Xdotool({"key", "Escape"});
        EXPECT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
        EXPECT_EQ(program.Folder().Read("vantroglimmerdel.ini"), byButton);
    }
    {
        ProgramRun program;
        const unsigned long window = OpenDialog(program, Before());
        ASSERT_NE(window, 0u);
        MakeTheChanges(window);
        XClient client(x.Display());
        ASSERT_TRUE(client.SendDeleteWindow(window)) << "the window does not offer to be closed";
        EXPECT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
        EXPECT_EQ(program.Folder().Read("vantroglimmerdel.ini"), byButton);
    }
    EXPECT_EQ(ControlsIn(byButton), After());
}

TEST_F(SettingsEndToEnd, TheKeyboardStartsOnCloseAndFollowsTheTabOrder) {
    ASSERT_TRUE(x.Running());
    {
        // Space presses the control that has the focus first: Close.
        ProgramRun program;
        const unsigned long window = OpenDialog(program, {"1", "0", "1", "2", "10", "5"});
        ASSERT_NE(window, 0u);
        x.Xdotool({"windowfocus", "--sync", std::to_string(window), "key", "space"});
        EXPECT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
        EXPECT_EQ(Saved(program), (Controls{"1", "0", "1", "2", "10", "5"}));
    }
    {
        // Close, the two picture buttons, then into the frame: the lights box, then its scroll
        // bar, whose arrow keys move it by one.
        ProgramRun program;
        const unsigned long window = OpenDialog(program, {"0", "0", "0", "5", "5", "5"});
        ASSERT_NE(window, 0u);
        x.Xdotool({"windowfocus", "--sync", std::to_string(window), "key", "--delay", "60", "Tab",
                   "Tab", "Tab", "space", "Tab", "Right", "Right", "Escape"});
        EXPECT_EQ(program.WaitExit(kPatience), 0) << program.ErrorOutput();
        EXPECT_EQ(Saved(program), (Controls{"1", "0", "0", "3", "5", "5"}));
    }
}

}  // namespace
