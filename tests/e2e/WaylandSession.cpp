// SPDX-License-Identifier: MIT
#include "tests/e2e/WaylandSession.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

// The PNG reader for weston's screenshots, private to this file (the program's own decoder
// reads only bitmap files).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The other end-to-end tests run the X11 saver on X servers of their own, with the environment
// of the test program: started from a Wayland session, the saver would choose its Wayland
// backend and cover the user's own desktop. The Wayland tests name their compositors themselves.
const bool g_noWaylandSessionInherited = [] {
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("WAYLAND_SOCKET");
    return true;
}();

// The unprivileged user of Unprivileged().
constexpr uid_t kUser = 65534;
constexpr gid_t kGroup = 65534;

// Gives a folder and everything in it to the session's user (when the tests run as root).
void GiveToUser(const std::string& path) {
    if (geteuid() != 0)
        return;
    ::lchown(path.c_str(), kUser, kGroup);
    for (const auto& entry : fs::recursive_directory_iterator(path))
        ::lchown(entry.path().c_str(), kUser, kGroup);
}

Picture ReadPpm(const std::string& path) {
    Picture picture;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    in >> magic >> picture.width >> picture.height >> maximum;
    in.get();
    if (!in || magic != "P6" || maximum != 255 || picture.width <= 0 || picture.height <= 0)
        return {};
    std::vector<unsigned char> rgb(static_cast<size_t>(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    if (!in)
        return {};
    picture.pixels.reserve(rgb.size() / 3);
    for (size_t i = 0; i < rgb.size(); i += 3)
        picture.pixels.push_back(
            static_cast<std::uint32_t>(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]));
    return picture;
}

Picture ReadPng(const std::string& path) {
    Picture picture;
    int channels = 0;
    unsigned char* rgb = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
    if (rgb == nullptr)
        return {};
    const size_t count = static_cast<size_t>(picture.width) * picture.height;
    for (size_t i = 0; i < count; ++i) {
        picture.pixels.push_back(
            static_cast<std::uint32_t>(rgb[i * 3] << 16 | rgb[i * 3 + 1] << 8 | rgb[i * 3 + 2]));
    }
    stbi_image_free(rgb);
    return picture;
}

}  // namespace

bool WaylandSession::MustStart() {
    return geteuid() == 0;
}

WaylandSession::WaylandSession(Compositor compositor, const std::string& configLines, int width,
                               int height)
    : m_compositor(compositor) {
    // The folder is the session user's way to its runtime folder and pictures.
    chmod(m_folder.Path().c_str(), 0755);
    m_runtime = m_folder.File("runtime");
    fs::create_directories(m_runtime);
    chmod(m_runtime.c_str(), 0700);
    GiveToUser(m_runtime);
    std::vector<std::string> environment{"XDG_RUNTIME_DIR=" + m_runtime,
                                         "DISPLAY=", "WAYLAND_DISPLAY=", "HOME=" + m_runtime};
    if (compositor == Compositor::Sway) {
        environment.push_back("WLR_BACKENDS=headless");
        StartSway(configLines, environment);
        return;
    }
    m_socket = m_runtime + "/wayland-glimmerdel";
    // The GL renderer (Mesa's software rasteriser): with the pixman renderer, weston 10's
    // screenshots come out empty while a fullscreen window covers the output.
    const std::vector<std::string> argv{"weston",
                                        "--backend=headless-backend.so",
                                        "--use-gl",
                                        "--debug",
                                        "--idle-time=0",
                                        "--socket=wayland-glimmerdel",
                                        "--width=" + std::to_string(width),
                                        "--height=" + std::to_string(height)};
    m_pid = StartProcess(Unprivileged(argv), environment, m_folder.File("compositor.log"));
    if (!WaitReady())
        Kill();
}

WaylandSession::WaylandSession(const WaylandSession& outer, int outputs,
                               const std::string& configLines)
    : m_compositor(Compositor::Sway) {
    chmod(m_folder.Path().c_str(), 0755);
    m_runtime = m_folder.File("runtime");
    fs::create_directories(m_runtime);
    chmod(m_runtime.c_str(), 0700);
    GiveToUser(m_runtime);
    StartSway(configLines, {"XDG_RUNTIME_DIR=" + m_runtime, "DISPLAY=",
                            "WAYLAND_DISPLAY=" + outer.SocketPath(), "HOME=" + m_runtime,
                            "WLR_BACKENDS=wayland", "WLR_WL_OUTPUTS=" + std::to_string(outputs)});
}

