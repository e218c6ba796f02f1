// SPDX-License-Identifier: MIT
#pragma once
// The full-screen form on which the winter scene runs.
//
// Form_Load builds the whole scene in one pass (the static picture composed once into the stage
// bitmap, then 100 snowflakes, nine light strings and the chimney smoke as sprites), enters the
// running state, shows the form and runs the frame loop, which never returns while the saver
// runs: the program ends from the input handlers (through EndSaver) or on an error (through
// FatalMessage).

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "art/scene_manifest.h"
#include "platform/Form.h"
#include "platform/PictureBox.h"
#include "platform/TimerControl.h"
#include "platform/types.h"
#include "scene/cRedrawPlan.h"

class cBitmap;
class cSprite;
class cSpriteBitmaps;
class cTile;

class frmSaver : public Form {
  public:
    static constexpr int kSnowflakes = 100;
    // The pictures' cell counts and the strings, from the scene's manifest.
    static constexpr int kLightStrings = art::kLightStringCount;
    static constexpr Long kLightCells = art::kLightCells;
    static constexpr Long kSmokeCells = art::kSmokeCells;
    static constexpr Long kTransparentColour = 65280;  // pure green

    frmSaver();
    ~frmSaver() override;

    // The frame loop runs this many frames and returns (the snapshot tool and the tests);
    // unset, it runs until the program ends.
    void SetFrameLimit(std::optional<long> frames) { m_frameLimit = frames; }
    // Runs more frames of a loop that returned at its limit, with the same error trap.
    void RunMoreFrames(long frames);
    // The scenes on the host's other monitors, each on a form of its own, stepped by this
    // form's frame loop in every frame (empty with one monitor).
    const std::vector<std::unique_ptr<frmSaver>>& Companions() const { return m_companions; }

    // How a frame does its work. Straight: every active sprite is lifted, saved under, drawn and
    // copied to the window on every frame, pass by pass. Planned (the saver's): the same passes,
    // but a sprite that stands where it stood with the same cell, and that no redrawn sprite
    // touches, is left as it is; the window shows the same pixels after every frame.
    enum class FrameStep { Straight, Planned };
    void SetFrameStep(FrameStep step);
    FrameStep GetFrameStep() const { return m_frameStep; }

    // Cell stepping of the light strings (a bouncing sweep) and of the smoke (a loop). The hold
    // count, frame counter and direction are updated in place.
    static void BounceCell(cSprite& objSprite, Integer& iSpeed, Integer& iCount, Boolean& bUp,
                           Long lHighest);
    static void CycleCell(cSprite& objSprite, Integer& iSpeed, Integer& iCount, Long lHighest);
    // An Integer from low to high inclusive; stirs the clock into the generator first.
    Integer RandomBetween(Integer iLow, Integer iHigh);

    // For the snapshot tool and the tests: the scene as it stands.
    HDC StageDC() const;
    cSprite* Snowflake(int index) const { return m_cSnow[index].get(); }  // 0 to 99
    Integer SnowDepth(int index) const { return m_iSnowDepth[index]; }
    cSprite* LightString(int index) const;  // in the strings' order, 0 to 8
    cSprite* Landscape() const { return m_cLandscape.get(); }
    cSprite* Smoke() const { return m_cSmoke.get(); }
    Long ScreenWidth() const { return m_lScreenWidth; }
    Long ScreenHeight() const { return m_lScreenHeight; }
    long FramesRun() const { return m_framesRun; }

    // Designed controls that take no part in the behaviour.
    TimerControl TimerDisplay;
    PictureBox PictureBackground;

  protected:
    void Form_Load() override;
    // The system closes a window of the saver, or another program takes the foreground (it
    // would receive the keys meant to end the saver): the saver ends as on a key.
    void Form_QueryUnload(Integer& Cancel, Integer UnloadMode) override;
    void Form_ForegroundLost() override;
    void Form_KeyDown(Integer KeyCode, Integer Shift) override;
    void Form_MouseDown(Integer Button, Integer Shift, float X, float Y) override;
    void Form_MouseMove(Integer Button, Integer Shift, float X, float Y) override;

  private:
    // One light string: its five fields, and its picture file, place and start (the manifest).
    struct LightStringFields {
        std::shared_ptr<cSpriteBitmaps>& sheet;
        std::unique_ptr<cSprite>& sprite;
        Integer& speed;
        Integer& count;
        Boolean& up;
        const art::LightString& design;
    };

    // A scene on one of the other monitors: built and shown, its frames run by the first form.
    // It shares the first form's sprite sheets: they are read-only while the frames run.
    struct CompanionTag {};
    frmSaver(CompanionTag, frmSaver& first);

    // Steps of Form_Load.
    void LoadCompanions();
    void BuildScene();
    void SetUpSnowfall();
    void SetUpLights();
    void SetUpSmoke();
    // The frame loop: the steps before the first frame, then one frame at a time.
    void RunFrameLoop();
    void BeginFrames();
    // One frame; a paced frame also processes events and waits for the frame's deadline, an
    // unpaced one (a companion's) only moves and draws.
    void RunFrame(bool paced = true);
    void RunStraightStep();
    void RunPlannedStep();
    void RunFrames(std::optional<long> frames);
    void SnowDirectionPass();
    // Moves every active flake; with bStore it also saves the background under its new place.
    void SnowMovePass(bool bStore);

    void LoadSpriteBitmaps(std::shared_ptr<cSpriteBitmaps>& sheet, const std::string& sPath,
                           Long lXImageCount, Long lYImageCount, Long lTransColor);
    void CreateSprite(const std::shared_ptr<cSpriteBitmaps>& sheet,
                      std::unique_ptr<cSprite>& sprite);
    void PlaceRandomly(cSprite& objSprite);

