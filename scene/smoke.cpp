// SPDX-License-Identifier: MIT
// The chimney smoke: one sprite playing a loop of 135 cells, one step every few frames.

#include "app/mScreenSaver.h"
#include "gfx/cSprite.h"
#include "gfx/cSpriteBitmaps.h"
#include "platform/numbers.h"
#include "scene/frmSaver.h"

namespace {
constexpr Integer kLargestCount = 32767;
}  // namespace

void frmSaver::SetUpSmoke() {
    LoadSpriteBitmaps(m_cSmokeBitmaps, DataFolder() + art::kSmokePicture, kSmokeCells, 1,
                      kTransparentColour);
    CreateSprite(m_cSmokeBitmaps, m_cSmoke);
    // Its bottom-left corner stands on the chimney top of the landscape picture.
    m_cSmoke->SetX(m_cLandscape->X() + art::kChimneyTopX);
    m_cSmoke->SetY(m_cLandscape->Y() + art::kChimneyTopY - m_cSmoke->Height());
    // Cell 0 is the state before the first step: it shows nothing of the smoke.
    m_cSmoke->SetCell(0);
    m_iSmokeSpeed = TextToInteger(g_smokeSpeed);
    m_cSmoke->SetActive(kFalse);
    if (TextToNumber(g_chimneySmoke) == 1)
        m_cSmoke->SetActive(kTrue);
}

void frmSaver::CycleCell(cSprite& objSprite, Integer& iSpeed, Integer& iCount, Long lHighest) {
    if (iCount > iSpeed || iCount == kLargestCount) {
        objSprite.SetCell(objSprite.Cell() + 1);
        if (objSprite.Cell() > lHighest)
            objSprite.SetCell(1);
        iCount = 0;
    }
    ++iCount;
}
