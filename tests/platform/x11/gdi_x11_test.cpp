// SPDX-License-Identifier: MIT
// The X11 window backing against a real X server (Xvfb): pixels drawn through a window DC reach
// the window, with MIT-SHM and with plain image pushes; windows that are not ours are read
// before combining and fail softly when they are bad. Skipped when Xvfb cannot be started.

// Google Test comes before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ScaledWindowBacking.h"
#include "platform/gdi.h"
#include "platform/x11/X11WindowBacking.h"
#include "tests/support/MemorySurface.h"
#include "tests/support/PixelPattern.h"

namespace {

// An Xvfb server of our own on a free display number, stopped at the end of the suite.
class XServer {
  public:
    XServer() {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (m_pid < 0) {
            close(fds[0]);
            return;
        }
        std::string number;
        pollfd wait{fds[0], POLLIN, 0};
        char c;
        while (poll(&wait, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty())
            m_display = XOpenDisplay((":" + number).c_str());
    }
    ~XServer() {
        if (m_display != nullptr)
            XCloseDisplay(m_display);
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    Display* display() const { return m_display; }

  private:
    pid_t m_pid = -1;
    Display* m_display = nullptr;
};

class GdiX11 : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { server = new XServer; }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        d = server->display();
        if (d == nullptr)
            GTEST_SKIP() << "Xvfb could not be started";
        window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 8, 6, 0, 0, 0);
        XMapWindow(d, window);
        XSync(d, False);
    }
    void TearDown() override {
        X11WindowBacking::SetUseShm(true);
        if (d != nullptr) {
            XDestroyWindow(d, window);
            XSync(d, False);
        }
    }

    // The window's pixels as the server holds them (0x00RRGGBB).
    std::vector<std::uint32_t> Fetch(int x, int y, int w, int h) {
        XImage* image = XGetImage(d, window, x, y, w, h, AllPlanes, ZPixmap);
        std::vector<std::uint32_t> pixels;
        if (image == nullptr)
            return pixels;
        for (int row = 0; row < h; ++row) {
            for (int i = 0; i < w; ++i)
                pixels.push_back(XGetPixel(image, i, row) & 0xFFFFFF);
        }
        XDestroyImage(image);
        return pixels;
    }

    // Draws a pattern through a window DC over the backing and checks what the server shows.
    void DrawAndCompare(const std::shared_ptr<X11WindowBacking>& backing) {
        const HWND hWnd = gdi::RegisterWindow(backing);
        const HDC dc = GetDC(hWnd);
        MemorySurface src(p, {"rgb", "ycm"});
        ASSERT_TRUE(BitBlt(dc, 0, 0, 8, 6, 0, 0, 0, WHITENESS));
        ASSERT_TRUE(BitBlt(dc, 6, 4, 3, 2, src.hDC(), 0, 0, SRCCOPY));  // clipped at the corner
        ASSERT_TRUE(BitBlt(dc, 1, 1, 3, 2, src.hDC(), 0, 0, SRCAND));
        backing->Flush();
        XSync(d, False);
        EXPECT_EQ(Fetch(0, 0, 8, 6), p.Pixels({"########", "#rgb####", "#ycm####", "########",
                                               "######rg", "######yc"}));
        ReleaseDC(hWnd, dc);
        gdi::UnregisterWindow(hWnd);
    }

    static XServer* server;
    Display* d = nullptr;
    Window window = 0;
    PixelPattern p;
};

XServer* GdiX11::server = nullptr;

TEST_F(GdiX11, PixelsReachTheWindowThroughSharedMemory) {
    auto backing = X11WindowBacking::Create(d, window, 8, 6);
    ASSERT_NE(backing, nullptr);
    EXPECT_TRUE(backing->UsesShm());
    DrawAndCompare(backing);
}

