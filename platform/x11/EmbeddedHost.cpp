// SPDX-License-Identifier: MIT
#include "platform/x11/EmbeddedHost.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/Form.h"
#include "platform/posix/stop_signals.h"
#include "platform/x11/X11WindowBacking.h"

namespace {

volatile sig_atomic_t g_windowGone = 0;
unsigned long g_watchedWindow = 0;

// An error about our window means it is gone (destroyed behind our back); any other error is
// no reason to stop drawing.
int OnXError(Display*, XErrorEvent* error) {
    if (error->resourceid == g_watchedWindow &&
        (error->error_code == BadWindow || error->error_code == BadDrawable)) {
        g_windowGone = 1;
    }
    return 0;
}

// The X server went away: there is nothing left to draw on.
int OnXIoError(Display*) {
    _exit(0);
}

}  // namespace

// The given window as the form's window: retained pixels pushed to it, nothing else done to it.
class EmbeddedHost::WindowPeer : public FormPeer {
  public:
    WindowPeer(EmbeddedHost& host, std::shared_ptr<WindowBacking> backing, X11WindowBacking* screen)
        : m_host(host), m_backing(std::move(backing)), m_screen(screen) {
        m_hWnd = gdi::RegisterWindow(m_backing);
        m_host.m_peer = this;
    }
    ~WindowPeer() override {
        m_host.m_peer = nullptr;
        if (m_hDC != 0)
            ReleaseDC(m_hWnd, m_hDC);
        gdi::UnregisterWindow(m_hWnd);
    }
    HWND hWnd() override { return m_hWnd; }
    HDC hDC() override {
        if (m_hDC == 0)
            m_hDC = GetDC(m_hWnd);
        return m_hDC;
    }
    void Show() override {}
    void Hide() override {}
    void Refresh() override { Repaint(0, 0, m_backing->Width(), m_backing->Height()); }
    bool Visible() override { return true; }
    void Resize(int, int, bool) override {}  // the window's owner decides its size
    void SetCaption(const std::string&) override {}

    void Repaint(int x, int y, int w, int h) {
        if (m_screen != nullptr)
            m_screen->Repaint(x, y, w, h);
    }
    void Flush() {
        if (m_screen != nullptr)
            m_screen->Flush();
    }

  private:
    EmbeddedHost& m_host;
    std::shared_ptr<WindowBacking> m_backing;
    X11WindowBacking* m_screen;
    HWND m_hWnd = 0;
    HDC m_hDC = 0;
};

EmbeddedHost::EmbeddedHost(const std::vector<std::string>& arguments, unsigned long window)
    : PosixHost(arguments), m_window(window) {
    stop_signals::Install();
}

EmbeddedHost::~EmbeddedHost() {
    if (m_display != nullptr)
        XCloseDisplay(m_display);
}

bool EmbeddedHost::Connect() {
    m_display = XOpenDisplay(nullptr);
    if (m_display == nullptr) {
        std::fprintf(stderr, "glimmerdel: cannot open the X display \"%s\"\n",
                     XDisplayName(nullptr));
        return false;
    }
    XSetIOErrorHandler(OnXIoError);
    return true;
}

