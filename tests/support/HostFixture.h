// SPDX-License-Identifier: MIT
#pragma once
// A test with the headless host installed (virtual screen and clock, recorded requests) for its
// whole life; what was installed before comes back when it ends.

#include <gtest/gtest.h>

#include "platform/headless/HeadlessHost.h"
#include "tools/harness/ScopedInstall.h"

class HostFixture : public ::testing::Test {
  protected:
    HeadlessHost host;

  private:
    ScopedInstall m_installed{host, nullptr};
};