TEST_F(GdiX11, PushesLargerThanTheUploadAreaOrManyOfThemArriveWhole) {
    // Room for two rows of the window: a whole-window push goes in three parts, and every
    // seventeenth one-pixel push finds the area used up and waits for the server to start it
    // again.
    X11WindowBacking::SetUploadBytes(2 * 8 * 4);
    auto backing = X11WindowBacking::Create(d, window, 8, 6);
    X11WindowBacking::SetUploadBytes(X11WindowBacking::kDefaultUploadBytes);
    ASSERT_NE(backing, nullptr);
    ASSERT_TRUE(backing->UsesShm());
    DrawAndCompare(backing);

    const HWND hWnd = gdi::RegisterWindow(backing);
    const HDC dc = GetDC(hWnd);
    MemorySurface src(p, {"rgbycm", "mcybgr"});
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x)
            ASSERT_TRUE(BitBlt(dc, x, y, 1, 1, src.hDC(), (x + y) % 6, y % 2, SRCCOPY));
    }
    backing->Flush();
    XSync(d, False);
    EXPECT_EQ(Fetch(0, 0, 8, 6),
              p.Pixels({"rgbycmrg", "cybgrmcy", "bycmrgby", "bgrmcybg", "cmrgbycm", "rmcybgrm"}));
    // An area asked for smaller than a row of the window still takes one row: one push a row.
    X11WindowBacking::SetUploadBytes(1);
    auto narrow = X11WindowBacking::Create(d, window, 8, 6);
    X11WindowBacking::SetUploadBytes(X11WindowBacking::kDefaultUploadBytes);
    ASSERT_NE(narrow, nullptr);
    DrawAndCompare(narrow);
    ReleaseDC(hWnd, dc);
    gdi::UnregisterWindow(hWnd);
}

TEST_F(GdiX11, PixelsReachTheWindowThroughPlainImages) {
    X11WindowBacking::SetUseShm(false);
    auto backing = X11WindowBacking::Create(d, window, 8, 6);
    ASSERT_NE(backing, nullptr);
    EXPECT_FALSE(backing->UsesShm());
    DrawAndCompare(backing);
}

TEST_F(GdiX11, RepaintPushesTheRetainedPixelsAgain) {
    auto backing = X11WindowBacking::Create(d, window, 8, 6);
    ASSERT_NE(backing, nullptr);
    const HWND hWnd = gdi::RegisterWindow(backing);
    const HDC dc = GetDC(hWnd);
    ASSERT_TRUE(BitBlt(dc, 0, 0, 8, 6, 0, 0, 0, WHITENESS));
    backing->Flush();
    XClearWindow(d, window);  // the server forgets: background black
    XSync(d, False);
    EXPECT_EQ(Fetch(2, 2, 1, 1), std::vector<std::uint32_t>{0});
    backing->Repaint(-5, -5, 100, 100);
    XSync(d, False);
    EXPECT_EQ(Fetch(0, 0, 8, 6), std::vector<std::uint32_t>(48, 0xFFFFFF));
    ReleaseDC(hWnd, dc);
    gdi::UnregisterWindow(hWnd);
}

// --- Copies straight from a memory surface (the stage) ---

// A stage and a window that shows it: the whole window copied from the stage, through a window
// DC of the backing.
struct StageWindow {
    StageWindow(std::shared_ptr<WindowBacking> backing, const PixelPattern& p,
                const PixelPattern::Rows& rows)
        : stage(p, rows), hWnd(gdi::RegisterWindow(std::move(backing))), dc(GetDC(hWnd)) {}
    ~StageWindow() {
        ReleaseDC(hWnd, dc);
        gdi::UnregisterWindow(hWnd);
    }
    bool CopyAll() { return BitBlt(dc, 0, 0, 100, 100, stage.hDC(), 0, 0, SRCCOPY) != 0; }
    MemorySurface stage;
    HWND hWnd;
    HDC dc;
};

const PixelPattern::Rows kStage = {"rgbycmrg", "cybgrmcy", "bycmrgby",
                                   "bgrmcybg", "cmrgbycm", "rmcybgrm"};

TEST_F(GdiX11, CopiesFromTheStageAreReadFromItAtTheFlushOnBothPaths) {
    for (const bool shm : {true, false}) {
        SCOPED_TRACE(shm ? "shared memory" : "plain images");
        X11WindowBacking::SetUseShm(shm);
        auto backing = X11WindowBacking::Create(d, window, 8, 6);
        ASSERT_NE(backing, nullptr);
        ASSERT_EQ(backing->UsesShm(), shm);
        XClearWindow(d, window);
        StageWindow w(backing, p, kStage);
        ASSERT_TRUE(w.CopyAll());
        XSync(d, False);
        // Recorded, not yet sent, and the window's own pixels were never written.
        EXPECT_EQ(Fetch(0, 0, 8, 6), std::vector<std::uint32_t>(48, 0));
        EXPECT_EQ(backing->Pixels()[9], 0u);
        backing->Flush();
        XSync(d, False);
        EXPECT_EQ(Fetch(0, 0, 8, 6), p.Pixels(kStage));

        // A sprite's change on the stage, copied to the window in place: it too is sent at the
        // flush, and only it.
        w.stage.Paint(p, 2, 1, {"##", "##"});
        ASSERT_TRUE(BitBlt(w.dc, 2, 1, 2, 2, w.stage.hDC(), 2, 1, SRCCOPY));
        backing->Flush();
        XSync(d, False);
        EXPECT_EQ(Fetch(0, 0, 8, 6), p.Pixels({"rgbycmrg", "cy##rmcy", "by##rgby", "bgrmcybg",
                                               "cmrgbycm", "rmcybgrm"}));
        EXPECT_EQ(backing->Pixels()[9], 0u);
    }
}

