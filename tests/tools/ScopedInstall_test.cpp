// The scoped installer puts back what was installed before, however its scope is left.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "app/mScreenSaver.h"
#include "platform/Form.h"
#include "platform/headless/HeadlessHost.h"
#include "tools/harness/ScopedInstall.h"

namespace {

HeadlessHost* g_inner = nullptr;
Form* g_innerForm = nullptr;

// Fails an assertion while another host and form are installed: the assertion leaves the
// function early, as a failed ASSERT in a test body does.
void FailWhileInstalled() {
    const ScopedInstall installed(*g_inner, g_innerForm);
    ASSERT_EQ(&Host(), g_inner);
    ASSERT_TRUE(false) << "failed on purpose";
}

TEST(ScopedInstall, PutsBackWhatWasInstalledAfterAFailedAssertionAndAnException) {
    HeadlessHost outer;
    Form outerForm("outer");
    HeadlessHost inner;
    Form innerForm("inner");
    g_inner = &inner;
    g_innerForm = &innerForm;
    {
        const ScopedInstall installed(outer, &outerForm);
        EXPECT_FATAL_FAILURE(FailWhileInstalled(), "failed on purpose");
        EXPECT_EQ(InstalledHost(), &outer);
        EXPECT_EQ(g_frmSaver, &outerForm);

        EXPECT_THROW(
            {
                const ScopedInstall nested(inner, &innerForm);
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
