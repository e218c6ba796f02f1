// SPDX-License-Identifier: MIT
#pragma once
// Tests of the scene: the headless saver (its own host, installed for the whole test) in a
// private program folder whose data folder links to the built pictures (a picture can be left
// out).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/mScreenSaver.h"
#include "art/scene_manifest.h"
#include "platform/gdi.h"
#include "tools/harness/HeadlessSaver.h"
#include "tools/harness/SceneFolder.h"

class SceneFixture : public ::testing::Test {
  protected:
    SceneFixture() { host.SetScreenPixels(1024, 600); }

    void LinkPicture(const std::string& name) { folder.LinkPicture(name); }
    void RemovePicture(const std::string& name) { folder.RemovePicture(name); }
    void WriteSettings(const std::string& lights, const std::string& smoke, const std::string& snow,
                       const std::string& lightSpeed, const std::string& smokeSpeed,
                       const std::string& snowSpeed) {
        folder.WriteControls({lights, smoke, snow, lightSpeed, smokeSpeed, snowSpeed});
    }
    // Loads the saver form (its set-up and the given number of frames); true when the program
    // ended (through the missing-files message).
    bool Run(long frames) {
        saver.SetFrameLimit(frames);
        try {
            saver.Load();
        } catch (const ProgramEnded&) {
            return true;
        }
        return false;
    }
    // Pixels of a DC's surface (the stage) or of the window.
    std::vector<std::uint32_t> Pixels(HDC hDC, int width, int height) {
        std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
        EXPECT_TRUE(gdi::ReadPixels(hDC, 0, 0, width, height, pixels.data()));
        return pixels;
    }
    std::vector<std::uint32_t> Window() {
        HeadlessBacking* backing = running.Window();
        return std::vector<std::uint32_t>(
            backing->Pixels(),
            backing->Pixels() + static_cast<size_t>(backing->Width()) * backing->Height());
    }

    SceneFolder folder;
    HeadlessSaver running{folder.Path()};
    HeadlessHost& host = running.Host();
    frmSaver& saver = running.Saver();

  private:
    std::unique_ptr<ScopedInstall> m_installed = running.Install();
};