void WaylandSession::StartSway(const std::string& configLines,
                               std::vector<std::string> environment) {
    // No X server, no borders; the tests' window and the outputs of a sway inside float at the
    // top left.
    m_folder.Write("sway.conf",
                   "xwayland disable\n"
                   "default_border none\n"
                   "default_floating_border none\n"
                   "for_window [app_id=\"glimmerdel-test-window\"] floating enable, move position "
                   "0 0\n"
                   "for_window [app_id=\"wlroots\"] floating enable\n" +
                       configLines);
    chmod(m_folder.File("sway.conf").c_str(), 0644);
    environment.insert(environment.end(), {"WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1"});
    m_pid = StartProcess(Unprivileged({"sway", "-c", m_folder.File("sway.conf")}), environment,
                         m_folder.File("compositor.log"));
    if (!WaitReady())
        Kill();
}

WaylandSession::~WaylandSession() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        if (!WaitProcess(m_pid, 5s)) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
}

bool WaylandSession::WaitReady() {
    return WaitUntil([&] {
               if (WaitProcess(m_pid, 0ms)) {
                   m_pid = -1;  // it ended
                   return true;
               }
               if (m_compositor == Compositor::Sway) {
                   if (m_socket.empty() || m_swaySocket.empty()) {
                       for (const auto& entry : fs::directory_iterator(m_runtime)) {
                           const std::string name = entry.path().filename();
                           if (name.rfind("wayland-", 0) == 0 &&
                               name.find(".lock") == std::string::npos)
                               m_socket = entry.path();
                           if (name.rfind("sway-ipc.", 0) == 0)
                               m_swaySocket = entry.path();
                       }
                   }
                   return !m_socket.empty() && !m_swaySocket.empty() && !Outputs().empty();
               }
               return fs::exists(m_socket) &&
                      Run({GLIMMERDEL_WAYLAND_TEST_CLIENT, "check"}).status == 0;
           }) &&
           m_pid > 0;
}

std::string WaylandSession::Log() const {
    return m_folder.Read("compositor.log");
}

void WaylandSession::Kill() {
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

std::vector<std::string> WaylandSession::Environment() const {
    std::vector<std::string> environment{
        "XDG_RUNTIME_DIR=" + m_runtime, "WAYLAND_DISPLAY=" + fs::path(m_socket).filename().string(),
        "DISPLAY=", "HOME=" + m_runtime};
    if (!m_swaySocket.empty())
        environment.push_back("SWAYSOCK=" + m_swaySocket);
    return environment;
}

std::string WaylandSession::SocketPath() const {
    return m_socket;
}

WaylandSession::Output WaylandSession::Run(const std::vector<std::string>& argv,
                                           std::chrono::milliseconds timeout) const {
    return RunForOutput(Unprivileged(argv), Environment(), timeout);
}

pid_t WaylandSession::Start(const std::vector<std::string>& argv,
                            const std::vector<std::string>& extraEnvironment,
                            const std::string& errorFile) const {
    std::vector<std::string> environment = Environment();
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    return StartProcess(Unprivileged(argv), environment, errorFile);
}

bool WaylandSession::Sway(const std::string& command) const {
    const Output output = Run({"swaymsg", command});
    return output.status == 0 && output.text.find("\"success\": true") != std::string::npos;
}

std::vector<std::string> WaylandSession::Outputs() const {
    // swaymsg's plain listing: "Output NAME 'description'" for each output.
    std::vector<std::string> names;
    std::istringstream lines(Run({"swaymsg", "-p", "-t", "get_outputs"}).text);
    std::string line;
    bool active = false;
    std::string name;
    while (std::getline(lines, line)) {
        if (line.rfind("Output ", 0) == 0) {
            if (!name.empty() && active)
                names.push_back(name);
            name = line.substr(7, line.find(' ', 7) - 7);
            active = line.find("(inactive)") == std::string::npos;
        }
    }
    if (!name.empty() && active)
        names.push_back(name);
    return names;
}

Picture WaylandSession::Capture(const std::string& output, bool withPointer) const {
    const std::string file = m_runtime + "/capture.ppm";
    std::vector<std::string> argv{"grim", "-t", "ppm", "-o", output};
    if (withPointer)
        argv.push_back("-c");
    argv.push_back(file);
    if (Run(argv).status != 0)
        return {};
    Picture picture = ReadPpm(file);
    fs::remove(file);
    return picture;
}

Picture WaylandSession::Screenshot() const {
    // weston writes wayland-screenshot-<time>.png into the folder it is started in.
    const std::string folder = m_runtime + "/shots";
    fs::remove_all(folder);
    fs::create_directories(folder);
    GiveToUser(folder);
    if (Run({"sh", "-c", "cd '" + folder + "' && exec weston-screenshooter"}).status != 0)
        return {};
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".png")
            return ReadPng(entry.path());
    }
    return {};
}

