// SPDX-License-Identifier: MIT
// The scoped installer puts back what was installed before, however its scope is left.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "app/mScreenSaver.h"
#include "platform/Form.h"
#include "platform/headless/HeadlessHost.h"
#include "tools/harness/ScopedInstall.h"

namespace {

// The host and form installed inside: static, as what a fatal-failure check runs may use.
HeadlessHost& InnerHost() {
    static HeadlessHost host;
    return host;
}
Form& InnerForm() {
    static Form form("inner");
    return form;
}

// Fails an assertion while the inner host and form are installed: the assertion leaves the
// function early, as a failed ASSERT in a test body does.
void FailWhileInstalled() {
    const ScopedInstall installed(InnerHost(), &InnerForm());
    ASSERT_EQ(&Host(), &InnerHost());
    ASSERT_TRUE(false) << "failed on purpose";
}

TEST(ScopedInstall, PutsBackWhatWasInstalledAfterAFailedAssertionAndAnException) {
    HeadlessHost outer;
    Form outerForm("outer");
    {
        const ScopedInstall installed(outer, &outerForm);
        EXPECT_FATAL_FAILURE(FailWhileInstalled(), "failed on purpose");
        EXPECT_EQ(InstalledHost(), &outer);
        EXPECT_EQ(g_frmSaver, &outerForm);

        EXPECT_THROW(
            {
                const ScopedInstall nested(InnerHost(), &InnerForm());
                throw ProgramEnded{0};
            },
            ProgramEnded);
        EXPECT_EQ(InstalledHost(), &outer);
        EXPECT_EQ(g_frmSaver, &outerForm);
    }
    EXPECT_EQ(InstalledHost(), nullptr) << "nothing was installed before the test";
    EXPECT_EQ(g_frmSaver, nullptr);
}

}  // namespace
