// SPDX-License-Identifier: MIT
#include "tests/e2e/XorgDummyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stb/stb_image_write.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace std::chrono_literals;

namespace {

// Room for an L of a 3840 x 2160 monitor and two more.
constexpr const char* kConfig = R"(Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 262144
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 7680 4320
    EndSubSection
EndSection
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
)";

}  // namespace

XorgDummyServer::XorgDummyServer() {
    if (geteuid() != 0)
        return;
    m_folder.Write("xorg.conf", kConfig);
    int fds[2];
    if (pipe(fds) != 0)
        return;
    const pid_t pid = fork();
    if (pid == 0) {
        // The server writes the display number it chose on descriptor 3. The pipe's read end
        // may itself be descriptor 3 (when the test's standard streams are its only open
        // files): the dup2 replaces it then, and it must not be closed again.
        dup2(fds[1], 3);
        if (fds[0] != 3)
            close(fds[0]);
        if (fds[1] != 3)
            close(fds[1]);
        const int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        const std::string config = m_folder.File("xorg.conf");
        const std::string log = m_folder.File("Xorg.log");
        execlp("Xorg", "Xorg", "-displayfd", "3", "-config", config.c_str(), "-logfile",
               log.c_str(), "-nolisten", "tcp", "-noreset", "-novtswitch", "-sharevts",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    // The number comes once the server accepts connections (a few seconds on a busy machine).
    pollfd wait{fds[0], POLLIN, 0};
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
        if (poll(&wait, 1, 100) > 0) {
            const ssize_t n = read(fds[0], &c, 1);
            if (n <= 0 || c == '\n')
                break;
            number += c;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            break;
    }
    close(fds[0]);
    if (number.empty()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return;
    }
    m_pid = pid;
    m_display = ":" + number;
}

XorgDummyServer::~XorgDummyServer() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        if (!WaitProcess(m_pid, 10s)) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
}

std::string XorgDummyServer::Run(const std::vector<std::string>& argv) const {
    return OutputOf(argv, m_display);
}

bool XorgDummyServer::Arrange(const std::vector<Monitor>& monitors) {
    std::vector<std::string> command{"xrandr"};
    for (size_t i = 0; i < 16; ++i) {
        const std::string output = "DUMMY" + std::to_string(i);
        if (i >= monitors.size()) {
            command.insert(command.end(), {"--output", output, "--off"});
            continue;
        }
        const Monitor& m = monitors[i];
        // A mode of its own for each size: timings that the dummy driver takes (25 Hz keeps
        // the pixel clock of large modes within its limits).
        const std::string name = "t" + std::to_string(m.width) + "x" + std::to_string(m.height);
        if (std::find(m_modes.begin(), m_modes.end(), name) == m_modes.end()) {
            const int htotal = m.width + 160;
            const int vtotal = m.height + 30;
            std::ostringstream clock;
            clock << static_cast<double>(htotal) * vtotal * 25 / 1e6;
            Run({"xrandr", "--newmode", name, clock.str(), std::to_string(m.width),
                 std::to_string(m.width + 48), std::to_string(m.width + 80), std::to_string(htotal),
                 std::to_string(m.height), std::to_string(m.height + 3),
                 std::to_string(m.height + 8), std::to_string(vtotal), "-hsync", "+vsync"});
            m_modes.push_back(name);
        }
        Run({"xrandr", "--addmode", output, name});
        command.insert(command.end(), {"--output", output, "--mode", name, "--pos",
                                       std::to_string(m.x) + "x" + std::to_string(m.y)});
    }
    Run(command);
    // The server's own view, as "--listmonitors" prints it: " 0: +*DUMMY0 1280/339x720/190+0+0".
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        const std::string listed = Run({"xrandr", "--listmonitors"});
        bool all = listed.find("Monitors: " + std::to_string(monitors.size())) != std::string::npos;
        for (const Monitor& m : monitors) {
            const std::string place = "+" + std::to_string(m.x) + "+" + std::to_string(m.y);
            const std::string width = " " + std::to_string(m.width) + "/";
            const std::string height = "x" + std::to_string(m.height) + "/";
            all = all && listed.find(place) != std::string::npos &&
                  listed.find(width) != std::string::npos &&
                  listed.find(height) != std::string::npos;
        }
        if (all)
            return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

XvfbServer::Picture XorgDummyServer::Capture() const {
    XvfbServer::Picture picture;
    ::Display* d = XOpenDisplay(m_display.c_str());
    if (d == nullptr)
        return picture;
    const Window root = DefaultRootWindow(d);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(d, root, &attributes)) {
        XImage* image = XGetImage(d, root, 0, 0, static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        if (image != nullptr) {
            picture.width = attributes.width;
            picture.height = attributes.height;
            picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
            for (int y = 0; y < picture.height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(
                    image->data + static_cast<size_t>(y) * image->bytes_per_line);
                for (int x = 0; x < picture.width; ++x)
                    picture.pixels[static_cast<size_t>(y) * picture.width + x] = row[x] & 0xFFFFFF;
            }
            XDestroyImage(image);
        }
    }
    XCloseDisplay(d);
    return picture;
}

std::vector<unsigned long> XorgDummyServer::FindWindows(const std::string& name, size_t count,
                                                        std::chrono::milliseconds timeout) const {
    std::vector<unsigned long> found;
    ::Display* d = XOpenDisplay(m_display.c_str());
    if (d == nullptr)
        return found;
    WaitUntil(
        [&] {
            found = WindowsNamed(d, name, true);
            return found.size() == count;
        },
        timeout);
    XCloseDisplay(d);
    return found;
}

bool XorgDummyServer::PointerHidden() const {
    return PointerHiddenOn(m_display);
}

void XorgDummyServer::SaveJpeg(const XvfbServer::Picture& picture,
                               const std::vector<Monitor>& monitors, const std::string& path) {
    std::vector<unsigned char> rgb(picture.pixels.size() * 3, 0);
    for (const Monitor& m : monitors) {
        for (int y = m.y; y < m.y + m.height; ++y) {
            for (int x = m.x; x < m.x + m.width; ++x) {
                const size_t i = static_cast<size_t>(y) * picture.width + x;
                rgb[i * 3] = static_cast<unsigned char>(picture.pixels[i] >> 16);
                rgb[i * 3 + 1] = static_cast<unsigned char>(picture.pixels[i] >> 8);
                rgb[i * 3 + 2] = static_cast<unsigned char>(picture.pixels[i]);
            }
        }
    }
    stbi_write_jpg(path.c_str(), picture.width, picture.height, 3, rgb.data(), 90);
}
