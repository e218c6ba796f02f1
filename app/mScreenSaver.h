// SPDX-License-Identifier: MIT
#pragma once
// The screen saver's host integration: modes, the settings store, run control, external
// launches and the preview. Module-level state lives here; the forms live in mMain.

#include <string>

#include "app/product.h"
#include "platform/gdi.h"
#include "platform/types.h"

class Form;

// --- The three forms, created by Main and held for the whole run ---------------------------
extern Form* g_frmSaver;
extern Form* g_frmSettings;
extern Form* g_frmPreview;

// --- Files next to the program ---------------------------------------------------------
inline constexpr const char* kSettingsFileName = "vantroglimmerdel.ini";
// The data folder below the program folder, with its separators.
inline const std::string kDataFolderName =
    std::string("vurezezideriru") + kPathSeparator + "glimmerdel" + kPathSeparator;
inline constexpr const char* kCompanionProgramName = "GlimmerdelEmail.exe";

// --- The settings store ----------------------------------------------------------------
// The scene settings, as the texts of the "controls" keys; each user converts when it needs a
// number. The "applic" values are used by the e-mail prompt.
extern std::string g_lights;
extern std::string g_chimneySmoke;
extern std::string g_snowing;
extern std::string g_lightSpeed;
extern std::string g_smokeSpeed;
extern std::string g_snowSpeed;
extern std::string g_appCurrent;
extern std::string g_appAlert;
extern std::string g_appDisplay;

// The program folder (the folder of the running program file).
std::string ProgramFolder();
// The settings file's full path, computed afresh on every call: beside the program, or the
// user's own copy where the program folder is not writable.
std::string IniPath();
// The data folder's path, always ending with the separator.
std::string DataFolder();
// Reads a key into sValue (at most 254 characters); missing gives the empty text.
void ReadSetting(const std::string& sSection, const std::string& sKey, std::string& sValue,
                 const std::string& sFile);
// Settings given for one run (from the command line): reading such a key of "controls" gives
// the value given instead of the file's.
void SetSettingOverride(const std::string& sKey, const std::string& sValue);
void ClearSettingOverrides();
// Writes a key of the settings file; a failed write is ignored.
void WriteSetting(const std::string& sSection, const std::string& sKey, const std::string& sValue);
// Turns a stored light or smoke speed into the position of a scroll bar running from 1 to sMax,
// and a position back into a stored speed: a larger stored number is slower (frames between two
// steps), a position further right is faster. Raises ConversionError when sValue is no number.
std::string MirrorSpeed(const std::string& sValue, const std::string& sMax);

// --- Start-up --------------------------------------------------------------------------
void DispatchCommandLine(const std::string& sCommand);
void StartSaver();
// A window handle read from text by the leading-number rule; 0 when it has no number or the
// number does not fit 32 bits.
HWND HandleFromText(const std::string& text);

// --- Saver run control -----------------------------------------------------------------
// True while the scene runs inside a window given by a screen-saver daemon: no e-mail prompt.
extern bool g_embedded;

extern Long g_platformId;
extern Integer g_usePassword;
extern Integer g_moveCount;
extern Long g_moveWindowStart;

void ReadPlatformId();
void ReadPasswordFlag();
std::string ReadRegistryText(std::uint32_t hKey, const std::string& sSubKey,
                             const std::string& sValueName);
// True when the program itself must ask for the password (older system family + flag).
bool PasswordMode();
void ShowMousePointer(Boolean bShow);
void AllowSystemKeys(Boolean bAllow);
void SetSaverTopmost(Boolean bTopmost);
void HideTaskbar(Boolean bHide);
void CountMouseMove();
void EndSaver();
// The user's session ends (log-off, shut-down): the pointer and the keys are given back, the
// saver form unloaded, the taskbar shown and the program ended at once, without asking for the
// password and without the e-mail prompt step.
void EndSaverAtSessionEnd();
void FatalMessage(const std::string& sText);
void WaitUntil(Long lDeadline);
// The one message the running saver shows.
std::string MissingFilesMessage();

// --- External launches and the e-mail prompt -------------------------------------------
Long OpenDocument(const std::string& sTarget);
std::string EmailProgramPath();
Boolean IsOnline();
Boolean IsEmailPromptDue();
// The end-of-run step: starts the companion program once the prompt is due and disarms it.
void RunEmailPrompt();
// The product web site's recommend-a-friend page.
std::string FriendPageAddress();

// --- Preview ---------------------------------------------------------------------------
void RunPreview();
