// SPDX-License-Identifier: MIT
#pragma once
// A temporary folder of its own (a test's, a benchmark's), removed with everything in it when
// the object goes.

#include <string>

#include "platform/system.h"

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of a file in the folder.
    std::string File(const std::string& name) const { return m_path + kPathSeparator + name; }

    void Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;

  private:
    std::string m_path;
};
