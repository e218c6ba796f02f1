// SPDX-License-Identifier: MIT
#include "tests/e2e/XSession.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& errorFile = "") {
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    for (const std::string& assignment : env)
        putenv(const_cast<char*>(assignment.c_str()));
    const int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, 0);
    dup2(devnull, 1);
    if (errorFile.empty()) {
        dup2(devnull, 2);
    } else {
        const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

}  // namespace

ProcessOutput RunForOutput(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment,
                           std::chrono::milliseconds timeout, bool quiet) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        for (const std::string& assignment : environment)
            putenv(const_cast<char*>(assignment.c_str()));
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (quiet) {
            const int devnull = open("/dev/null", O_RDWR);
            dup2(devnull, 2);
        }
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    ProcessOutput output;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.text.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    output.status = WaitProcess(pid, timeout);
    if (!output.status) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return output;
}

std::string OutputOf(const std::vector<std::string>& argv, const std::string& display) {
    return RunForOutput(argv, {"DISPLAY=" + display}, kPatience, true).text;
}

pid_t StartProcess(const std::vector<std::string>& argv,
                   const std::vector<std::string>& environment, const std::string& errorFile) {
    return Spawn(argv, environment, errorFile);
}

std::optional<int> WaitProcess(pid_t pid, std::chrono::milliseconds timeout) {
    const auto start = std::chrono::steady_clock::now();
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(5ms);
    } while (std::chrono::steady_clock::now() - start < timeout);
    return std::nullopt;
}

std::vector<std::string> Unprivileged(const std::vector<std::string>& argv) {
    if (geteuid() != 0)
        return argv;
    std::vector<std::string> command{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    command.insert(command.end(), argv.begin(), argv.end());
    return command;
}

int ProcessesRunning(const std::string& commandText) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream in(entry.path() / "cmdline");
        std::string command((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (char& c : command) {
            if (c == '\0')
                c = ' ';
        }
        std::ifstream statFile(entry.path() / "stat");
        std::string stat((std::istreambuf_iterator<char>(statFile)),
                         std::istreambuf_iterator<char>());
        const size_t close = stat.rfind(')');
        const bool zombie =
            close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
        if (!zombie && command.find(commandText) != std::string::npos)
            ++count;
    }
    return count;
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() - start > timeout)
            return false;
        std::this_thread::sleep_for(20ms);
    }
}

XvfbServer::XvfbServer(int width, int height) : m_width(width), m_height(height) {
    // Xvfb picks a free display itself and writes its number into the pipe once it accepts
    // connections: no guessing at numbers, no race with other servers starting.
    int fds[2];
    if (pipe(fds) != 0)
        return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(fds[1]);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    const auto start = std::chrono::steady_clock::now();
    while (pid > 0 && number.find('\n') == std::string::npos) {
        const auto left = kPatience - (std::chrono::steady_clock::now() - start);
        pollfd ready{fds[0], POLLIN, 0};
        const int wait =
            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(left).count());
        if (wait <= 0 || poll(&ready, 1, wait) <= 0)
            break;
        char buffer[32];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;  // the server ended before it said its number
        number.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    if (pid <= 0)
        return;
    if (const size_t end = number.find('\n'); end != std::string::npos)
        number.resize(end);
    ::Display* d = nullptr;
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
        d = XOpenDisplay((":" + number).c_str());
    if (d == nullptr) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return;
    }
    XCloseDisplay(d);
    m_pid = pid;
    m_display = ":" + number;
}

XvfbServer::~XvfbServer() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

void XvfbServer::Kill() {
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    // What a killed server leaves behind.
    fs::remove("/tmp/.X" + m_display.substr(1) + "-lock");
    fs::remove("/tmp/.X11-unix/X" + m_display.substr(1));
}

