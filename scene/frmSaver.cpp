// SPDX-License-Identifier: MIT
// The animation form: its design, the scene's set-up and the input handlers.

#include "scene/frmSaver.h"

#include <cmath>

#include "app/mScreenSaver.h"
#include "gfx/cBitmap.h"
#include "gfx/cSprite.h"
#include "gfx/cSpriteBitmaps.h"
#include "gfx/cTile.h"
#include "platform/HostServices.h"
#include "platform/numbers.h"

frmSaver::frmSaver()
    : Form("frmSaver"),
      TimerDisplay(*this, "TimerDisplay", 1000, true),
      PictureBackground(*this, nullptr, "PictureBackground"),
      m_lights{{
          {m_cRedLightBitmaps, m_cRedLight, m_iRedLightSpeed, m_iRedLightCount, m_bRedLightUp,
           art::kLightStrings[art::kRedLight]},
          {m_cRedBottomLightBitmaps, m_cRedBottomLight, m_iRedBottomLightSpeed,
           m_iRedBottomLightCount, m_bRedBottomLightUp, art::kLightStrings[art::kRedBottomLight]},
          {m_cBlueLightBitmaps, m_cBlueLight, m_iBlueLightSpeed, m_iBlueLightCount, m_bBlueLightUp,
           art::kLightStrings[art::kBlueLight]},
          {m_cYellowLightBitmaps, m_cYellowLight, m_iYellowLightSpeed, m_iYellowLightCount,
           m_bYellowLightUp, art::kLightStrings[art::kYellowLight]},
          {m_cYellowBottomLightBitmaps, m_cYellowBottomLight, m_iYellowBottomLightSpeed,
           m_iYellowBottomLightCount, m_bYellowBottomLightUp,
           art::kLightStrings[art::kYellowBottomLight]},
          {m_cGreenLightBitmaps, m_cGreenLight, m_iGreenLightSpeed, m_iGreenLightCount,
           m_bGreenLightUp, art::kLightStrings[art::kGreenLight]},
          {m_cWhiteLightBitmaps, m_cWhiteLight, m_iWhiteLightSpeed, m_iWhiteLightCount,
           m_bWhiteLightUp, art::kLightStrings[art::kWhiteLight]},
          {m_cPurpleLightBitmaps, m_cPurpleLight, m_iPurpleLightSpeed, m_iPurpleLightCount,
           m_bPurpleLightUp, art::kLightStrings[art::kPurpleLight]},
          {m_cPurpleBottomLightBitmaps, m_cPurpleBottomLight, m_iPurpleBottomLightSpeed,
           m_iPurpleBottomLightCount, m_bPurpleBottomLightUp,
           art::kLightStrings[art::kPurpleBottomLight]},
      }} {
    // No border and no title bar, so that the form can cover the whole screen; drawing on its
    // DC goes straight to the window; it takes the keyboard while it runs.
    SetBorder(BorderStyle::Borderless);
    SetCaption("Form1");
    SetGrabsKeyboard(true);
    PictureBackground.SetVisible(false);
}

frmSaver::frmSaver(CompanionTag, frmSaver& first) : frmSaver() {
    m_isCompanion = true;
    m_sheetOwner = &first;
    m_frameLimit = 0;  // its frames are run by the first form's loop
}

frmSaver::~frmSaver() {
    // The other monitors' scenes go first, while this form's window still stands.
    m_companions.clear();
    SetRepaintSource(0);
}

HDC frmSaver::StageDC() const {
    return m_cStage ? m_cStage->hDC() : 0;
}

cSprite* frmSaver::LightString(int index) const {
    return m_lights[index].sprite.get();
}

void frmSaver::Form_Load() {
    try {
        if (!m_isCompanion) {
            Host().SelectMonitor(0);
            m_sheets.clear();  // a new load reads the pictures afresh
        }
        BuildScene();
        // Enter the running state, show the form and animate.
        if (!m_isCompanion) {
            AllowSystemKeys(kFalse);
            SetSaverTopmost(kTrue);
            HideTaskbar(kTrue);
        }
        Show();
        Refresh();
        if (!m_isCompanion)
            LoadCompanions();
    } catch (const std::exception&) {
        FatalMessage(MissingFilesMessage());
        return;
    }
    RunFrameLoop();
}

void frmSaver::LoadCompanions() {
    // Every other monitor gets a scene composed for its own size; their frames run in this
    // form's loop, so one frame loop drives them all.
    m_companions.clear();
    for (int monitor = 1; monitor < Host().MonitorCount(); ++monitor) {
        Host().SelectMonitor(monitor);
        m_companions.push_back(std::unique_ptr<frmSaver>(new frmSaver(CompanionTag{}, *this)));
        m_companions.back()->Load();
    }
    Host().SelectMonitor(0);
}

