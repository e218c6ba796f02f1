// SPDX-License-Identifier: MIT
#include "tools/harness/HeadlessSaver.h"

HeadlessSaver::HeadlessSaver(const std::string& folder) : m_saver(std::make_unique<frmSaver>()) {
    m_host.SetAppPath(folder);
}

HeadlessSaver::~HeadlessSaver() {
    const ScopedInstall installed(m_host, m_saver.get());
    m_saver->Unload();
    m_saver.reset();
}

std::unique_ptr<ScopedInstall> HeadlessSaver::Install() {
    return std::make_unique<ScopedInstall>(m_host, m_saver.get());
}

std::optional<int> HeadlessSaver::Start(long frames) {
    const ScopedInstall installed(m_host, m_saver.get());
    m_saver->SetFrameLimit(frames);
    try {
        m_saver->Load();
    } catch (const ProgramEnded& ended) {
        return ended.status;
    }
    return std::nullopt;
}

std::optional<int> HeadlessSaver::RunFrames(long frames) {
    const ScopedInstall installed(m_host, m_saver.get());
    try {
        m_saver->RunMoreFrames(frames);
    } catch (const ProgramEnded& ended) {
        return ended.status;
    }
    return std::nullopt;
}
