// SPDX-License-Identifier: MIT
#pragma once
// The preview form: never shown; it carries the preview picture in a picture box whose
// retained image yields the picture while the form stays hidden.

#include "platform/Form.h"
#include "platform/PictureBox.h"

class frmPreview : public Form {
  public:
    frmPreview();

    PictureBox Picture1;
};
