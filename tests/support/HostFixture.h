#pragma once
// A test with the headless host installed (virtual screen and clock, recorded requests) and the
// program's module state reset.

#include <gtest/gtest.h>

#include "platform/headless/HeadlessHost.h"

class HostFixture : public ::testing::Test {
  protected:
    HostFixture();
    ~HostFixture() override;

    HeadlessHost host;
};
