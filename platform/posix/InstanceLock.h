// SPDX-License-Identifier: MIT
#pragma once
// Tells whether an earlier instance of the program is still running. Every instance holds a
// shared lock on one file for its whole life; a new instance first tries for the exclusive lock,
// which it gets only when no other instance holds the file. Nothing ever waits for the lock: a
// lock file that cannot be used (none can be made, it belongs to someone else or others may
// write it) counts the instance as the first.

#include <string>

class InstanceLock {
  public:
    // path: the lock file; empty picks one in $XDG_RUNTIME_DIR, else the temporary folder.
    explicit InstanceLock(std::string path = "");
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another instance held the lock when this one started.
    bool OtherInstanceRunning() const { return m_otherRunning; }

  private:
    int m_fd = -1;
    bool m_otherRunning = false;
};
