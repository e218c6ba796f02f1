// SPDX-License-Identifier: MIT
// The settings dialog: its designed layout, loading and saving the six settings, and the two
// web buttons.

#include "settings_ui/frmSettings.h"

#include <algorithm>
#include <initializer_list>

#include "app/mScreenSaver.h"
#include "art/embedded_pictures.h"
#include "platform/HostServices.h"
#include "platform/RuntimeError.h"
#include "platform/numbers.h"

namespace {

// The scroll bars of the light and smoke speeds run from 1 to this; MirrorSpeed uses it as text.
constexpr const char* kMaxSpeed = "10";

ImageData Picture(const EmbeddedPicture& picture) {
    return ImageData{picture.width, picture.height, picture.pixels};
}

// A switch is on when its text, read as a number, is 1 (" 1" and "1.0" count). A text that is
// no number is off.
bool IsOn(const std::string& sValue) {
    try {
        return TextToNumber(sValue) == 1;
    } catch (const RuntimeError&) {
        return false;
    }
}

// The position a number text gives on a scroll bar: the whole number nearest to it (halves to
// even), kept within the bar's range. Raises RuntimeError when the text is no number.
Integer PositionOf(const HScrollBar& bar, const std::string& sNumber) {
    const double value = RoundHalfEven(TextToNumber(sNumber));
    return static_cast<Integer>(
        std::clamp(value, static_cast<double>(bar.Min()), static_cast<double>(bar.Max())));
}

// The position a number text gives on a scroll bar, the text made by number() (which may raise
// RuntimeError). A missing value or one that is no number leaves the bar at its designed value,
// its minimum.
template <typename MakeNumber>
Integer PositionOrDesigned(const HScrollBar& bar, MakeNumber number) {
    try {
        return PositionOf(bar, number());
    } catch (const RuntimeError&) {
        return bar.Min();
    }
}

}  // namespace

frmSettings::frmSettings()
    : Form("frmSettings"),
      CmdClose(*this, nullptr, "CmdClose"),
      CmdFriend(*this, nullptr, "CmdFriend"),
      CmdWebsite(*this, nullptr, "CmdWebsite"),
      Frame1(*this, nullptr, "Frame1"),
      CheckLights(*this, &Frame1, "CheckLights"),
      HScrollLights(*this, &Frame1, "HScrollLights"),
      LabelLights(*this, &Frame1, "LabelLights"),
      CheckSmoke(*this, &Frame1, "CheckSmoke"),
      HScrollSmoke(*this, &Frame1, "HScrollSmoke"),
      LabelSmoke(*this, &Frame1, "LabelSmoke"),
      CheckSnowing(*this, &Frame1, "CheckSnowing"),
      HScrollSnowing(*this, &Frame1, "HScrollSnowing"),
      LabelSnowing(*this, &Frame1, "LabelSnowing"),
      Image1(*this, nullptr, "Image1") {
    // The window: a fixed single border with a title bar, not resizable. Sizes are the client
    // area's, in twips; places are in twips within the container's client area.
    SetCaption(std::string(kProductTitle));
    SetBorder(BorderStyle::FixedSingle);
    SetIcon(Picture(kIconPicture));
    SetWidth(3525);
    SetHeight(4860);

    CmdClose.Place(2280, 4440, 1095, 315);
    CmdClose.SetTabIndex(0);
    CmdClose.SetCaption("Close");

    CmdFriend.Place(70, 2160, 1815, 405);
    CmdFriend.SetTabIndex(1);
    CmdFriend.SetPicture(Picture(kFriendButtonPicture));

    CmdWebsite.Place(1960, 2160, 1455, 405);
    CmdWebsite.SetTabIndex(2);
    CmdWebsite.SetPicture(Picture(kWebsiteButtonPicture));

    Frame1.Place(140, 2610, 3255, 1695);
    Frame1.SetTabIndex(3);

    CheckLights.Place(120, 240, 1695, 375);
    CheckLights.SetTabIndex(4);
    CheckLights.SetCaption("Christmas lights");
    HScrollLights.Place(1920, 360, 1095, 135);
    HScrollLights.SetTabIndex(5);
    HScrollLights.Design(1, 10, 1, 1);
    LabelLights.Place(2280, 120, 495, 255);
    LabelLights.SetTabIndex(6);
    LabelLights.SetCaption("Speed");

    CheckSmoke.Place(120, 720, 1695, 375);
    CheckSmoke.SetTabIndex(7);
    CheckSmoke.SetCaption("Chimney smoke");
    HScrollSmoke.Place(1920, 840, 1095, 135);
    HScrollSmoke.SetTabIndex(8);
    HScrollSmoke.Design(1, 10, 1, 1);
    LabelSmoke.Place(2280, 600, 495, 255);
    LabelSmoke.SetTabIndex(9);
    LabelSmoke.SetCaption("Speed");

    CheckSnowing.Place(120, 1200, 1695, 375);
    CheckSnowing.SetTabIndex(10);
    CheckSnowing.SetCaption("Snowing");
    HScrollSnowing.Place(1920, 1320, 1095, 135);
    HScrollSnowing.SetTabIndex(11);
    HScrollSnowing.Design(2, 20, 1, 1);
    LabelSnowing.Place(2280, 1080, 495, 255);
    LabelSnowing.SetTabIndex(12);
    LabelSnowing.SetCaption("Speed");

    // The banner across the full width; an image takes no focus and has no tab index.
    Image1.Place(0, 0, 3525, 2130);
    Image1.SetPicture(Picture(kBannerPicture));

    CmdClose.OnClick([this] { CmdClose_Click(); });
    CmdFriend.OnClick([this] { CmdFriend_Click(); });
    CmdWebsite.OnClick([this] { CmdWebsite_Click(); });
}