TEST_F(GdiX11, AWriteToTheStageFirstSendsWhatWasCopiedFromIt) {
    for (const bool shm : {true, false}) {
        SCOPED_TRACE(shm ? "shared memory" : "plain images");
        X11WindowBacking::SetUseShm(shm);
        auto backing = X11WindowBacking::Create(d, window, 8, 6);
        ASSERT_NE(backing, nullptr);
        XClearWindow(d, window);
        StageWindow w(backing, p, kStage);
        ASSERT_TRUE(w.CopyAll());
        // Every kind of write to the stage: a block transfer and a single pixel.
        ASSERT_TRUE(BitBlt(w.stage.hDC(), 0, 0, 8, 3, 0, 0, 0, WHITENESS));
        XSync(d, False);
        EXPECT_EQ(Fetch(0, 0, 8, 6), p.Pixels(kStage));  // the window got the old pixels
        ASSERT_TRUE(BitBlt(w.dc, 0, 0, 8, 1, w.stage.hDC(), 0, 0, SRCCOPY));
        ASSERT_TRUE(SetPixel(w.stage.hDC(), 0, 0, RGB(0, 0, 0)));
        backing->Flush();
        XSync(d, False);
        EXPECT_EQ(Fetch(0, 0, 8, 6), p.Pixels({"########", "cybgrmcy", "bycmrgby", "bgrmcybg",
                                               "cmrgbycm", "rmcybgrm"}));
    }
}

TEST_F(GdiX11, AnExposeRepaintsWhatWasLastPresented) {
    auto backing = X11WindowBacking::Create(d, window, 8, 6);
    ASSERT_NE(backing, nullptr);
    StageWindow w(backing, p, kStage);
    ASSERT_TRUE(w.CopyAll());
    backing->Flush();
    // From the stage while the window shows it.
    XClearWindow(d, window);
    backing->Repaint(-5, -5, 100, 100);
    XSync(d, False);
    EXPECT_EQ(Fetch(0, 0, 8, 6), p.Pixels(kStage));

    // Any other write to the window: its own pixels take what it shows first, and repaint.
    ASSERT_TRUE(BitBlt(w.dc, 0, 0, 2, 6, 0, 0, 0, WHITENESS));
    EXPECT_EQ(GetPixel(w.dc, 7, 5), RGB(255, 0, 255));
    backing->Flush();
    XClearWindow(d, window);
    backing->Repaint(0, 0, 8, 6);
    XSync(d, False);
    const PixelPattern::Rows mixed = {"##bycmrg", "##bgrmcy", "##cmrgby",
                                      "##rmcybg", "##rgbycm", "##cybgrm"};
    EXPECT_EQ(Fetch(0, 0, 8, 6), p.Pixels(mixed));
    // A part of the window copied from the stage now goes through the window's own pixels.
    w.stage.Paint(p, 7, 0, {"#"});
    ASSERT_TRUE(BitBlt(w.dc, 7, 0, 1, 1, w.stage.hDC(), 7, 0, SRCCOPY));
    EXPECT_EQ(backing->Pixels()[7], 0xFFFFFFu);

    // Shown again from the stage, which then goes away: the window keeps what it showed.
    ASSERT_TRUE(w.CopyAll());
    ASSERT_TRUE(BitBlt(w.stage.hDC(), 0, 0, 8, 6, 0, 0, 0, WHITENESS));
    {
        StageWindow second(
            backing, p, {"mmmmmmmm", "mmmmmmmm", "mmmmmmmm", "mmmmmmmm", "mmmmmmmm", "mmmmmmmm"});
        ASSERT_TRUE(second.CopyAll());
        // Deleted while it is shown.
        ReleaseDC(second.hWnd, second.dc);
        second.dc = 0;
    }
    backing->Flush();
    XClearWindow(d, window);
    backing->Repaint(0, 0, 8, 6);
    XSync(d, False);
    EXPECT_EQ(Fetch(0, 0, 8, 6), std::vector<std::uint32_t>(48, 0xFF00FF));
}