int XvfbServer::WaitForChange(unsigned long window, int pixels,
                              std::chrono::milliseconds timeout) const {
    const Picture first = Capture(window);
    int changed = 0;
    WaitUntil(
        [&] {
            changed = Differences(first, Capture(window));
            return changed > pixels;
        },
        timeout);
    return changed > pixels ? changed : 0;
}

bool XvfbServer::WaitViewable(unsigned long window, std::chrono::milliseconds timeout) const {
    return WaitUntil(
        [&] {
            const auto geometry = WindowGeometry(window);
            return geometry && geometry->viewable;
        },
        timeout);
}

bool XvfbServer::WaitKeyboardGrabbed(std::chrono::milliseconds timeout) const {
    ::Display* d = XOpenDisplay(m_display.c_str());
    if (d == nullptr)
        return false;
    const bool grabbed = WaitUntil(
        [&] {
            const int result = XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync,
                                             GrabModeAsync, CurrentTime);
            if (result == GrabSuccess) {
                XUngrabKeyboard(d, CurrentTime);
                XSync(d, False);
            }
            return result == AlreadyGrabbed;
        },
        timeout);
    XCloseDisplay(d);
    return grabbed;
}

bool XvfbServer::WaitFocused(unsigned long window, std::chrono::milliseconds timeout) const {
    ::Display* d = XOpenDisplay(m_display.c_str());
    if (d == nullptr)
        return false;
    auto previous = XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
    const bool focused = WaitUntil(
        [&] {
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(d, &focus, &revert);
            // Up from the focus window to the root: is the window on the way?
            while (focus != 0 && focus != PointerRoot && focus != window) {
                Window root = 0, parent = 0;
                Window* children = nullptr;
                unsigned count = 0;
                if (!XQueryTree(d, focus, &root, &parent, &children, &count))
                    return false;
                if (children != nullptr)
                    XFree(children);
                focus = parent == root ? 0 : parent;
            }
            return focus == window;
        },
        timeout);
    XSync(d, False);
    XSetErrorHandler(previous);
    XCloseDisplay(d);
    return focused;
}

int Differences(const XvfbServer::Picture& a, const XvfbServer::Picture& b) {
    int differences = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        differences += a.pixels[i] != b.pixels[i];
    return differences;
}

bool LooksLikeTheScene(const XvfbServer::Picture& picture) {
    if (picture.width == 0 || picture.height < 4)
        return false;
    auto brightness = [](std::uint32_t p) {
        return ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
    };
    long top = 0, bottom = 0;
    for (int x = 0; x < picture.width; ++x) {
        top += brightness(picture.At(x, 2));
        bottom += brightness(picture.At(x, picture.height - 3));
    }
    return top / picture.width < 200 && bottom / picture.width > 500;
}

bool LooksLikeTheScene(const XvfbServer::Picture& picture, std::uint32_t background) {
    return LooksLikeTheScene(picture) &&
           std::none_of(picture.pixels.begin(), picture.pixels.end(),
                        [&](std::uint32_t p) { return p == background; });
}

XvfbServer::Picture XvfbServer::Capture(unsigned long window) const {
    Picture picture;
    ::Display* d = XOpenDisplay(m_display.c_str());
    if (d == nullptr)
        return picture;
    const Window target = window != 0 ? window : DefaultRootWindow(d);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(d, target, &attributes)) {
        XImage* image =
            XGetImage(d, target, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
        if (image != nullptr) {
            picture.width = attributes.width;
            picture.height = attributes.height;
            picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
            for (int y = 0; y < picture.height; ++y) {
                for (int x = 0; x < picture.width; ++x) {
                    picture.pixels[static_cast<size_t>(y) * picture.width + x] =
                        static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
                }
            }
            XDestroyImage(image);
        }
    }
    XCloseDisplay(d);
    return picture;
}