bool EmbeddedHost::OpenOwnWindow(int width, int height, const std::string& title) {
    if (!Connect())
        return false;
    const int screen = DefaultScreen(m_display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(m_display, screen);
    attributes.event_mask = KeyPressMask | StructureNotifyMask | ExposureMask;
    m_window = XCreateWindow(m_display, RootWindow(m_display, screen), 0, 0,
                             static_cast<unsigned>(std::max(width, 1)),
                             static_cast<unsigned>(std::max(height, 1)), 0, CopyFromParent,
                             InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    // The title, in both the old and the UTF-8 property, and the class desktops group by.
    XStoreName(m_display, m_window, title.c_str());
    XChangeProperty(m_display, m_window, XInternAtom(m_display, "_NET_WM_NAME", False),
                    XInternAtom(m_display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XClassHint classHint{};
    std::string name = "glimmerdel";
    std::string className = title;
    classHint.res_name = name.data();
    classHint.res_class = className.data();
    XSetClassHint(m_display, m_window, &classHint);
    XSizeHints sizeHints{};
    sizeHints.flags = PSize | PMinSize;
    sizeHints.width = width;
    sizeHints.height = height;
    sizeHints.min_width = 64;
    sizeHints.min_height = 48;
    XSetWMNormalHints(m_display, m_window, &sizeHints);
    // Closing the window asks us to end instead of killing the connection.
    Atom deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(m_display, m_window, &deleteWindow, 1);
    m_deleteWindowAtom = deleteWindow;
    m_ownWindow = true;
    XMapRaised(m_display, m_window);
    XSync(m_display, False);
    return Open();
}

bool EmbeddedHost::EndsRun(void* keyEvent) const {
    auto* key = static_cast<XKeyEvent*>(keyEvent);
    const KeySym symbol = XLookupKeysym(key, 0);
    return symbol == XK_Escape || ((key->state & ControlMask) && symbol == XK_q);
}

bool EmbeddedHost::Open() {
    if (m_display == nullptr && !Connect())
        return false;
    if (m_window == 0)
        m_window = DefaultRootWindow(m_display);
    g_watchedWindow = m_window;
    XSetErrorHandler(OnXError);
    XWindowAttributes attributes{};
    const Status status = XGetWindowAttributes(m_display, m_window, &attributes);
    XSync(m_display, False);
    if (status == 0 || g_windowGone) {
        std::fprintf(stderr, "glimmerdel: there is no window 0x%lx to draw on\n", m_window);
        return false;
    }
    m_width = std::max(attributes.width, 1);
    m_height = std::max(attributes.height, 1);
    // Only what the window's owner does to it: resizes, destruction, exposes; and whether it
    // can be seen.
    XSelectInput(m_display, m_window,
                 attributes.your_event_mask | StructureNotifyMask | ExposureMask);
    m_watch.Open(m_display);
    m_watch.Watch(m_display, m_window);
    XSync(m_display, False);
    return !g_windowGone;
}

void EmbeddedHost::DoEvents() {
    if (stop_signals::Caught() != 0 || g_windowGone != 0)
        EndProgram(0);
    if (m_peer != nullptr)
        m_peer->Flush();
    bool resized = false;
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.xany.window != m_window)
            continue;
        m_watch.Event(&event);
        switch (event.type) {
            case ConfigureNotify:
                if (event.xconfigure.width != m_width || event.xconfigure.height != m_height) {
                    m_width = std::max(event.xconfigure.width, 1);
                    m_height = std::max(event.xconfigure.height, 1);
                    resized = true;
                }
                break;
            case DestroyNotify:
                EndProgram(0);
                break;
            case KeyPress:
                if (m_ownWindow && EndsRun(&event.xkey))
                    EndProgram(0);
                break;
            case ClientMessage:
                if (m_ownWindow && event.xclient.format == 32 &&
                    static_cast<unsigned long>(event.xclient.data.l[0]) == m_deleteWindowAtom) {
                    EndProgram(0);
                }
                break;
            case Expose:
                if (m_peer != nullptr) {
                    m_peer->Repaint(event.xexpose.x, event.xexpose.y, event.xexpose.width,
                                    event.xexpose.height);
                }
                break;
            default:
                break;
        }
    }
    if (g_windowGone != 0)
        EndProgram(0);
    if (resized)
        throw ScreenChanged{};
}

void EmbeddedHost::WaitForEvents(Long timeoutMs) {
    // As the full-screen host does: sleep to the boundary of the tick the caller waits for.
    const int waitMs = static_cast<int>((NanosecondsUntilTick(timeoutMs) + 999999) / 1000000);
    if (m_peer != nullptr)
        m_peer->Flush();
    if (XPending(m_display) == 0 && stop_signals::Caught() == 0) {
        pollfd connection{ConnectionNumber(m_display), POLLIN, 0};
        poll(&connection, 1, waitMs);
    }
    DoEvents();
}

int EmbeddedHost::MsgBox(const std::string& text, int style, const std::string& title) {
    m_messageShown = true;
    return PosixHost::MsgBox(text, style, title);
}

void EmbeddedHost::EndProgram(int status) {
    if (m_display != nullptr)
        XSync(m_display, False);
    // Ending after a message means the scene could not run.
    PosixHost::EndProgram(m_messageShown && status == 0 ? 1 : status);
}

std::unique_ptr<FormPeer> EmbeddedHost::CreateFormPeer(Form&) {
    std::shared_ptr<X11WindowBacking> screen =
        X11WindowBacking::Create(m_display, m_window, m_width, m_height);
    if (!screen) {
        std::fprintf(stderr,
                     "glimmerdel: window 0x%lx has a visual the scene cannot draw on "
                     "(24-bit TrueColor is needed)\n",
                     m_window);
        EndProgram(1);
    }
    X11WindowBacking* pointer = screen.get();
    return std::make_unique<WindowPeer>(*this, std::move(screen), pointer);
}
