// SPDX-License-Identifier: MIT
#pragma once
// The saver running headless: the program's own set-up and frame loop, on a host of its own
// (virtual screen and clock, fed input, recorded requests), for the snapshot tool, the tests and
// the benchmarks. The host and the form are installed only while the saver works (each call
// below installs them and puts back what was installed before), so that several savers can take
// turns; Install() keeps them installed for a while.

#include <memory>
#include <optional>
#include <string>

#include "platform/headless/HeadlessBacking.h"
#include "platform/headless/HeadlessHost.h"
#include "scene/frmSaver.h"
#include "tools/harness/ScopedInstall.h"

class HeadlessSaver {
  public:
    // folder: the program folder (its settings file and data folder); the screen is the host's
    // default until set on Host().
    explicit HeadlessSaver(const std::string& folder);
    ~HeadlessSaver();
    HeadlessSaver(const HeadlessSaver&) = delete;
    HeadlessSaver& operator=(const HeadlessSaver&) = delete;

    HeadlessHost& Host() { return m_host; }
    frmSaver& Saver() { return *m_saver; }

    // Loads the form: the set-up, the first paint and then `frames` frames. The program's end
    // (a message, a key, a counted move) comes back as its status instead of ending the process.
    std::optional<int> Start(long frames);
    // More frames of the loop that Start began.
    std::optional<int> RunFrames(long frames);
    // What the first monitor's window shows (null before the form is loaded).
    HeadlessBacking* Window() { return m_host.BackingOf(*m_saver); }

    // The host and the form installed until the object returned goes.
    std::unique_ptr<ScopedInstall> Install();

  private:
    HeadlessHost m_host;
    std::unique_ptr<frmSaver> m_saver;
};
