// SPDX-License-Identifier: MIT
#include "tools/harness/SceneFolder.h"

#include <filesystem>

#include "app/mScreenSaver.h"
#include "art/scene_manifest.h"
#include "tools/harness/settings_text.h"

SceneFolder::SceneFolder() : SceneFolder(kDeliveredControls) {}

SceneFolder::SceneFolder(const std::vector<std::string>& controls) {
    std::filesystem::create_directories(m_folder.File(kDataFolderName));
    for (const art::ScenePicture& picture : art::kScenePictures)
        LinkPicture(picture.file);
    WriteControls(controls);
}

void SceneFolder::WriteControls(const std::vector<std::string>& controls) const {
    m_folder.Write(kSettingsFileName, SettingsFileText(controls));
}

std::string SceneFolder::Picture(const std::string& name) const {
    return m_folder.File(kDataFolderName + name);
}

void SceneFolder::LinkPicture(const std::string& name) const {
    const std::string built =
        std::string(GLIMMERDEL_PROGRAM_DIR) + "/vurezezideriru/glimmerdel/" + name;
    std::error_code error;
    std::filesystem::create_symlink(built, Picture(name), error);
    if (error)
        std::filesystem::copy_file(built, Picture(name));
}

void SceneFolder::RemovePicture(const std::string& name) const {
    std::filesystem::remove(Picture(name));
}
