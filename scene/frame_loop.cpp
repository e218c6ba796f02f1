// The frame loop: 50 times a second, every active sprite is lifted off the stage, moved or
// stepped, saved under and drawn again, and only the rectangles that changed are copied to the
// window.

#include "app/mScreenSaver.h"
#include "gfx/cBitmap.h"
#include "gfx/cSprite.h"
#include "platform/HostServices.h"
#include "platform/numbers.h"
#include "scene/frmSaver.h"

void frmSaver::RunFrameLoop() {
    try {
        BeginFrames();
    } catch (const std::exception&) {
        FatalMessage(MissingFilesMessage());
        return;
    }
    RunFrames(m_frameLimit);
}

void frmSaver::RunMoreFrames(long frames) {
    RunFrames(frames);
}

void frmSaver::RunFrames(std::optional<long> frames) {
    try {
        for (long frame = 0; !frames || frame < *frames; ++frame)
            RunFrame();
    } catch (const std::exception&) {
        // The scene stays as it is on the screen; the animation does not resume.
        FatalMessage(MissingFilesMessage());
    }
}

void frmSaver::BeginFrames() {
    m_framesRun = 0;
    m_iSnowSpeed.reset();
    m_hFormDC = hDC();
    m_lScreenWidth = ToLong(Host().ScreenWidthTwips()) / ToLong(Host().TwipsPerPixelX());
    m_lScreenHeight = ToLong(Host().ScreenHeightTwips()) / ToLong(Host().TwipsPerPixelY());
    // The only full-screen copy; from now on only sprite rectangles are copied.
    m_cStage->RenderBitmap(m_hFormDC, 0, 0, SRCCOPY);
    m_lFramePeriod = 1000 / TextToLong("50");
}

void frmSaver::RunFrame(bool paced) {
    const Long frameStart = static_cast<Long>(Host().GetTickCount());
    const HDC stage = m_cStage->hDC();

    // Lift every sprite off the stage: the stage holds only the static scene again.
    for (const auto& flake : m_cSnow) {
        if (flake->Active())
            flake->RestoreBackground(stage);
    }
    for (const LightStringFields& light : m_lights) {
        if (light.sprite->Active())
            light.sprite->RestoreBackground(stage);
    }
    if (m_cSmoke->Active())
        m_cSmoke->RestoreBackground(stage);

    // Move and step, saving the background under every new place before anything is drawn.
    SnowDirectionPass();
    SnowMovePass();
    for (LightStringFields& light : m_lights) {
        if (!light.sprite->Active())
            continue;
        BounceCell(*light.sprite, light.speed, light.count, light.up, kLightCells);
        light.sprite->StoreBackground(stage, light.sprite->X(), light.sprite->Y());
    }
    CycleCell(*m_cSmoke, m_iSmokeSpeed, m_iSmokeCount, kSmokeCells);
    m_cSmoke->StoreBackground(stage, m_cSmoke->X(), m_cSmoke->Y());

    // Draw: flakes under the lights, the lights under the smoke.
    for (const auto& flake : m_cSnow) {
        if (flake->Active())
            flake->TransparentDraw(stage, flake->X(), flake->Y(), flake->Cell(), kFalse);
    }
    for (const LightStringFields& light : m_lights) {
        cSprite& sprite = *light.sprite;
        if (sprite.Active())
            sprite.TransparentDraw(stage, sprite.X(), sprite.Y(), sprite.Cell(), kFalse);
    }
    if (m_cSmoke->Active()) {
        m_cSmoke->TransparentDraw(stage, m_cSmoke->X(), m_cSmoke->Y(), m_cSmoke->Cell(), kFalse);
    }

    // Copy what changed to the window.
    for (const auto& flake : m_cSnow) {
        if (flake->Active())
            flake->StageToScreen(m_hFormDC, stage);
    }
    for (const LightStringFields& light : m_lights) {
        if (light.sprite->Active())
            light.sprite->StageToScreen(m_hFormDC, stage);
    }
    if (m_cSmoke->Active())
        m_cSmoke->StageToScreen(m_hFormDC, stage);

    ++m_framesRun;
    // The other monitors' scenes take their step in the same frame.
    for (const auto& companion : m_companions)
        companion->RunFrame(false);
    if (!paced)
        return;
    Host().DoEvents();
    WaitUntil(static_cast<Long>(static_cast<std::uint32_t>(frameStart) +
                                static_cast<std::uint32_t>(m_lFramePeriod)));
}
