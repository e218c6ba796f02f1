// SPDX-License-Identifier: MIT
// The frame loop: 50 times a second, every active sprite is lifted off the stage, moved or
// stepped, saved under and drawn again, and only the rectangles that changed are copied to the
// window. The planned step leaves out the sprites that would come out the same (see
// cRedrawPlan); the straight step does every pass for every sprite and stays as the reference.

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

void frmSaver::SetFrameStep(FrameStep step) {
    m_frameStep = step;
    m_bPlanHolds = false;
    for (const auto& companion : m_companions)
        companion->SetFrameStep(step);
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
    // The only full-screen copy; from now on only sprite rectangles are copied. A window that
    // keeps no pixels of its own repaints from the stage, which always holds what it shows.
    m_cStage->RenderBitmap(m_hFormDC, 0, 0, SRCCOPY);
    SetRepaintSource(m_cStage->hDC());
    m_lFramePeriod = 1000 / TextToLong("50");

    m_sprites.clear();
    for (const auto& flake : m_cSnow)
        m_sprites.push_back(flake.get());
    for (const LightStringFields& light : m_lights)
        m_sprites.push_back(light.sprite.get());
    m_sprites.push_back(m_cSmoke.get());
    m_placements.assign(m_sprites.size(), cRedrawPlan::Placement{});
    m_plan = cRedrawPlan(m_sprites.size());
    m_bPlanHolds = false;
}

void frmSaver::RunFrame(bool paced) {
    const Long frameStart = static_cast<Long>(Host().GetTickCount());
    if (m_frameStep == FrameStep::Straight) {
        RunStraightStep();
    } else {
        RunPlannedStep();
    }
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

void frmSaver::RunStraightStep() {
    m_bPlanHolds = false;
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
    SnowMovePass(true);
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
}

void frmSaver::RunPlannedStep() {
    // A frame that broke off, or frames of the straight step, leave the plan behind the stage.
    if (!m_bPlanHolds)
        m_plan.Forget();
    m_bPlanHolds = false;
    const HDC stage = m_cStage->hDC();

    // Move and step first (the same draws of the random generator, the same counters): which
    // sprites must be redrawn depends on where every sprite goes. Lifting a sprite uses only its
    // last draw, so the restores may follow.
    SnowDirectionPass();
    SnowMovePass(false);
    for (LightStringFields& light : m_lights) {
        if (light.sprite->Active())
            BounceCell(*light.sprite, light.speed, light.count, light.up, kLightCells);
    }
    CycleCell(*m_cSmoke, m_iSmokeSpeed, m_iSmokeCount, kSmokeCells);

    const std::size_t count = m_sprites.size();
    for (std::size_t i = 0; i < count; ++i) {
        const cSprite& sprite = *m_sprites[i];
        m_placements[i] =
            cRedrawPlan::Placement{sprite.Active() != 0, sprite.X(),      sprite.Y(),
                                   sprite.Width(),       sprite.Height(), sprite.Cell()};
    }
    m_plan.Plan(m_placements);

    // The designed passes, each in the drawing order, for the sprites the plan names.
    for (std::size_t i = 0; i < count; ++i) {
        if (m_plan.MustRedraw(i))
            m_sprites[i]->RestoreBackground(stage);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (m_plan.MustRedraw(i))
            m_sprites[i]->StoreBackground(stage, m_placements[i].x, m_placements[i].y);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (m_plan.MustRedraw(i)) {
            const cRedrawPlan::Placement& at = m_placements[i];
            m_sprites[i]->TransparentDraw(stage, at.x, at.y, at.cell, kFalse);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (m_plan.MustRedraw(i))
            m_sprites[i]->StageToScreen(m_hFormDC, stage);
    }
    m_plan.Commit(m_placements);
    m_bPlanHolds = true;
}
