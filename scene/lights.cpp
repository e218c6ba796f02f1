// SPDX-License-Identifier: MIT
// The nine light strings: each sweeps its 52 cells up and down, one step every few frames.

#include "app/mScreenSaver.h"
#include "gfx/cSprite.h"
#include "gfx/cSpriteBitmaps.h"
#include "platform/numbers.h"
#include "scene/frmSaver.h"

namespace {
constexpr Integer kLargestCount = 32767;
}

void frmSaver::SetUpLights() {
    for (LightStringFields& light : m_lights) {
        LoadSpriteBitmaps(light.sheet, DataFolder() + light.design.file, kLightCells, 1,
                          kTransparentColour);
        CreateSprite(light.sheet, light.sprite);
        light.sprite->SetX(m_cLandscape->X() + light.design.x);
        light.sprite->SetY(m_cLandscape->Y() + light.design.y);
        light.speed = TextToInteger(g_lightSpeed);
        light.count = 1;
    }
    // Staggered starting points of the one sweep, each string at its own cell and direction.
    for (LightStringFields& light : m_lights) {
        light.sprite->SetActive(kFalse);
        light.sprite->SetCell(light.design.startCell);
        light.up = ToBoolean(light.design.rising);
    }

    if (TextToNumber(g_lights) == 1) {
        for (LightStringFields& light : m_lights)
            light.sprite->SetActive(kTrue);
    }
}

void frmSaver::BounceCell(cSprite& objSprite, Integer& iSpeed, Integer& iCount, Boolean& bUp,
                          Long lHighest) {
    // A counter held at its largest value steps too, so that the largest hold counts only run
    // slowly instead of overflowing.
    if (iCount > iSpeed || iCount == kLargestCount) {
        if (bUp) {
            objSprite.SetCell(objSprite.Cell() + 1);
            if (objSprite.Cell() > lHighest) {
                objSprite.SetCell(lHighest);
                bUp = kFalse;
            }
        } else {
            objSprite.SetCell(objSprite.Cell() - 1);
            if (objSprite.Cell() < 1) {
                objSprite.SetCell(1);
                bUp = kTrue;
            }
        }
        iCount = 0;
    }
    ++iCount;
}
