// SPDX-License-Identifier: MIT
// The saver's window on Windows, in this process: where it goes, how it shows the form's
// picture at a scale, how it repaints a spoiled part, and what it makes of the system's
// messages. (End to end, Wine repaints a window from its own copy of the window's pixels, so a
// missing repaint cannot be seen there.)

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/mScreenSaver.h"
#include "platform/Form.h"
#include "platform/gdi.h"
#include "platform/win32/Win32Host.h"

namespace {

// A saver-like form: borderless, maximised over the selected monitor; it records what the
// window told it.
class CanvasForm : public Form {
  public:
    CanvasForm() : Form("canvas") { SetBorder(BorderStyle::Borderless); }
    std::vector<Integer> closes;
    int foregroundLosses = 0;
    std::vector<std::pair<float, float>> moves;

  protected:
    void Form_QueryUnload(Integer& Cancel, Integer UnloadMode) override {
        closes.push_back(UnloadMode);
        Cancel = 1;
    }
    void Form_ForegroundLost() override { ++foregroundLosses; }
    void Form_MouseMove(Integer, Integer, float X, float Y) override { moves.push_back({X, Y}); }
};

// A picture the size of the form's, every pixel different from its neighbours.
class Stage {
  public:
    Stage(int width, int height) : m_width(width), m_height(height) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                m_pixels.push_back(static_cast<std::uint32_t>(
                    (x * 7 % 256) << 16 | (y * 5 % 256) << 8 | ((x ^ y) & 255)));
        }
        m_bitmap = gdi::CreateBitmapFromPixels(width, height, m_pixels.data(), width);
        m_dc = CreateCompatibleDC(nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Stage() {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;
    HDC Dc() const { return m_dc; }
    std::uint32_t At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }

  private:
    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

// The display's power state as the system reports it to a window that asked for it:
// GUID_CONSOLE_DISPLAY_STATE, a DWORD of 0 (off), 1 (on) or 2 (dimmed).
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kOff = 0;
constexpr DWORD kOn = 1;
constexpr DWORD kDimmed = 2;

LRESULT SendDisplayState(HWND window, DWORD state, const GUID& setting = kConsoleDisplayState) {
    alignas(POWERBROADCAST_SETTING) unsigned char
        buffer[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)] = {};
    auto* message = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
    message->PowerSetting = setting;
    message->DataLength = sizeof(DWORD);
    std::memcpy(message->Data, &state, sizeof state);
    return SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                        reinterpret_cast<LPARAM>(message));
}

class SaverWindow : public ::testing::Test {
  protected:
    SaverWindow() { SetHost(&host); }
    ~SaverWindow() override {
        form.Unload();
        SetHost(nullptr);
    }
    // Shows the form over the primary monitor at that scale.
    void Open(int scale) {
        host.SetScale(scale);
        form.Load();
        form.SetWindowState(WindowState::Maximized);
        form.Show();
        host.DoEvents();
    }
    HWND Window() { return form.hWnd(); }
    // What the window shows, read through a DC of its own (not the form's, which maps).
    std::vector<std::uint32_t> Shown(int width, int height) {
        std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
        HDC dc = GetDCEx(Window(), nullptr, DCX_CACHE);
        const bool ok = gdi::ReadPixels(dc, 0, 0, width, height, pixels.data());
        ReleaseDC(Window(), dc);
        return ok ? pixels : std::vector<std::uint32_t>();
    }
    void Spoil() {
        HDC dc = GetDCEx(Window(), nullptr, DCX_CACHE);
        RECT all{0, 0, 8000, 8000};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        GdiFlush();
        ReleaseDC(Window(), dc);
    }
    // Pixels of the window that do not show the stage at the scale.
    long Mismatches(const Stage& stage, int scale) {
        const MonitorArea monitor = host.SelectedMonitor();
        const std::vector<std::uint32_t> shown = Shown(monitor.width, monitor.height);
        if (shown.empty())
            return -1;
        long mismatches = 0;
        for (int y = 0; y < monitor.height; ++y) {
            for (int x = 0; x < monitor.width; ++x) {
                mismatches += shown[static_cast<size_t>(y) * monitor.width + x] !=
                              stage.At(x / scale, y / scale);
            }
        }
        return mismatches;
    }

    Win32Host host{GetModuleHandleA(nullptr), ""};
    CanvasForm form;
};

