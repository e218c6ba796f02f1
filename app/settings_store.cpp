// The settings file next to the program, the data folder, and the in-memory settings.

#include "app/mScreenSaver.h"
#include "platform/HostServices.h"
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
std::string InProgramFolder(const std::string& name) {
    std::string path = ProgramFolder();
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + name;
}
}  // namespace

std::string ProgramFolder() {
    return Host().AppPath();
}

std::string IniPath() {
    return InProgramFolder(kSettingsFileName);
}

std::string DataFolder() {
    return InProgramFolder(kDataFolderName);
}

void ReadSetting(const std::string& sSection, const std::string& sKey, std::string& sValue,
                 const std::string& sFile) {
    sValue.assign(255, ' ');
    const std::uint32_t count = GetPrivateProfileStringA(sSection.c_str(), sKey.c_str(), "",
                                                         sValue.data(), 255, sFile.c_str());
    sValue.resize(count);
}

void WriteSetting(const std::string& sSection, const std::string& sKey, const std::string& sValue) {
    WritePrivateProfileStringA(sSection.c_str(), sKey.c_str(), sValue.c_str(), IniPath().c_str());
}
