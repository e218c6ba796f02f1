// SPDX-License-Identifier: MIT
#include "app/frmPreview.h"

#include "art/embedded_pictures.h"

namespace {
ImageData Image(const EmbeddedPicture& picture) {
    return ImageData{picture.width, picture.height, picture.pixels};
}
}  // namespace

frmPreview::frmPreview() : Form("frmPreview"), Picture1(*this, nullptr, "Picture1") {
    SetBorder(BorderStyle::Borderless);
    SetCaption("");
    SetIcon(Image(kIconPicture));
    SetWidth(2265);
    SetHeight(1770);
    Picture1.Place(0, 0, 2265, 1785);
    Picture1.SetTabIndex(0);
    Picture1.SetPicture(Image(kPreviewPicture), true);
}
