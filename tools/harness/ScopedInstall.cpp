// SPDX-License-Identifier: MIT
#include "tools/harness/ScopedInstall.h"

#include "app/mScreenSaver.h"
#include "platform/HostServices.h"

ScopedInstall::ScopedInstall(HostServices& host, Form* saver)
    : m_previousHost(InstalledHost()), m_previousSaver(g_frmSaver) {
    SetHost(&host);
    g_frmSaver = saver;
}

ScopedInstall::~ScopedInstall() {
    SetHost(m_previousHost);
    g_frmSaver = m_previousSaver;
}
