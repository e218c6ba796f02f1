// SPDX-License-Identifier: MIT
// The dialog's designed window and controls.

#include <gtest/gtest.h>

#include <map>

#include "art/embedded_pictures.h"
#include "tests/settings_ui/SettingsDialogFixture.h"

namespace {

using SettingsLayout = SettingsDialogFixture;

struct Designed {
    ControlKind kind;
    const char* container;  // "" for the form
    Long left, top, width, height;
    int tabIndex;  // -1: none
    const char* caption;
};

const std::map<std::string, Designed>& DesignedControls() {
    static const std::map<std::string, Designed> controls = {
        {"CmdClose", {ControlKind::CommandButton, "", 2280, 4440, 1095, 315, 0, "Close"}},
        {"CmdFriend", {ControlKind::CommandButton, "", 70, 2160, 1815, 405, 1, ""}},
        {"CmdWebsite", {ControlKind::CommandButton, "", 1960, 2160, 1455, 405, 2, ""}},
        {"Frame1", {ControlKind::Frame, "", 140, 2610, 3255, 1695, 3, ""}},
        {"CheckLights",
         {ControlKind::CheckBox, "Frame1", 120, 240, 1695, 375, 4, "Christmas lights"}},
        {"HScrollLights", {ControlKind::HScrollBar, "Frame1", 1920, 360, 1095, 135, 5, ""}},
        {"LabelLights", {ControlKind::Label, "Frame1", 2280, 120, 495, 255, 6, "Speed"}},
        {"CheckSmoke", {ControlKind::CheckBox, "Frame1", 120, 720, 1695, 375, 7, "Chimney smoke"}},
        {"HScrollSmoke", {ControlKind::HScrollBar, "Frame1", 1920, 840, 1095, 135, 8, ""}},
        {"LabelSmoke", {ControlKind::Label, "Frame1", 2280, 600, 495, 255, 9, "Speed"}},
        {"CheckSnowing", {ControlKind::CheckBox, "Frame1", 120, 1200, 1695, 375, 10, "Snowing"}},
        {"HScrollSnowing", {ControlKind::HScrollBar, "Frame1", 1920, 1320, 1095, 135, 11, ""}},
        {"LabelSnowing", {ControlKind::Label, "Frame1", 2280, 1080, 495, 255, 12, "Speed"}},
        {"Image1", {ControlKind::Image, "", 0, 0, 3525, 2130, -1, ""}},
    };
    return controls;
}

TEST_F(SettingsLayout, TheWindowIsAFixedDialogOfTheDesignedSize) {
    EXPECT_EQ(dialog.Name(), "frmSettings");
    EXPECT_EQ(dialog.Caption(), "Glimmerdel");
    EXPECT_EQ(dialog.Border(), BorderStyle::FixedSingle);
    EXPECT_EQ(dialog.Width(), 3525);
    EXPECT_EQ(dialog.Height(), 4860);
    EXPECT_EQ(dialog.ClientWidthPixels(), 235);
    EXPECT_EQ(dialog.ClientHeightPixels(), 324);
    EXPECT_EQ(dialog.Icon().width, 32);
    EXPECT_EQ(dialog.Icon().height, 32);
    EXPECT_EQ(dialog.Icon().pixels, kIconPicture.pixels);
    EXPECT_FALSE(dialog.Loaded()) << "creating the dialog makes no window";
}

TEST_F(SettingsLayout, EveryControlStandsWhereItWasDesigned) {
    std::map<std::string, bool> seen;
    for (const Control* control : dialog.Controls()) {
        const auto designed = DesignedControls().find(control->Name());
        ASSERT_NE(designed, DesignedControls().end()) << "unexpected control " << control->Name();
        const Designed& d = designed->second;
        const std::string& name = control->Name();
        seen[name] = true;
        EXPECT_EQ(control->Kind(), d.kind) << name;
        EXPECT_EQ(control->Container() ? control->Container()->Name() : "", d.container) << name;
        EXPECT_EQ(control->Left(), d.left) << name;
        EXPECT_EQ(control->Top(), d.top) << name;
        EXPECT_EQ(control->Width(), d.width) << name;
        EXPECT_EQ(control->Height(), d.height) << name;
        EXPECT_EQ(control->TabIndex(), d.tabIndex) << name;
        EXPECT_EQ(control->Caption(), d.caption) << name;
        EXPECT_TRUE(control->Visible()) << name;
    }
    EXPECT_EQ(seen.size(), DesignedControls().size());
}

TEST_F(SettingsLayout, TheBannerFillsTheFullWidthAndTheButtonsShowTheirPictures) {
    EXPECT_EQ(dialog.Image1.Width(), dialog.Width());
    EXPECT_EQ(dialog.Image1.Picture().pixels, kBannerPicture.pixels);
    EXPECT_EQ(dialog.Image1.Picture().width, 235);
    EXPECT_EQ(dialog.Image1.Picture().height, 142);
    EXPECT_EQ(dialog.CmdFriend.Picture().pixels, kFriendButtonPicture.pixels);
    EXPECT_EQ(dialog.CmdFriend.Picture().width, 103);
    EXPECT_EQ(dialog.CmdFriend.Picture().height, 19);
    EXPECT_EQ(dialog.CmdWebsite.Picture().pixels, kWebsiteButtonPicture.pixels);
    EXPECT_EQ(dialog.CmdWebsite.Picture().width, 86);
    EXPECT_EQ(dialog.CmdWebsite.Picture().height, 17);
    EXPECT_EQ(dialog.CmdClose.Picture().pixels, nullptr);
}

TEST_F(SettingsLayout, ScrollBarsStepByOneAndStartAtTheirMinimum) {
    const struct {
        const HScrollBar& bar;
        Integer min, max;
    } bars[] = {{dialog.HScrollLights, 1, 10},
                {dialog.HScrollSmoke, 1, 10},
                {dialog.HScrollSnowing, 2, 20}};
    for (const auto& b : bars) {
        EXPECT_EQ(b.bar.Min(), b.min) << b.bar.Name();
        EXPECT_EQ(b.bar.Max(), b.max) << b.bar.Name();
        EXPECT_EQ(b.bar.SmallChange(), 1) << b.bar.Name();
        EXPECT_EQ(b.bar.LargeChange(), 1) << b.bar.Name();
        EXPECT_EQ(b.bar.Value(), b.min) << b.bar.Name();
    }
    for (const CheckBox* box : {&dialog.CheckLights, &dialog.CheckSmoke, &dialog.CheckSnowing}) {
        EXPECT_EQ(box->Value(), 0) << box->Name();
    }
}

}  // namespace