bool PointerHiddenOn(const std::string& display) {
    ::Display* d = XOpenDisplay(display.c_str());
    if (d == nullptr)
        return false;
    bool hidden = false;
    XFixesCursorImage* cursor = XFixesGetCursorImage(d);
    if (cursor != nullptr) {
        hidden = true;
        for (int i = 0; i < cursor->width * cursor->height; ++i) {
            if ((cursor->pixels[i] >> 24) != 0)
                hidden = false;
        }
        XFree(cursor);
    }
    XCloseDisplay(d);
    return hidden;
}

bool XvfbServer::PointerHidden() const {
    return PointerHiddenOn(m_display);
}

std::string XvfbServer::Xdotool(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return OutputOf(argv, m_display);
}

void XvfbServer::ClickInWindow(unsigned long window, int x, int y, int times,
                               std::chrono::milliseconds apart) const {
    for (int i = 0; i < times; ++i) {
        Xdotool({"mousemove", "--window", std::to_string(window), std::to_string(x),
                 std::to_string(y), "click", "1"});
        std::this_thread::sleep_for(apart);
    }
}

std::vector<unsigned long> XvfbServer::FindWindows(const std::string& name,
                                                   std::chrono::milliseconds timeout) const {
    std::vector<unsigned long> found;
    ::Display* d = XOpenDisplay(m_display.c_str());
    if (d == nullptr)
        return found;
    WaitUntil(
        [&] {
            found = WindowsNamed(d, name, false);
            return !found.empty();
        },
        timeout);
    XCloseDisplay(d);
    return found;
}

std::vector<unsigned long> WindowsNamed(::Display* d, const std::string& name, bool viewableOnly) {
    std::vector<unsigned long> found;
    auto previous = XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
    Window root, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            char* windowName = nullptr;
            if (!XFetchName(d, children[i], &windowName) || windowName == nullptr)
                continue;
            XWindowAttributes attributes{};
            if (name == windowName &&
                (!viewableOnly || (XGetWindowAttributes(d, children[i], &attributes) &&
                                   attributes.map_state == IsViewable))) {
                found.push_back(children[i]);
            }
            XFree(windowName);
        }
        if (children != nullptr)
            XFree(children);
    }
    XSync(d, False);
    XSetErrorHandler(previous);
    return found;
}

std::optional<XvfbServer::Geometry> XvfbServer::WindowGeometry(unsigned long window) const {
    ::Display* d = XOpenDisplay(m_display.c_str());
    if (d == nullptr)
        return std::nullopt;
    std::optional<Geometry> result;
    auto previous = XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(d, window, &attributes)) {
        Window child;
        int x = 0, y = 0;
        XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
        result =
            Geometry{x, y, attributes.width, attributes.height, attributes.map_state == IsViewable};
    }
    XSync(d, False);
    XSetErrorHandler(previous);
    XCloseDisplay(d);
    return result;
}

ClientWindow::ClientWindow(const std::string& display, int x, int y, int width, int height,
                           std::uint32_t colour)
    : m_display(XOpenDisplay(display.c_str())) {
    if (m_display == nullptr)
        return;
    const int screen = DefaultScreen(m_display);
    m_window = XCreateSimpleWindow(m_display, RootWindow(m_display, screen), x, y,
                                   static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                   BlackPixel(m_display, screen), colour);
    XMapWindow(m_display, m_window);
    XSync(m_display, False);
    WaitUntil([&] {
        XWindowAttributes attributes{};
        XGetWindowAttributes(m_display, m_window, &attributes);
        return attributes.map_state == IsViewable;
    });
    Fill();
}

ClientWindow::~ClientWindow() {
    if (m_display != nullptr)
        XCloseDisplay(m_display);
}

void ClientWindow::Fill() {
    XClearWindow(m_display, m_window);
    XSync(m_display, False);
}

