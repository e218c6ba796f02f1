#pragma once
// A temporary folder for one test, removed with everything in it when the test ends.

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
