// SPDX-License-Identifier: MIT
#pragma once
// The settings dialog: the three effect switches and the three speeds of the settings file.
//
// Form_Load fills the controls from the settings file; every close (the Close button or the
// window's own close command) runs Form_Unload, which writes all six settings back. There is no
// Cancel. Two picture buttons open the product's web pages. Ticking a box or moving a scroll bar
// changes only the control: the controls have no change handlers.

#include <string>

#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/Form.h"
#include "platform/Frame.h"
#include "platform/HScrollBar.h"
#include "platform/ImageControl.h"
#include "platform/Label.h"

class frmSettings : public Form {
  public:
    frmSettings();

    // The designed controls, in the order of their tab index (the banner has none).
    CommandButton CmdClose;
    CommandButton CmdFriend;
    CommandButton CmdWebsite;
    Frame Frame1;
    CheckBox CheckLights;
    HScrollBar HScrollLights;
    Label LabelLights;
    CheckBox CheckSmoke;
    HScrollBar HScrollSmoke;
    Label LabelSmoke;
    CheckBox CheckSnowing;
    HScrollBar HScrollSnowing;
    Label LabelSnowing;
    ImageControl Image1;

  protected:
    void Form_Load() override;
    void Form_Unload(Integer& Cancel) override;

  private:
    // Turns a stored light or smoke speed into its scroll bar position and a position back into
    // a stored speed (sMax is "10" both ways), as the settings store mirrors them.
    static std::string MirrorSpeed(const std::string& sValue, const std::string& sMax);

    void CmdClose_Click();
    void CmdWebsite_Click();
    void CmdFriend_Click();

    // The values the controls have before the load handler starts.
    void RestoreDesignedValues();
};