void frmSaver::BuildScene() {
    // Nothing to repaint from until the new stage is on the window.
    SetRepaintSource(0);
    // The whole screen.
    SetWidth(Host().ScreenWidthTwips());
    SetHeight(Host().ScreenHeightTwips());
    SetWindowState(WindowState::Maximized);
    const Long screenWidth = TwipsToPixels(Host().ScreenWidthTwips(), Host().TwipsPerPixelX());
    const Long screenHeight = TwipsToPixels(Host().ScreenHeightTwips(), Host().TwipsPerPixelY());

    // The settings, in the order of the file.
    ReadSetting("controls", "lights", g_lights, IniPath());
    ReadSetting("controls", "chimneysmoke", g_chimneySmoke, IniPath());
    ReadSetting("controls", "snowing", g_snowing, IniPath());
    ReadSetting("controls", "lightspeed", g_lightSpeed, IniPath());
    ReadSetting("controls", "smokespeed", g_smokeSpeed, IniPath());
    ReadSetting("controls", "snowspeed", g_snowSpeed, IniPath());

    // Without the sky picture nothing else is worth loading.
    if (Host().Dir(DataFolder() + art::kSkyPicture) != art::kSkyPicture) {
        FatalMessage(MissingFilesMessage());
    }

    // The sky, tiled over the whole stage.
    m_cBackground = std::make_unique<cTile>();
    m_cBackground->Initialise(this);
    m_cBackground->Filename(DataFolder() + art::kSkyPicture);
    m_cStage = std::make_unique<cBitmap>();
    m_cStage->CreateAtSize(screenWidth, screenHeight);
    m_cBackground->TileDC(m_cStage->hDC(), screenWidth, screenHeight);
    // The sky is read only here (a new scene loads it again): its pixels need not stay.
    m_cBackground->Filename("");

    // The landscape at the bottom left.
    LoadSpriteBitmaps(m_cLandscapeBitmaps, DataFolder() + art::kLandscapePicture, 1, 1,
                      kTransparentColour);
    CreateSprite(m_cLandscapeBitmaps, m_cLandscape);
    m_cLandscape->TransparentDraw(m_cStage->hDC(), 0, screenHeight - m_cLandscape->Height(), 1,
                                  kFalse);
    m_cLandscape->SetX(0);
    m_cLandscape->SetY(screenHeight - m_cLandscape->Height());

    // The ground strip, stamped to the right of the landscape up to the right edge.
    LoadSpriteBitmaps(m_cExtensionBitmaps, DataFolder() + art::kExtensionPicture, 1, 1,
                      kTransparentColour);
    CreateSprite(m_cExtensionBitmaps, m_cExtension);
    Long x = m_cLandscape->X() + m_cLandscape->Width();
    while (x <= screenWidth && m_cExtension->Width() > 0) {
        m_cExtension->TransparentDraw(m_cStage->hDC(), x, screenHeight - m_cExtension->Height(), 1,
                                      kFalse);
        x += m_cExtension->Width();
    }

    SetUpSnowfall();
    SetUpLights();
    SetUpSmoke();
}

void frmSaver::Form_QueryUnload(Integer& Cancel, Integer UnloadMode) {
    Cancel = 1;
    // Once the saver form is unloaded the end is under way: what the system sends the other
    // monitors' windows meanwhile (showing the taskbar may move the foreground) starts no
    // second one.
    if (!g_frmSaver->Loaded())
        return;
    // Neither returns once it has ended the program.
    if (UnloadMode == vbAppWindows) {
        EndSaverAtSessionEnd();
    } else {
        EndSaver();
    }
    // Back here only when the password was refused: the saver goes on.
}

void frmSaver::Form_ForegroundLost() {
    if (g_frmSaver->Loaded())
        EndSaver();
}

void frmSaver::Form_KeyDown(Integer, Integer) {
    EndSaver();
}

void frmSaver::Form_MouseDown(Integer, Integer, float, float) {
    EndSaver();
}

void frmSaver::Form_MouseMove(Integer, Integer, float X, float Y) {
    const float dx = std::fabs(X - static_cast<float>(m_lLastMouseX));
    const float dy = std::fabs(Y - static_cast<float>(m_lLastMouseY));
    // The first move after the form opens only records the position, as does any move while
    // the recorded position lies on the left column or the top row.
    const bool counted = (dx > 3 || dy > 3) && m_lLastMouseX > 0 && m_lLastMouseY > 0;
    m_lLastMouseX = static_cast<Long>(RoundHalfEven(X));
    m_lLastMouseY = static_cast<Long>(RoundHalfEven(Y));
    if (counted)
        CountMouseMove();
}

Integer frmSaver::RandomBetween(Integer iLow, Integer iHigh) {
    Host().Randomize();
    const double r = Host().Rnd();
    return static_cast<Integer>(std::floor((iHigh - iLow + 1) * r) + iLow);
}

void frmSaver::LoadSpriteBitmaps(std::shared_ptr<cSpriteBitmaps>& sheet, const std::string& sPath,
                                 Long lXImageCount, Long lYImageCount, Long lTransColor) {
    // Every monitor's scene draws from the same sheets: loaded once, and one copy of each
    // cell in the caches however many monitors there are.
    std::shared_ptr<cSpriteBitmaps>& loaded = m_sheetOwner->m_sheets[sPath];
    if (!loaded) {
        loaded = std::make_shared<cSpriteBitmaps>();
        loaded->CreateFromFile(sPath, lXImageCount, lYImageCount, "", lTransColor);
    }
    sheet = loaded;
}

void frmSaver::CreateSprite(const std::shared_ptr<cSpriteBitmaps>& sheet,
                            std::unique_ptr<cSprite>& sprite) {
    sprite = std::make_unique<cSprite>();
    sprite->SpriteData(sheet);
    sprite->Create(hDC());
}

void frmSaver::PlaceRandomly(cSprite& objSprite) {
    const double r1 = Host().Rnd();
    const double r2 = Host().Rnd();
    objSprite.SetX(ToLong(r1 * ClientWidthPixels()));
    objSprite.SetY(ToLong(r2 * ClientHeightPixels()));
}
