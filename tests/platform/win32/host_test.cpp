// The Windows host's own rules: the arguments after the program's name, the measures of the
// screen, and the password libraries of the older system family where they are missing.

#include <gtest/gtest.h>

#include <memory>

#include "platform/win32/Win32Host.h"

TEST(Win32Host, ArgumentsFollowTheProgramsName) {
    EXPECT_EQ(Win32Host::ArgumentsOf("glimmerdel.scr /s"), "/s");
    EXPECT_EQ(Win32Host::ArgumentsOf("\"C:\\Program Files\\Glimmerdel\\glimmerdel.scr\" /p 1234"),
              "/p 1234");
    EXPECT_EQ(Win32Host::ArgumentsOf("glimmerdel.scr  /c:4711 "), " /c:4711 ")
        << "one separator goes, the rest stays as given";
    EXPECT_EQ(Win32Host::ArgumentsOf("glimmerdel.scr"), "");
    EXPECT_EQ(Win32Host::ArgumentsOf("\"unclosed quote /s"), "");
    EXPECT_EQ(Win32Host::ArgumentsOf(""), "");
}

TEST(Win32Host, MeasuresTheScreenAndStandsInForMissingPasswordLibraries) {
    Win32Host host(GetModuleHandleA(nullptr), "/s");
    EXPECT_EQ(host.Command(), "/s");
    EXPECT_GE(host.TwipsPerPixelX(), 1);
    EXPECT_EQ(host.ScreenWidthTwips(), GetSystemMetrics(SM_CXSCREEN) * host.TwipsPerPixelX());
    EXPECT_FALSE(host.AppPath().empty());
    // Every NT-family system lacks both: the password counts as confirmed, nothing is changed.
    EXPECT_EQ(host.VerifyScreenSavePwd(nullptr), 1);
    EXPECT_EQ(host.PwdChangePasswordA("SCRSAVE", nullptr, 0, 0), 0);
    // The tick count moves in milliseconds, not in the system's coarse ticks.
    const std::uint32_t start = host.GetTickCount();
    Sleep(3);
    const std::uint32_t later = host.GetTickCount();
    EXPECT_GE(later - start, 2u);
    EXPECT_LT(later - start, 2000u);
}

TEST(Win32Host, AnInstanceStartedEarlierIsSeenUntilItEnds) {
    auto first = std::make_unique<Win32Host>(GetModuleHandleA(nullptr), "/s");
    EXPECT_FALSE(first->PrevInstance());
    {
        Win32Host second(GetModuleHandleA(nullptr), "/s");
        EXPECT_TRUE(second.PrevInstance());
    }
    first.reset();
    Win32Host third(GetModuleHandleA(nullptr), "/s");
    EXPECT_FALSE(third.PrevInstance()) << "the first one ended";
}
