// SPDX-License-Identifier: MIT
// The preview mode of the real program under Xvfb: the still picture painted into a host window
// that the test makes, and nothing painted anywhere when the window handle is no use.

#include <gtest/gtest.h>

// After the test framework: the X headers define None.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>
#include <thread>
#include <vector>

#include "art/embedded_pictures.h"
#include "tests/e2e/XSession.h"

using namespace std::chrono_literals;

namespace {

constexpr std::uint32_t kHostColour = 0x3366CC;
constexpr int kHostLeft = 40;
constexpr int kHostTop = 30;
constexpr int kHostWidth = 300;
constexpr int kHostHeight = 200;
// The block the preview copies; the picture fills its top-left 151 x 119 pixels.
constexpr int kBlockWidth = 160;
constexpr int kBlockHeight = 120;

// The display settings' preview window, in the test's hands.
class HostWindow : public ClientWindow {
  public:
    explicit HostWindow(const std::string& display)
        : ClientWindow(display, kHostLeft, kHostTop, kHostWidth, kHostHeight, kHostColour) {}
};

// Pixels of the host window that differ from what the preview should leave there: the picture
// in the top-left 151 x 119, the host's colour everywhere else.
int WrongPixels(const XvfbServer::Picture& window) {
    int wrong = 0;
    for (int y = 0; y < window.height; ++y) {
        for (int x = 0; x < window.width; ++x) {
            std::uint32_t expected = kHostColour;
            if (x < kPreviewPicture.width && y < kPreviewPicture.height) {
                expected = kPreviewPicture.pixels[y * kPreviewPicture.width + x] & 0xFFFFFF;
            }
            if (window.At(x, y) != expected)
                ++wrong;
        }
    }
    return wrong;
}

TEST(PreviewEndToEnd, PaintsThePictureIntoTheHostWindowAndEnds) {
    XvfbServer x(640, 480);
    ASSERT_TRUE(x.Running());
    HostWindow host(x.Display());
    ASSERT_NE(host.Id(), 0u);
    ASSERT_EQ(kPreviewPicture.width, 151);
    ASSERT_EQ(kPreviewPicture.height, 119);

    // The handle as its own argument, and glued to the switch (three characters are dropped).
    const std::string id = std::to_string(host.Id());
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"/p", id}, std::vector<std::string>{"/P:" + id}}) {
        host.Fill();
        const XvfbServer::Picture before = x.Capture();
        ProgramRun program;
        const auto start = std::chrono::steady_clock::now();
        program.Start(arguments, x.Display());
        EXPECT_EQ(program.WaitExit(10s), 0) << arguments[0] << ": " << program.ErrorOutput();
        EXPECT_LT(MillisecondsSince(start), 5000) << arguments[0];

        const XvfbServer::Picture window = x.Capture(host.Id());
        ASSERT_EQ(window.width, kHostWidth);
        ASSERT_EQ(window.height, kHostHeight);
        EXPECT_EQ(WrongPixels(window), 0) << arguments[0];
        // The block's right 9 columns and its bottom row lie outside the picture: untouched.
        EXPECT_EQ(window.At(kBlockWidth - 1, 0), kHostColour);
        EXPECT_EQ(window.At(0, kBlockHeight - 1), kHostColour);
        EXPECT_NE(window.At(kPreviewPicture.width - 1, kPreviewPicture.height - 1), kHostColour)
            << "no picture";

        // The screen around the host window is untouched.
        const XvfbServer::Picture after = x.Capture();
        int changedOutside = 0;
        for (int y = 0; y < after.height; ++y) {
            for (int x0 = 0; x0 < after.width; ++x0) {
                const bool inside = x0 >= kHostLeft && x0 < kHostLeft + kHostWidth &&
                                    y >= kHostTop && y < kHostTop + kHostHeight;
                if (!inside && after.At(x0, y) != before.At(x0, y))
                    ++changedOutside;
            }
        }
        EXPECT_EQ(changedOutside, 0) << arguments[0];
    }
}

TEST(PreviewEndToEnd, AHandleThatIsNoWindowPaintsNothingAndEndsPromptly) {
    XvfbServer x(640, 480);
    ASSERT_TRUE(x.Running());
    HostWindow host(x.Display());  // something on the screen that must stay as it is
    ASSERT_NE(host.Id(), 0u);
    const XvfbServer::Picture before = x.Capture();
    ASSERT_GT(before.width, 0);

    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"/p", "0"}, std::vector<std::string>{"/p", "x"},
          std::vector<std::string>{"/p", "99999999"}, std::vector<std::string>{"/p"},
          std::vector<std::string>{"/P"}, std::vector<std::string>{"/p", "-1"}}) {
        std::string label;
        for (const std::string& argument : arguments)
            label += argument + " ";
        ProgramRun program;
        const auto start = std::chrono::steady_clock::now();
        program.Start(arguments, x.Display());
        EXPECT_EQ(program.WaitExit(10s), 0) << label << program.ErrorOutput();
        EXPECT_LT(MillisecondsSince(start), 5000) << label;
        const XvfbServer::Picture after = x.Capture();
        EXPECT_TRUE(after.pixels == before.pixels) << label << "painted on the screen";
    }
}

}  // namespace
