// SPDX-License-Identifier: MIT
// The settings file next to the program, the data folder, the in-memory settings, and the
// mirrored form of the light and smoke speeds.

#include <map>

#include "app/mScreenSaver.h"
#include "platform/HostServices.h"
#include "platform/numbers.h"
#include "platform/profile.h"

std::string g_lights;
std::string g_chimneySmoke;
std::string g_snowing;
std::string g_lightSpeed;
std::string g_smokeSpeed;
std::string g_snowSpeed;
std::string g_appCurrent;
std::string g_appAlert;
std::string g_appDisplay;

namespace {
std::map<std::string, std::string> g_overrides;

std::string InProgramFolder(const std::string& name) {
    std::string path = ProgramFolder();
    if (path.empty() || path.back() != kPathSeparator)
        path += kPathSeparator;
    return path + name;
}
}  // namespace

std::string ProgramFolder() {
    return Host().AppPath();
}

std::string IniPath() {
    // Beside the program while its folder is writable; otherwise (an installed program) the
    // user's own copy, made from the delivered file the first time it is needed, so that the
    // dialog's changes are kept instead of being lost without a word.
    std::string beside = InProgramFolder(kSettingsFileName);
    if (Host().FolderWritable(ProgramFolder()))
        return beside;
    const std::string config = Host().UserConfigFolder();
    if (config.empty())
        return beside;
    std::string own = config + kPathSeparator + kSettingsFileName;
    Host().CopyIfMissing(beside, own);
    return own;
}

std::string DataFolder() {
    return InProgramFolder(kDataFolderName);
}

void SetSettingOverride(const std::string& sKey, const std::string& sValue) {
    g_overrides[sKey] = sValue;
}

void ClearSettingOverrides() {
    g_overrides.clear();
}

void ReadSetting(const std::string& sSection, const std::string& sKey, std::string& sValue,
                 const std::string& sFile) {
    if (sSection == "controls") {
        const auto given = g_overrides.find(sKey);
        if (given != g_overrides.end()) {
            sValue = given->second;
            return;
        }
    }
    sValue.assign(255, ' ');
    const std::uint32_t count = profile::GetPrivateProfileStringA(
        sSection.c_str(), sKey.c_str(), "", sValue.data(), 255, sFile.c_str());
    sValue.resize(count);
}

void WriteSetting(const std::string& sSection, const std::string& sKey, const std::string& sValue) {
    profile::WritePrivateProfileStringA(sSection.c_str(), sKey.c_str(), sValue.c_str(),
                                        IniPath().c_str());
}

std::string MirrorSpeed(const std::string& sValue, const std::string& sMax) {
    if (TextToNumber(sValue) == 1)
        return sMax;
    if (sValue == sMax)
        return "1";
    return NumberToText(TextToNumber(sMax) - TextToNumber(sValue));
}
