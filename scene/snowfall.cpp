// SPDX-License-Identifier: MIT
// The snowfall: 100 flakes that fall with a jittery speed, drift one pixel to the right per
// frame and vanish at their own height within the lowest 250 pixels, to come back at the top.

#include "app/mScreenSaver.h"
#include "gfx/cBitmap.h"
#include "gfx/cSprite.h"
#include "gfx/cSpriteBitmaps.h"
#include "platform/numbers.h"
#include "scene/frmSaver.h"

void frmSaver::SetUpSnowfall() {
    LoadSpriteBitmaps(m_cSnowBitmaps, DataFolder() + art::kSnowflakePicture, 1, 1,
                      kTransparentColour);
    for (int i = 0; i < kSnowflakes; ++i) {
        CreateSprite(m_cSnowBitmaps, m_cSnow[i]);
        cSprite& flake = *m_cSnow[i];
        flake.SetCell(1);
        flake.SetActive(kFalse);
        if (TextToNumber(g_snowing) == 1)
            flake.SetActive(kTrue);
        PlaceRandomly(flake);
        m_iSnowDepth[i] = RandomBetween(1, 250);
    }
}

void frmSaver::SnowDirectionPass() {
    for (const auto& flake : m_cSnow) {
        if (!flake->Active())
            continue;
        // The setting is text; it cannot change during the run, so it is converted once, at
        // its first use (a text that is no number fails there, as it would on every frame).
        if (!m_iSnowSpeed)
            m_iSnowSpeed = TextToInteger(g_snowSpeed);
        flake->SetXDir(RandomBetween(1, 1));
        flake->SetYDir(RandomBetween(1, *m_iSnowSpeed));
    }
}

void frmSaver::SnowMovePass(bool bStore) {
    const HDC stage = m_cStage->hDC();
    for (int i = 0; i < kSnowflakes; ++i) {
        cSprite& flake = *m_cSnow[i];
        if (!flake.Active())
            continue;
        flake.IncrementPosition();
        if (flake.X() > m_lScreenWidth)
            flake.SetX(-flake.Width());
        if (flake.Y() > m_lScreenHeight - m_iSnowDepth[i])
            flake.SetY(-flake.Height());
        if (bStore)
            flake.StoreBackground(stage, flake.X(), flake.Y());
    }
}