bool WaylandSession::Key(const std::string& key) const {
    // The sleep first: the saver binds the new keyboard before the key comes.
    return Run({"wtype", "-s", "300", "-k", key}).status == 0;
}

bool WaylandSession::Pointer(const std::vector<std::string>& steps) const {
    std::vector<std::string> argv{GLIMMERDEL_WAYLAND_TEST_CLIENT, "pointer"};
    argv.insert(argv.end(), steps.begin(), steps.end());
    return Run(argv).status == 0;
}

pid_t WaylandSession::HoldPointer(const std::vector<std::string>& steps) const {
    const std::string mark = m_runtime + "/pointer-moved";
    fs::remove(mark);
    std::vector<std::string> argv{GLIMMERDEL_WAYLAND_TEST_CLIENT, "pointer"};
    argv.insert(argv.end(), steps.begin(), steps.end());
    argv.insert(argv.end(), {"mark", mark, "wait", "600000"});
    const pid_t pid = Start(argv);
    if (WaitUntil([&] { return fs::exists(mark) || WaitProcess(pid, 0ms).has_value(); }) &&
        fs::exists(mark)) {
        return pid;
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

WaylandSaver::WaylandSaver() {
    chmod(m_program.Folder().Path().c_str(), 0755);
    GiveToUser(m_program.Folder().Path());
}

WaylandSaver::~WaylandSaver() {
    if (Running()) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

void WaylandSaver::SwitchEffectsOff() {
    std::string settings = m_program.Folder().Read("vantroglimmerdel.ini");
    for (const char* key : {"lights=", "chimneysmoke=", "snowing="}) {
        const size_t at = settings.find(key);
        const size_t end = settings.find('\n', at);
        if (at != std::string::npos)
            settings.replace(at, end - at, std::string(key) + "0");
    }
    m_program.Folder().Write("vantroglimmerdel.ini", settings);
    GiveToUser(m_program.Folder().Path());
}

Picture WaylandSaver::Snapshot(int width, int height) const {
    const std::string out = m_program.Folder().File("expected.ppm");
    const pid_t tool = StartProcess(
        {std::string(GLIMMERDEL_PROGRAM_DIR) + "/glimmerdel-snapshot", "--folder",
         m_program.Folder().Path(), "--size", std::to_string(width) + "x" + std::to_string(height),
         "--frames", "0", "--out", out},
        {});
    if (WaitProcess(tool, 120s) != 0)
        return {};
    Picture picture = ReadPpm(out);
    fs::remove(out);
    return picture;
}

void WaylandSaver::Start(const WaylandSession& session, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> argv{m_program.Folder().File("glimmerdel")};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    m_status.reset();
    m_pid = session.Start(argv, extraEnvironment, m_program.Folder().File("stderr.txt"));
}

void WaylandSaver::StartAlone(const std::vector<std::string>& arguments,
                              const std::vector<std::string>& environment) {
    std::vector<std::string> argv{m_program.Folder().File("glimmerdel")};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    m_status.reset();
    m_pid = StartProcess(argv, environment, m_program.Folder().File("stderr.txt"));
}

std::optional<int> WaylandSaver::WaitExit(std::chrono::milliseconds timeout) {
    if (!m_status && m_pid > 0)
        m_status = WaitProcess(m_pid, timeout);
    return m_status;
}

bool WaylandSaver::Running() {
    return m_pid > 0 && !WaitExit(0ms).has_value();
}

std::string WaylandSaver::ErrorOutput() const {
    return m_program.Folder().Read("stderr.txt");
}

void WaylandSaver::Signal(int signal) {
    if (m_pid > 0)
        kill(m_pid, signal);
}

long PixelDifferences(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height)
        return -1;
    long count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        count += a.pixels[i] != b.pixels[i];
    return count;
}
