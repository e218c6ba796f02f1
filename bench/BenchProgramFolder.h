#pragma once
// A program folder of a benchmark's own, removed again at the end: the settings file with every
// effect on or off (the delivered speeds, no e-mail prompt) and the built pictures, linked.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

class BenchProgramFolder {
  public:
    explicit BenchProgramFolder(bool on = true) {
        char pattern[] = "/tmp/glimmerdel-bench-XXXXXX";
        m_path = mkdtemp(pattern);
        const std::string s = on ? "1" : "0";
        std::ofstream(m_path + "/vantroglimmerdel.ini")
            << "[controls]\nlights=" << s << "\nchimneysmoke=" << s << "\nsnowing=" << s
            << "\nlightspeed=3\nsmokespeed=2\nsnowspeed=4\n[applic]\nappdisplay=0\n";
        std::filesystem::create_directories(m_path + "/vurezezideriru");
        std::filesystem::create_directory_symlink(
            std::string(GLIMMERDEL_PROGRAM_DIR) + "/vurezezideriru/glimmerdel",
            m_path + "/vurezezideriru/glimmerdel");
    }
    ~BenchProgramFolder() { std::filesystem::remove_all(m_path); }
    BenchProgramFolder(const BenchProgramFolder&) = delete;
    BenchProgramFolder& operator=(const BenchProgramFolder&) = delete;

    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};