void ClientWindow::Resize(int width, int height) {
    XResizeWindow(m_display, m_window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(m_display, False);
}

void ClientWindow::Destroy() {
    XDestroyWindow(m_display, m_window);
    XSync(m_display, False);
}

ProgramRun::ProgramRun() {
    const fs::path build = GLIMMERDEL_PROGRAM_DIR;
    fs::copy_file(build / "glimmerdel", fs::path(m_folder.Path()) / "glimmerdel");
    fs::copy_file(build / "vantroglimmerdel.ini",
                  fs::path(m_folder.Path()) / "vantroglimmerdel.ini");
    fs::create_directories(fs::path(m_folder.Path()) / "vurezezideriru");
    fs::copy(build / "vurezezideriru", fs::path(m_folder.Path()) / "vurezezideriru",
             fs::copy_options::recursive);
    if (fs::exists(build / "GlimmerdelEmail.exe")) {
        fs::copy_file(build / "GlimmerdelEmail.exe",
                      fs::path(m_folder.Path()) / "GlimmerdelEmail.exe");
    }
    // Settings as delivered, but with the e-mail prompt disarmed: tests never start a mail client.
    std::ifstream in(m_folder.File("vantroglimmerdel.ini"));
    std::stringstream text;
    text << in.rdbuf();
    std::string content = text.str();
    const auto at = content.find("appdisplay=1");
    if (at != std::string::npos)
        content.replace(at, 12, "appdisplay=0");
    m_folder.Write("vantroglimmerdel.ini", content);
}

ProgramRun::~ProgramRun() {
    if (Running()) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

std::string ProgramRun::DataFile(const std::string& name) const {
    return m_folder.File("vurezezideriru/glimmerdel/" + name);
}

void ProgramRun::Start(const std::vector<std::string>& arguments, const std::string& display,
                       const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> argv{m_folder.File("glimmerdel")};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    // A private runtime folder, so that instances of other tests do not count as earlier ones.
    fs::create_directories(m_folder.File("runtime"));
    std::vector<std::string> environment{"DISPLAY=" + display,
                                         "XDG_RUNTIME_DIR=" + m_folder.File("runtime"),
                                         "HOME=" + m_folder.Path()};
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    m_pid = Spawn(argv, environment, m_folder.File("stderr.txt"));
}

std::optional<int> ProgramRun::WaitExit(std::chrono::milliseconds timeout) {
    if (m_status)
        return m_status;
    const auto start = std::chrono::steady_clock::now();
    do {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return m_status;
        }
        std::this_thread::sleep_for(5ms);
    } while (std::chrono::steady_clock::now() - start < timeout);
    return std::nullopt;
}

bool ProgramRun::Running() {
    return m_pid > 0 && !WaitExit(0ms).has_value();
}

void ProgramRun::Signal(int signal) {
    if (m_pid > 0)
        kill(m_pid, signal);
}

std::string ProgramRun::ErrorOutput() const {
    return m_folder.Read("stderr.txt");
}

ProcessUse UseOf(pid_t pid) {
    ProcessUse use;
    const std::string folder = "/proc/" + std::to_string(pid) + "/task/";
    std::error_code error;
    for (const auto& task : fs::directory_iterator(folder, error)) {
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                use.wakeUps += std::stoll(line.substr(line.find(':') + 1));
        }
        // The scheduler's own count of the time on a processor, in nanoseconds.
        std::ifstream schedule(task.path() / "schedstat");
        long long nanoseconds = 0;
        if (schedule >> nanoseconds)
            use.cpuSeconds += static_cast<double>(nanoseconds) / 1e9;
    }
    return use;
}

ProcessUse UseOverTenSeconds(pid_t pid, const std::string& what) {
    const ProcessUse before = UseOf(pid);
    std::this_thread::sleep_for(10s);
    const ProcessUse after = UseOf(pid);
    const ProcessUse used{after.wakeUps - before.wakeUps, after.cpuSeconds - before.cpuSeconds};
    std::printf("[ figures  ] %s: %lld wake-ups in 10 s, %.3f %% of a core\n", what.c_str(),
                used.wakeUps, used.cpuSeconds * 10.0);
    return used;
}
