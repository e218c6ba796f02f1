// The Windows host's own rules: the arguments after the program's name.

#include <gtest/gtest.h>

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