TEST_F(GdiX11, AtScaleTwoTheStageIsDoubledOnTheWay) {
    for (const bool shm : {true, false}) {
        SCOPED_TRACE(shm ? "shared memory" : "plain images");
        X11WindowBacking::SetUseShm(shm);
        // Room for three rows of the window: blocks are split between pushes.
        X11WindowBacking::SetUploadBytes(3 * 8 * 4);
        auto device = X11WindowBacking::Create(d, window, 8, 6);
        X11WindowBacking::SetUploadBytes(X11WindowBacking::kDefaultUploadBytes);
        ASSERT_NE(device, nullptr);
        auto scaled = std::make_shared<ScaledWindowBacking>(device, 2);
        StageWindow w(scaled, p, {"rgby", "cmrg", "bycm"});
        ASSERT_TRUE(w.CopyAll());
        w.stage.Paint(p, 1, 1, {"#"});  // after the copy: the window shows the old pixel
        scaled->Flush();
        XSync(d, False);
        EXPECT_EQ(Fetch(0, 0, 8, 6), p.Pixels({"rrggbbyy", "rrggbbyy", "ccmmrrgg", "ccmmrrgg",
                                               "bbyyccmm", "bbyyccmm"}));
        ASSERT_TRUE(BitBlt(w.dc, 1, 1, 2, 1, w.stage.hDC(), 1, 1, SRCCOPY));
        scaled->Flush();
        XClearWindow(d, window);
        device->Repaint(3, 1, 3, 3);  // within blocks on both axes
        XSync(d, False);
        EXPECT_EQ(Fetch(0, 0, 8, 6), p.Pixels({"........", "...gbb..", "...#rr..", "...#rr..",
                                               "........", "........"}));
        // Reading the window takes what it shows into the pixels of both sizes.
        EXPECT_EQ(GetPixel(w.dc, 1, 1), RGB(255, 255, 255));
        EXPECT_EQ(device->Pixels()[2 * 8 + 3], 0xFFFFFFu);
        EXPECT_EQ(device->Pixels()[5 * 8 + 7], 0xFF00FFu);
    }
}

TEST_F(GdiX11, ForeignWindowIsReadBeforeCombining) {
    // The owner paints the window blue-green; we AND a red-yellow pattern into part of it.
    XSetWindowBackground(d, window, 0x00FFFF);
    XClearWindow(d, window);
    XSync(d, False);
    auto backing = X11WindowBacking::OpenForeign(d, window);
    ASSERT_NE(backing, nullptr);
    EXPECT_EQ(backing->Width(), 8);
    EXPECT_EQ(backing->Height(), 6);
    EXPECT_FALSE(backing->UsesShm());
    gdi::SetForeignWindowResolver([&](HWND) { return backing; });
    const HDC dc = GetDC(static_cast<HWND>(window));
    ASSERT_NE(dc, 0);
    MemorySurface src(p, {"#y"});
    ASSERT_TRUE(BitBlt(dc, 2, 2, 2, 1, src.hDC(), 0, 0, SRCAND));
    XSync(d, False);
    EXPECT_EQ(Fetch(1, 2, 4, 1), p.Pixels({"ccgc"}));
    ReleaseDC(static_cast<HWND>(window), dc);
    gdi::SetForeignWindowResolver(nullptr);
}

TEST_F(GdiX11, BadOrVanishedWindowsFailSoftly) {
    EXPECT_EQ(X11WindowBacking::OpenForeign(d, 0x1FFFFFF), nullptr);
    EXPECT_EQ(X11WindowBacking::OpenForeign(d, 0), nullptr);
    EXPECT_EQ(X11WindowBacking::OpenForeign(nullptr, window), nullptr);
    EXPECT_EQ(X11WindowBacking::Create(d, 0x1FFFFFF, 8, 6), nullptr);
    EXPECT_EQ(X11WindowBacking::Create(d, window, 0, 6), nullptr);
    // A window of another depth does not fit.
    const Window input = XCreateWindow(d, DefaultRootWindow(d), 0, 0, 4, 4, 0, 0, InputOnly,
                                       CopyFromParent, 0, nullptr);
    EXPECT_EQ(X11WindowBacking::OpenForeign(d, input), nullptr);
    XDestroyWindow(d, input);

    // The owner destroys its window while we still draw into it.
    const Window doomed = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 4, 4, 0, 0, 0);
    XMapWindow(d, doomed);
    XSync(d, False);
    auto backing = X11WindowBacking::OpenForeign(d, doomed);
    ASSERT_NE(backing, nullptr);
    XDestroyWindow(d, doomed);
    XSync(d, False);
    backing->PrepareWrite(0, 0, 4, 4, true);
    backing->Present(0, 0, 4, 4);
    backing->Flush();
    XSync(d, False);
    SUCCEED();
}

}  // namespace
