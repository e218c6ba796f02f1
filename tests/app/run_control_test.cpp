// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "tests/app/AppFixture.h"

namespace {

using Calls = std::vector<std::string>;

class RunControl : public AppFixture {
  protected:
    // The older system family with password protection on.
    void PasswordProtected() {
        g_platformId = 1;
        g_usePassword = 1;
    }
    bool Ends(void (*action)()) {
        try {
            action();
        } catch (const ProgramEnded&) {
            return true;
        }
        return false;
    }
    std::vector<std::string> CallsWithout(const std::string& prefix) {
        std::vector<std::string> calls;
        for (const std::string& call : host.Calls()) {
            if (call.rfind(prefix, 0) != 0)
                calls.push_back(call);
        }
        return calls;
    }
};

TEST_F(RunControl, PointerCounterIsDrivenToItsMargins) {
    ShowMousePointer(kFalse);
    EXPECT_EQ(host.CursorCount(), -6);
    EXPECT_EQ(host.Calls().size(), 6u);
    host.ClearCalls();
    ShowMousePointer(kTrue);
    EXPECT_EQ(host.CursorCount(), 6);
    ShowMousePointer(kTrue);
    EXPECT_EQ(host.CursorCount(), 7) << "a second show still makes one call";
    EXPECT_EQ(host.Calls().size(), 13u);
    host.ClearCalls();
    ShowMousePointer(kFalse);
    ShowMousePointer(kFalse);
    EXPECT_EQ(host.CursorCount(), -7);
}

TEST_F(RunControl, RegistryTextByValueType) {
    const std::string key = "Control Panel\\Desktop";
    host.SetRegistryValue(key, "Dword1", REG_DWORD, {1, 0, 0, 0});
    host.SetRegistryValue(key, "Dword1234", REG_DWORD, {0xD2, 0x04, 0, 0});
    host.SetRegistryValue(key, "Text", REG_SZ, {'1', 0});
    host.SetRegistryValue(key, "Empty", REG_BINARY, {});
    host.SetRegistryValue(key, "Long", REG_SZ, std::vector<std::uint8_t>(300, 'x'));
    EXPECT_EQ(ReadRegistryText(kHKeyCurrentUser, key, "Dword1"), "001");
    EXPECT_EQ(ReadRegistryText(kHKeyCurrentUser, key, "dword1234"), "1234");
    EXPECT_EQ(ReadRegistryText(kHKeyCurrentUser, "control panel\\desktop", "Text"), "1");
    EXPECT_EQ(ReadRegistryText(kHKeyCurrentUser, key, "Empty"), "");
    EXPECT_EQ(ReadRegistryText(kHKeyCurrentUser, key, "Long"), "");
    EXPECT_EQ(ReadRegistryText(kHKeyCurrentUser, key, "Absent"), "");
    EXPECT_EQ(ReadRegistryText(kHKeyCurrentUser, "No\\Such\\Key", "Text"), "");
    // Every query closes its key; a failed open has nothing to close.
    EXPECT_EQ(std::count(host.Calls().begin(), host.Calls().end(), "RegCloseKey"), 6);
    host.ClearCalls();
    EXPECT_EQ(ReadRegistryText(0x12345678, key, "Text"), "");
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(RunControl, PasswordFlagFromTheRegistry) {
    const std::string key = "Control Panel\\Desktop";
    ReadPasswordFlag();
    EXPECT_EQ(g_usePassword, 0) << "absent";
    host.SetRegistryValue(key, "ScreenSaveUsePassword", REG_DWORD, {1, 0, 0, 0});
    ReadPasswordFlag();
    EXPECT_EQ(g_usePassword, 1);
    host.SetRegistryValue(key, "ScreenSaveUsePassword", REG_SZ, {'1', 0});
    ReadPasswordFlag();
    EXPECT_EQ(g_usePassword, 1);
    host.SetRegistryValue(key, "ScreenSaveUsePassword", REG_SZ, {'0', 0});
    ReadPasswordFlag();
    EXPECT_EQ(g_usePassword, 0);
    host.SetRegistryValue(key, "ScreenSaveUsePassword", REG_SZ, {'9', '9', '9', '9', '9', 0});
    ReadPasswordFlag();
    EXPECT_EQ(g_usePassword, 1) << "too large for the flag, but still on";
}

TEST_F(RunControl, PlatformAndPasswordMode) {
    ReadPlatformId();
    EXPECT_EQ(g_platformId, 2);
    g_usePassword = 1;
    EXPECT_FALSE(PasswordMode()) << "the NT family asks for the password itself";
    host.SetPlatformId(1);
    ReadPlatformId();
    EXPECT_TRUE(PasswordMode());
    g_usePassword = 0;
    EXPECT_FALSE(PasswordMode());
}

TEST_F(RunControl, KeysAndTopmostOnlyInPasswordModeTaskbarAlways) {
    host.SetTaskbar(HwndFromLong(77));
    g_platformId = 2;
    g_usePassword = 1;
    AllowSystemKeys(kFalse);
    SetSaverTopmost(kTrue);
    HideTaskbar(kTrue);
    EXPECT_EQ(host.Calls(),
              (Calls{"FindWindowA(Shell_traywnd,\"\")", "SetWindowPos(77,0,0,0,0,0,128)"}));
    host.ClearCalls();
    PasswordProtected();
    const HWND saverWindow = saver.hWnd();
    AllowSystemKeys(kFalse);
    AllowSystemKeys(kTrue);
    SetSaverTopmost(kTrue);
    SetSaverTopmost(kFalse);
    host.SetTaskbar(HwndFromLong(0));
    HideTaskbar(kFalse);
    const std::string w = std::to_string(HandleNumber(saverWindow));
    EXPECT_EQ(host.Calls(),
              (Calls{"SystemParametersInfoA(97,1,ptr,0)", "SystemParametersInfoA(97,0,ptr,0)",
                     "SetWindowPos(" + w + ",-1,0,0,0,0,3)", "SetWindowPos(" + w + ",-2,0,0,0,0,3)",
                     "FindWindowA(Shell_traywnd,\"\")", "SetWindowPos(0,0,0,0,0,0,64)"}));
    saver.Unload();
}

TEST_F(RunControl, FifthCountedMoveEndsHoweverLate) {
    saver.Show();
    host.SetTimeOfDay(1000.0);
    for (int i = 0; i < 4; ++i)
        CountMouseMove();
    EXPECT_EQ(g_moveCount, 4);
    EXPECT_EQ(g_moveWindowStart, 1000);
    host.SetTimeOfDay(1060.0);
    EXPECT_TRUE(Ends(&CountMouseMove));
    EXPECT_FALSE(saver.Loaded());
}

TEST_F(RunControl, LateMoveEmptiesTheCounter) {
    host.SetTimeOfDay(500.4);
    CountMouseMove();
    CountMouseMove();
    EXPECT_EQ(g_moveWindowStart, 500);
    host.SetTimeOfDay(503.0);
    CountMouseMove();
    EXPECT_EQ(g_moveCount, 0);
    EXPECT_EQ(g_moveWindowStart, 0);
    for (int i = 0; i < 4; ++i)
        CountMouseMove();
    EXPECT_EQ(g_moveCount, 4) << "five further counted moves are needed";
    EXPECT_TRUE(Ends(&CountMouseMove));
}

TEST_F(RunControl, WindowStartRoundedUpStillCounts) {
    host.SetTimeOfDay(1000.6);
    CountMouseMove();
    EXPECT_EQ(g_moveWindowStart, 1001);
    host.SetTimeOfDay(1000.7);  // before the rounded start
    CountMouseMove();
    CountMouseMove();
    EXPECT_EQ(g_moveCount, 3);
}

TEST_F(RunControl, WindowStartRoundsHalvesToEvenAndSurvivesMidnight) {
    host.SetTimeOfDay(10.5);
    CountMouseMove();
    EXPECT_EQ(g_moveWindowStart, 10);
    g_moveCount = 0;
    g_moveWindowStart = 86399;
    host.SetTimeOfDay(0.5);
    CountMouseMove();
    EXPECT_EQ(g_moveCount, 1) << "1.5 s after the window opened, across midnight";
    host.SetTimeOfDay(2.0);
    CountMouseMove();
    EXPECT_EQ(g_moveCount, 0) << "3 s after, across midnight: emptied";
}

TEST_F(RunControl, EndSaverRestoresAndEndsInOrder) {
    WriteIni("[applic]\nappdisplay=0\n");
    host.SetTaskbar(HwndFromLong(77));
    ShowMousePointer(kFalse);
    saver.Show();
    host.ClearCalls();
    EXPECT_TRUE(Ends(&EndSaver));
    EXPECT_EQ(CallsWithout("ShowCursor"),
              (Calls{"FindWindowA(Shell_traywnd,\"\")", "SetWindowPos(77,0,0,0,0,0,64)",
                     "EndProgram(0)"}));
    EXPECT_EQ(host.Calls().front(), "ShowCursor(1)=-5");
    EXPECT_EQ(host.CursorCount(), 6);
    EXPECT_EQ(saver.unloads, 1);
    EXPECT_FALSE(saver.Loaded());
}

TEST_F(RunControl, RefusedPasswordKeepsTheSaverRunning) {
    PasswordProtected();
    host.SetPasswordAnswer(0x10000);  // only the low word counts: refused
    ShowMousePointer(kFalse);
    saver.Show();
    saver.Hide();
    host.ClearCalls();
    EXPECT_FALSE(Ends(&EndSaver));
    EXPECT_EQ(CallsWithout("ShowCursor"),
              Calls{"VerifyScreenSavePwd(" + std::to_string(HandleNumber(saver.hWnd())) + ")"});
    EXPECT_LE(host.CursorCount(), -6) << "pointer hidden again";
    EXPECT_TRUE(saver.Visible()) << "shown again";
    EXPECT_EQ(saver.unloads, 0);
    saver.Unload();
}

TEST_F(RunControl, AcceptedPasswordUnlocksThenEnds) {
    PasswordProtected();
    saver.Show();
    const std::string w = std::to_string(HandleNumber(saver.hWnd()));
    host.ClearCalls();
    EXPECT_TRUE(Ends(&EndSaver));
    EXPECT_EQ(CallsWithout("ShowCursor"),
              (Calls{"VerifyScreenSavePwd(" + w + ")", "SystemParametersInfoA(97,0,ptr,0)",
                     "SetWindowPos(" + w + ",-2,0,0,0,0,3)", "FindWindowA(Shell_traywnd,\"\")",
                     "SetWindowPos(0,0,0,0,0,0,64)", "EndProgram(0)"}));
}

TEST_F(RunControl, FatalMessageShowsTheMessageThenEnds) {
    PasswordProtected();
    saver.Show();
    const std::string w = std::to_string(HandleNumber(saver.hWnd()));
    host.ClearCalls();
    try {
        FatalMessage(MissingFilesMessage());
        FAIL() << "the program should have ended";
    } catch (const ProgramEnded&) {
    }
    const Calls calls = CallsWithout("ShowCursor");
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "SetWindowPos(" + w + ",-2,0,0,0,0,3)");
    EXPECT_EQ(calls[1], "MsgBox");
    EXPECT_EQ(calls[2], "VerifyScreenSavePwd(" + w + ")");
    EXPECT_EQ(host.Calls()[1], "ShowCursor(1)=1") << "pointer shown before the message";
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text,
              "One or more files are missing from application. Please download and re-install "
              "the software from http://www.glimmerdel.example");
    EXPECT_EQ(host.MessageBoxes()[0].style, 48);
    EXPECT_EQ(host.MessageBoxes()[0].title, "Glimmerdel");
}

