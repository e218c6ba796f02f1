#pragma once
// Tests of the scene: the headless host, a private program folder whose data folder links to
// the built pictures (a picture can be left out), and the saver form.

#include <filesystem>
#include <string>
#include <vector>

#include "app/mScreenSaver.h"
#include "art/scene_manifest.h"
#include "platform/gdi.h"
#include "platform/headless/HeadlessBacking.h"
#include "scene/frmSaver.h"
#include "tests/support/HostFixture.h"
#include "tests/support/TempDir.h"

class SceneFixture : public HostFixture {
  protected:
    SceneFixture() {
        host.SetAppPath(folder.Path());
        host.SetScreenPixels(1024, 600);
        std::filesystem::create_directories(folder.File("vurezezideriru/glimmerdel"));
        for (const art::ScenePicture& picture : art::kScenePictures)
            LinkPicture(picture.file);
        WriteSettings("1", "1", "1", "3", "2", "4");
        g_frmSaver = &saver;
    }
    ~SceneFixture() override { g_frmSaver = nullptr; }

    void LinkPicture(const std::string& name) {
        // A copy where the system has no links for everyone (Windows).
        std::error_code error;
        std::filesystem::create_symlink(
            std::string(GLIMMERDEL_PROGRAM_DIR) + "/vurezezideriru/glimmerdel/" + name,
            folder.File("vurezezideriru/glimmerdel/" + name), error);
        if (!error)
            return;
        std::filesystem::copy_file(
            std::string(GLIMMERDEL_PROGRAM_DIR) + "/vurezezideriru/glimmerdel/" + name,
            folder.File("vurezezideriru/glimmerdel/" + name));
    }
    void RemovePicture(const std::string& name) {
        std::filesystem::remove(folder.File("vurezezideriru/glimmerdel/" + name));
    }
    void WriteSettings(const std::string& lights, const std::string& smoke, const std::string& snow,
                       const std::string& lightSpeed, const std::string& smokeSpeed,
                       const std::string& snowSpeed) {
        folder.Write("vantroglimmerdel.ini",
                     "[controls]\nlights=" + lights + "\nchimneysmoke=" + smoke + "\nsnowing=" +
                         snow + "\nlightspeed=" + lightSpeed + "\nsmokespeed=" + smokeSpeed +
                         "\nsnowspeed=" + snowSpeed + "\n[applic]\nappdisplay=0\n");
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
        HeadlessBacking* backing = host.BackingOf(saver);
        return std::vector<std::uint32_t>(
            backing->Pixels(),
            backing->Pixels() + static_cast<size_t>(backing->Width()) * backing->Height());
    }

    TempDir folder;
    frmSaver saver;
};
