#include "tests/support/HostFixture.h"

HostFixture::HostFixture() {
    SetHost(&host);
}

HostFixture::~HostFixture() {
    SetHost(nullptr);
}
