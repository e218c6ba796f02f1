// SPDX-License-Identifier: MIT
#pragma once
// A program folder of its own for a headless saver: the settings file and the data folder, whose
// pictures are the build's own, linked one by one (copied where the system makes no links for
// everyone), so that a picture can be left out. Removed with everything in it when it goes.

#include <string>
#include <vector>

#include "tools/harness/TempDir.h"

class SceneFolder {
  public:
    // controls: the settings file's "controls" values (see SettingsFileText).
    explicit SceneFolder(const std::vector<std::string>& controls);
    SceneFolder();  // the delivered values

    const TempDir& Folder() const { return m_folder; }
    const std::string& Path() const { return m_folder.Path(); }
    std::string File(const std::string& name) const { return m_folder.File(name); }
    void Write(const std::string& name, const std::string& content) const {
        m_folder.Write(name, content);
    }
    std::string Read(const std::string& name) const { return m_folder.Read(name); }

    // A new settings file with these "controls" values and no e-mail prompt.
    void WriteControls(const std::vector<std::string>& controls) const;
    // The data folder's file of a picture.
    std::string Picture(const std::string& name) const;
    void LinkPicture(const std::string& name) const;
    void RemovePicture(const std::string& name) const;

  private:
    TempDir m_folder;
};