TEST_F(SaverWindow, CoversTheMonitorAsAToolWindowOnTopAndShowsItsPictureInBlocks) {
    // The timers run at millisecond resolution only once a saver window shows.
    form.Load();
    form.Show();
    EXPECT_FALSE(Win32Host::TimerResolutionHeld()) << "a window that covers no monitor";
    form.Unload();
    Open(2);
    EXPECT_TRUE(Win32Host::TimerResolutionHeld());
    const MonitorArea monitor = host.SelectedMonitor();
    ASSERT_EQ(monitor.scale, 2);
    RECT rect{};
    GetWindowRect(Window(), &rect);
    EXPECT_EQ(rect.left, monitor.x);
    EXPECT_EQ(rect.top, monitor.y);
    EXPECT_EQ(rect.right - rect.left, monitor.width);
    EXPECT_EQ(rect.bottom - rect.top, monitor.height);
    const LONG_PTR extended = GetWindowLongPtrA(Window(), GWL_EXSTYLE);
    EXPECT_TRUE(extended & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_TRUE(extended & WS_EX_TOPMOST);
    // The form's picture is the monitor's size halved; a copy onto its DC shows doubled.
    ASSERT_EQ(form.ClientWidthPixels(), monitor.ComposedWidth());
    Stage stage(monitor.ComposedWidth(), monitor.ComposedHeight());
    BitBlt(form.hDC(), 0, 0, monitor.ComposedWidth(), monitor.ComposedHeight(), stage.Dc(), 0, 0,
           SRCCOPY);
    GdiFlush();
    EXPECT_EQ(Mismatches(stage, 2), 0) << "every pixel a crisp 2 x 2 block";
    // A pointer position on the window is one of the form's own pixels.
    SendMessageA(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(101, 61));
    ASSERT_FALSE(form.moves.empty());
    EXPECT_EQ(form.moves.back().first, 50.0f * host.TwipsPerPixelX());
    EXPECT_EQ(form.moves.back().second, 30.0f * host.TwipsPerPixelY());
}

TEST_F(SaverWindow, ASpoiledWindowIsRepaintedFromTheFormsPictureAtEveryScale) {
    for (const int scale : {1, 2}) {
        Open(scale);
        const MonitorArea monitor = host.SelectedMonitor();
        Stage stage(monitor.ComposedWidth(), monitor.ComposedHeight());
        form.SetRepaintSource(stage.Dc());
        Spoil();
        ASSERT_GT(Mismatches(stage, scale), 0) << scale;
        InvalidateRect(Window(), nullptr, FALSE);
        UpdateWindow(Window());
        GdiFlush();
        EXPECT_EQ(Mismatches(stage, scale), 0) << "scale " << scale;
        // A part of it, its edges between two blocks of the picture.
        Spoil();
        RECT part{101, 33, 403, 257};
        InvalidateRect(Window(), &part, FALSE);
        UpdateWindow(Window());
        GdiFlush();
        const std::vector<std::uint32_t> shown = Shown(monitor.width, monitor.height);
        ASSERT_FALSE(shown.empty());
        long wrong = 0;
        for (int y = part.top; y < part.bottom; ++y) {
            for (int x = part.left; x < part.right; ++x)
                wrong += shown[static_cast<size_t>(y) * monitor.width + x] !=
                         stage.At(x / scale, y / scale);
        }
        EXPECT_EQ(wrong, 0) << "scale " << scale;
        form.SetRepaintSource(nullptr);
        form.Unload();
    }
}

TEST_F(SaverWindow, CloseMessagesTheSessionsEndAndAnotherForegroundReachTheForm) {
    Open(1);
    SendMessageA(Window(), WM_CLOSE, 0, 0);
    SendMessageA(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageA(Window(), WM_ENDSESSION, FALSE, 0);  // the session goes on
    SendMessageA(Window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(form.closes,
              (std::vector<Integer>{vbFormControlMenu, vbFormControlMenu, vbAppWindows}));
    EXPECT_TRUE(form.Loaded()) << "the form cancelled every close";
    SendMessageA(Window(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(form.foregroundLosses, 0);
    SendMessageA(Window(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(form.foregroundLosses, 1);
    // The system's idle timer asking for the screen saver starts nothing and closes nothing.
    EXPECT_EQ(SendMessageA(Window(), WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(form.closes.size(), 3u);
    // A monitor change the monitors do not bear out builds nothing again.
    SendMessageA(Window(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    EXPECT_NO_THROW(host.DoEvents());
}

// Where the display comes on again (a timer of the thread, run by the event processing).
HWND g_poweredWindow = nullptr;
std::uint32_t g_onAt = 0;
void CALLBACK SwitchDisplayOn(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_onAt = Host().GetTickCount();
    SendDisplayState(g_poweredWindow, kOn);
}

TEST_F(SaverWindow, TheDisplaySwitchedOffStopsTheFramesAndSwitchedOnResumesThem) {
    Open(1);
    EXPECT_TRUE(host.SceneSeen());
    EXPECT_TRUE(Win32Host::TimerResolutionHeld());
    EXPECT_EQ(SendDisplayState(Window(), kOff), TRUE);
    EXPECT_FALSE(host.SceneSeen()) << "the display is off";
    EXPECT_FALSE(Win32Host::TimerResolutionHeld()) << "no fine timers for frames that do not run";
    EXPECT_EQ(SendDisplayState(Window(), kOn, GUID{}), 0) << "another setting is not ours";
    EXPECT_FALSE(host.SceneSeen());
    SendDisplayState(Window(), kDimmed);
    EXPECT_TRUE(host.SceneSeen()) << "a dimmed display still shows the scene";
    EXPECT_TRUE(Win32Host::TimerResolutionHeld()) << "held again for the frames";

    // Frames paced as the frame loop paces them: none runs while the display is off, and the
    // next comes once it is on again.
    SendDisplayState(Window(), kOff);
    g_poweredWindow = Window();
    g_onAt = 0;
    ASSERT_NE(SetTimer(nullptr, 0, 300, SwitchDisplayOn), 0u);
    std::vector<std::uint32_t> frames;
    for (int frame = 0; frame < 5; ++frame) {
        const std::uint32_t start = host.GetTickCount();
        frames.push_back(start);
        WaitUntil(static_cast<Long>(start + 20));
    }
    ASSERT_NE(g_onAt, 0u) << "the frames went on while the display was off";
    EXPECT_TRUE(host.SceneSeen());
    EXPECT_GE(static_cast<std::int32_t>(frames[1] - g_onAt), 0)
        << "the second frame came before the display was on";
    for (size_t i = 2; i < frames.size(); ++i)
        EXPECT_GE(frames[i] - frames[i - 1], 20u) << "paced as before";
}

}  // namespace