TEST_F(RunControl, FatalMessageReturnsWhenThePasswordIsRefused) {
    PasswordProtected();
    host.SetPasswordAnswer(0);
    saver.Show();
    EXPECT_NO_THROW(FatalMessage("text"));
    EXPECT_TRUE(saver.Loaded());
    saver.Unload();
}

TEST_F(RunControl, WaitUntilAPassedDeadlinePumpsOnce) {
    host.SetTickCount(1000);
    WaitUntil(990);
    EXPECT_EQ(host.EventPasses(), 1);
    EXPECT_EQ(host.GetTickCount(), 1000u);
}

TEST_F(RunControl, WaitUntilSleepsInSteps) {
    host.SetTickCount(1000);
    WaitUntil(1020);
    EXPECT_EQ(host.GetTickCount(), 1020u);
    EXPECT_LE(host.LongestWaitMs(), 20);
    WaitUntil(1100);
    EXPECT_EQ(host.GetTickCount(), 1100u);
    EXPECT_LE(host.LongestWaitMs(), 20) << "no single wait longer than one frame period";
}

TEST_F(RunControl, WaitUntilAcrossTheTickWrap) {
    // The signed deadline has wrapped while the tick count has not yet.
    host.SetTickCount(0x7FFFFFF0u);
    const Long deadline = static_cast<Long>(0x7FFFFFF0u + 20u);
    WaitUntil(deadline);
    EXPECT_EQ(host.GetTickCount(), 0x80000004u);
    host.SetTickCount(0xFFFFFFF5u);
    WaitUntil(static_cast<Long>(0xFFFFFFF5u + 20u));
    EXPECT_EQ(host.GetTickCount(), 9u);
}