    std::unique_ptr<cBitmap> m_cStage;
    std::unique_ptr<cTile> m_cBackground;
    std::shared_ptr<cSpriteBitmaps> m_cLandscapeBitmaps;
    std::unique_ptr<cSprite> m_cLandscape;
    std::shared_ptr<cSpriteBitmaps> m_cExtensionBitmaps;
    std::unique_ptr<cSprite> m_cExtension;
    std::shared_ptr<cSpriteBitmaps> m_cSnowBitmaps;
    std::array<std::unique_ptr<cSprite>, kSnowflakes> m_cSnow;
    std::array<Integer, kSnowflakes> m_iSnowDepth{};

    std::shared_ptr<cSpriteBitmaps> m_cRedLightBitmaps;
    std::unique_ptr<cSprite> m_cRedLight;
    Integer m_iRedLightSpeed = 0;
    Integer m_iRedLightCount = 0;
    Boolean m_bRedLightUp = kFalse;
    std::shared_ptr<cSpriteBitmaps> m_cRedBottomLightBitmaps;
    std::unique_ptr<cSprite> m_cRedBottomLight;
    Integer m_iRedBottomLightSpeed = 0;
    Integer m_iRedBottomLightCount = 0;
    Boolean m_bRedBottomLightUp = kFalse;
    std::shared_ptr<cSpriteBitmaps> m_cBlueLightBitmaps;
    std::unique_ptr<cSprite> m_cBlueLight;
    Integer m_iBlueLightSpeed = 0;
    Integer m_iBlueLightCount = 0;
    Boolean m_bBlueLightUp = kFalse;
    std::shared_ptr<cSpriteBitmaps> m_cYellowLightBitmaps;
    std::unique_ptr<cSprite> m_cYellowLight;
    Integer m_iYellowLightSpeed = 0;
    Integer m_iYellowLightCount = 0;
    Boolean m_bYellowLightUp = kFalse;
    std::shared_ptr<cSpriteBitmaps> m_cYellowBottomLightBitmaps;
    std::unique_ptr<cSprite> m_cYellowBottomLight;
    Integer m_iYellowBottomLightSpeed = 0;
    Integer m_iYellowBottomLightCount = 0;
    Boolean m_bYellowBottomLightUp = kFalse;
    std::shared_ptr<cSpriteBitmaps> m_cGreenLightBitmaps;
    std::unique_ptr<cSprite> m_cGreenLight;
    Integer m_iGreenLightSpeed = 0;
    Integer m_iGreenLightCount = 0;
    Boolean m_bGreenLightUp = kFalse;
    std::shared_ptr<cSpriteBitmaps> m_cWhiteLightBitmaps;
    std::unique_ptr<cSprite> m_cWhiteLight;
    Integer m_iWhiteLightSpeed = 0;
    Integer m_iWhiteLightCount = 0;
    Boolean m_bWhiteLightUp = kFalse;
    std::shared_ptr<cSpriteBitmaps> m_cPurpleLightBitmaps;
    std::unique_ptr<cSprite> m_cPurpleLight;
    Integer m_iPurpleLightSpeed = 0;
    Integer m_iPurpleLightCount = 0;
    Boolean m_bPurpleLightUp = kFalse;
    std::shared_ptr<cSpriteBitmaps> m_cPurpleBottomLightBitmaps;
    std::unique_ptr<cSprite> m_cPurpleBottomLight;
    Integer m_iPurpleBottomLightSpeed = 0;
    Integer m_iPurpleBottomLightCount = 0;
    Boolean m_bPurpleBottomLightUp = kFalse;
    // The nine strings in their fixed order: red, red bottom, blue, yellow, yellow bottom,
    // green, white, purple, purple bottom.
    std::array<LightStringFields, kLightStrings> m_lights;

    std::shared_ptr<cSpriteBitmaps> m_cSmokeBitmaps;
    std::unique_ptr<cSprite> m_cSmoke;
    Integer m_iSmokeSpeed = 0;
    Integer m_iSmokeCount = 0;

    Long m_lScreenWidth = 0;
    Long m_lScreenHeight = 0;
    // The pointer position the mouse-move handler recorded last, in twips.
    Long m_lLastMouseX = 0;
    Long m_lLastMouseY = 0;

    // The frame loop's locals, kept across frames.
    HDC m_hFormDC = 0;
    Long m_lFramePeriod = 0;
    std::optional<Integer> m_iSnowSpeed;  // the snow speed setting, converted on first use
    std::optional<long> m_frameLimit;
    long m_framesRun = 0;

    // The planned frame step: every sprite in drawing order (flakes, strings, smoke), where each
    // is to be drawn in this frame, and what was drawn where.
    FrameStep m_frameStep = FrameStep::Planned;
    std::vector<cSprite*> m_sprites;
    std::vector<cRedrawPlan::Placement> m_placements;
    cRedrawPlan m_plan;
    // False while a planned frame is under way (or broke off, or the straight step drew): the
    // plan no longer knows what the stage shows, and the next planned frame redraws everything.
    bool m_bPlanHolds = false;

    bool m_isCompanion = false;
    std::vector<std::unique_ptr<frmSaver>> m_companions;
    // The sheets loaded so far, by file path; a companion takes them from the first form.
    std::map<std::string, std::shared_ptr<cSpriteBitmaps>> m_sheets;
    frmSaver* m_sheetOwner = this;
};