std::string frmSettings::MirrorSpeed(const std::string& sValue, const std::string& sMax) {
    return ::MirrorSpeed(sValue, sMax);
}

void frmSettings::RestoreDesignedValues() {
    // A dialog loaded again starts from its designed values, as on its first load.
    for (CheckBox* box : {&CheckLights, &CheckSmoke, &CheckSnowing})
        box->SetValue(0);
    for (HScrollBar* bar : {&HScrollLights, &HScrollSmoke, &HScrollSnowing}) {
        bar->SetValue(bar->Min());
    }
}

void frmSettings::Form_Load() {
    RestoreDesignedValues();
    // The keys in their order, each read from the settings file as it is named at that moment.
    // A value that is missing, no number or out of range still opens the dialog: a switch stays
    // off, a speed keeps its designed value or is kept within its scroll bar's range.
    ReadSetting("controls", "lights", g_lights, IniPath());
    if (IsOn(g_lights))
        CheckLights.SetValue(1);
    ReadSetting("controls", "chimneysmoke", g_chimneySmoke, IniPath());
    if (IsOn(g_chimneySmoke))
        CheckSmoke.SetValue(1);
    ReadSetting("controls", "snowing", g_snowing, IniPath());
    if (IsOn(g_snowing))
        CheckSnowing.SetValue(1);
    // The light and smoke speeds are shown mirrored, the snow speed unchanged.
    ReadSetting("controls", "lightspeed", g_lightSpeed, IniPath());
    HScrollLights.SetValue(
        PositionOrDesigned(HScrollLights, [] { return MirrorSpeed(g_lightSpeed, kMaxSpeed); }));
    ReadSetting("controls", "smokespeed", g_smokeSpeed, IniPath());
    HScrollSmoke.SetValue(
        PositionOrDesigned(HScrollSmoke, [] { return MirrorSpeed(g_smokeSpeed, kMaxSpeed); }));
    ReadSetting("controls", "snowspeed", g_snowSpeed, IniPath());
    HScrollSnowing.SetValue(PositionOrDesigned(HScrollSnowing, [] { return g_snowSpeed; }));
}

void frmSettings::Form_Unload(Integer& Cancel) {
    (void)Cancel;  // every close saves, and the dialog always closes
    g_lights = "0";
    g_chimneySmoke = "0";
    g_snowing = "0";
    if (CheckLights.Value() == 1)
        g_lights = "1";
    WriteSetting("controls", "lights", g_lights);
    if (CheckSmoke.Value() == 1)
        g_chimneySmoke = "1";
    WriteSetting("controls", "chimneysmoke", g_chimneySmoke);
    if (CheckSnowing.Value() == 1)
        g_snowing = "1";
    WriteSetting("controls", "snowing", g_snowing);
    g_lightSpeed = MirrorSpeed(NumberToText(HScrollLights.Value()), kMaxSpeed);
    WriteSetting("controls", "lightspeed", g_lightSpeed);
    g_smokeSpeed = MirrorSpeed(NumberToText(HScrollSmoke.Value()), kMaxSpeed);
    WriteSetting("controls", "smokespeed", g_smokeSpeed);
    g_snowSpeed = NumberToText(HScrollSnowing.Value());
    WriteSetting("controls", "snowspeed", g_snowSpeed);
}

void frmSettings::CmdClose_Click() {
    Unload();
    Host().EndProgram(0);
}

void frmSettings::CmdWebsite_Click() {
    OpenDocument(std::string(kProductWebsite));
}

void frmSettings::CmdFriend_Click() {
    OpenDocument(FriendPageAddress());
}