// The display off for three looks of a polled state (the X server's DPMS), then on again.
class OffThreeTimes : public SceneVisibility::PowerQuery {
  public:
    explicit OffThreeTimes(std::vector<std::uint32_t>& askedAt, HeadlessHost& host)
        : m_askedAt(askedAt), m_host(host) {}
    std::optional<SceneVisibility::DisplayPower> Query() override {
        m_askedAt.push_back(m_host.GetTickCount());
        return m_askedAt.size() <= 3 ? SceneVisibility::DisplayPower::Off
                                     : SceneVisibility::DisplayPower::On;
    }

  private:
    std::vector<std::uint32_t>& m_askedAt;
    HeadlessHost& m_host;
};

TEST_F(RunControl, WaitUntilWhileNobodySeesTheSceneSleepsASecondAtATimeAndLooksEachTime) {
    std::vector<std::uint32_t> askedAt;
    host.Visibility().SetPowerQuery(std::make_unique<OffThreeTimes>(askedAt, host));
    host.SetTickCount(1000);
    WaitUntil(1020);
    EXPECT_EQ(askedAt, (std::vector<std::uint32_t>{1000, 2000, 3000, 4000}))
        << "asked once a second, and the frame comes at the look that finds the display on";
    EXPECT_EQ(host.GetTickCount(), 4000u);
    EXPECT_EQ(host.Waits(), 3);
    EXPECT_EQ(host.LongestWaitMs(), 1000);

    // Shown again within a frame's wait: the deadline is kept as usual.
    host.Visibility().SetPowerQuery(nullptr);
    host.Visibility().WatchWindow(7, false);
    int passes = 0;
    host.OnEvents([&] {
        if (++passes == 3)
            host.Visibility().WindowSeen(7, true);
    });
    WaitUntil(6500);
    EXPECT_EQ(host.GetTickCount(), 6500u) << "the waits short again once it is seen";
}

}  // namespace
