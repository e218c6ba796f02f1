// SPDX-License-Identifier: MIT
// The preview painted into a window of the system, in this process: the display settings'
// preview window belongs to another process, whose drawing Wine does not show, so the painting
// is proven here and the whole program's run end to end.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/frmPreview.h"
#include "app/mScreenSaver.h"
#include "art/embedded_pictures.h"
#include "platform/gdi.h"
#include "tests/support/HostFixture.h"

namespace {

constexpr COLORREF kBackground = RGB(0x20, 0x40, 0x60);

// A plain window of the system's, filled with one colour, as the display settings' host.
class HostWindow {
  public:
    HostWindow(int width, int height) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "GlimmerdelPreviewHost";
        RegisterClassA(&windowClass);
        m_window =
            CreateWindowExA(WS_EX_TOPMOST, "GlimmerdelPreviewHost", "host", WS_POPUP, 0, 0, width,
                            height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(m_window, SW_SHOW);
        UpdateWindow(m_window);
        Fill();
    }
    ~HostWindow() { DestroyWindow(m_window); }
    HWND Handle() const { return m_window; }
    void Fill() {
        HDC dc = GetDC(m_window);
        HBRUSH brush = CreateSolidBrush(kBackground);
        RECT all{0, 0, 4000, 4000};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        GdiFlush();
        ReleaseDC(m_window, dc);
    }
    std::vector<std::uint32_t> Read(int width, int height) {
        std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
        HDC dc = GetDC(m_window);
        const bool ok = gdi::ReadPixels(dc, 0, 0, width, height, pixels.data());
        ReleaseDC(m_window, dc);
        return ok ? pixels : std::vector<std::uint32_t>();
    }

  private:
    HWND m_window = nullptr;
};

class Win32Preview : public HostFixture {
  protected:
    int Run(const std::string& command) {
        frmPreview preview;
        g_frmPreview = &preview;
        host.SetCommand(command);
        int status = -1;
        try {
            RunPreview();
        } catch (const ProgramEnded& ended) {
            status = ended.status;
        }
        g_frmPreview = nullptr;
        return status;
    }
};

TEST_F(Win32Preview, PaintsTheStillIntoTheHostsCornerAndNothingElse) {
    HostWindow window(200, 160);
    const std::string number = std::to_string(HandleNumber(window.Handle()));
    ASSERT_EQ(Run("/p " + number), 0);
    const std::vector<std::uint32_t> pixels = window.Read(200, 160);
    ASSERT_FALSE(pixels.empty()) << "the host window's pixels could not be read back";
    int wrongInside = 0;
    int changedOutside = 0;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 200; ++x) {
            const std::uint32_t actual = pixels[static_cast<size_t>(y) * 200 + x];
            if (x < kPreviewPicture.width && y < kPreviewPicture.height) {
                wrongInside += actual != kPreviewPicture.pixels[y * kPreviewPicture.width + x];
            } else {
                changedOutside += actual != 0x204060u;
            }
        }
    }
    EXPECT_EQ(wrongInside, 0) << "the 151 x 119 still, pixel for pixel";
    EXPECT_EQ(changedOutside, 0) << "nothing outside the still's corner";
}

TEST_F(Win32Preview, NoWindowOrAWindowThatIsGonePaintsNothingAndEnds) {
    EXPECT_EQ(Run("/p 0"), 0);
    EXPECT_EQ(Run("/p"), 0);
    HWND gone = nullptr;
    {
        HostWindow window(50, 50);
        gone = window.Handle();
    }
    EXPECT_EQ(Run("/p " + std::to_string(HandleNumber(gone))), 0);
}

}  // namespace
