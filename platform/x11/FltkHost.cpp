// SPDX-License-Identifier: MIT
#include "platform/x11/FltkHost.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/x11/FltkFormPeer.h"
#include "platform/x11/MonitorList.h"
#include "platform/x11/X11WindowBacking.h"

namespace {

// Waits (briefly) until a window is viewable, so that it can take the keyboard.
bool WaitViewable(Window window) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        XWindowAttributes attributes{};
        XSync(fl_display, False);
        if (XGetWindowAttributes(fl_display, window, &attributes) &&
            attributes.map_state == IsViewable) {
            return true;
        }
        Fl::wait(0.01);
    }
    return false;
}

// A modal message box: the text, an OK button, and the exclamation icon when asked for. It
// takes the keyboard, so that Return answers it even without a window manager.
void ShowMessageBox(const std::string& text, int style, const std::string& title, bool overSaver) {
    const int margin = 14;
    const int iconSize = (style & vbExclamation) ? 36 : 0;
    const int wrapWidth = 380;
    fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
    int textW = wrapWidth;  // a width given to the measure wraps the text to it
    int textH = 0;
    fl_measure(text.c_str(), textW, textH, 0);
    textH = std::max(textH, iconSize);

    const int buttonW = 80;
    const int buttonH = 26;
    const int w = margin * 3 + iconSize + textW;
    const int h = margin * 3 + textH + buttonH;
    Fl_Double_Window window(w, h);
    window.copy_label(title.c_str());
    // The window being built adopts every widget made up to end() and deletes it with itself;
    // the analyser does not see the hand-over.
    // NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks)
    if (iconSize > 0) {
        auto* icon = new Fl_Box(margin, margin, iconSize, iconSize, "!");
        icon->box(FL_ROUND_UP_BOX);
        icon->color(fl_rgb_color(250, 200, 40));
        icon->labelfont(FL_HELVETICA_BOLD);
        icon->labelsize(24);
        icon->labelcolor(FL_BLACK);
    }
    auto* message = new Fl_Box(margin * 2 + iconSize, margin, textW, textH);
    message->copy_label(text.c_str());
    message->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP);
    auto* ok =
        new Fl_Return_Button((w - buttonW) / 2, h - margin - buttonH, buttonW, buttonH, "OK");
    ok->callback([](Fl_Widget* button, void*) { button->window()->hide(); });
    window.end();
    // NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)
    window.set_modal();
    if (overSaver)
        window.set_override();
    int sx, sy, sw, sh;
    Fl::screen_xywh(sx, sy, sw, sh, 0);
    window.position(sx + (sw - w) / 2, sy + (sh - h) / 2);
    window.show();
    const Window xid = fl_xid(&window);
    bool grabbed = false;
    if (WaitViewable(xid)) {
        XRaiseWindow(fl_display, xid);
        if (overSaver) {
            // Over the full-screen saver no window manager gives the box the keyboard.
            grabbed = XGrabKeyboard(fl_display, xid, True, GrabModeAsync, GrabModeAsync,
                                    CurrentTime) == GrabSuccess;
        } else {
            XSetInputFocus(fl_display, xid, RevertToParent, CurrentTime);
        }
    }
    ok->take_focus();
    while (window.shown())
        Fl::wait();
    if (grabbed)
        XUngrabKeyboard(fl_display, CurrentTime);
}

}  // namespace

FltkHost::FltkHost(const std::vector<std::string>& arguments) : PosixHost(arguments) {
    FL_NORMAL_SIZE = kDefaultFontSize;
}

FltkHost::~FltkHost() = default;

void FltkHost::EnsureDisplay() {
    if (m_displayOpen)
        return;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "glimmerdel: cannot open the X display \"%s\"\n",
                     XDisplayName(nullptr));
        std::fflush(stderr);
        _exit(1);
    }
    fl_open_display(display);
    m_displayOpen = true;
    m_randrEventBase = MonitorList::WatchChanges(display);
    Fl::add_system_handler(OnSystemEvent, this);
    m_watch.Open(display);
    QueryMonitors();
    gdi::SetForeignWindowResolver([](HWND hWnd) -> std::shared_ptr<WindowBacking> {
        if (hWnd <= 0)
            return nullptr;
        return X11WindowBacking::OpenForeign(fl_display, static_cast<Window>(hWnd));
    });
}

bool FltkHost::QueryMonitors() {
    return m_monitors.Replace(MonitorList::Query(fl_display, m_requestedScale));
}

int FltkHost::OnSystemEvent(void* event, void* data) {
    auto* host = static_cast<FltkHost*>(data);
    if (MonitorList::IsChange(host->m_randrEventBase, event))
        host->m_monitorsChanged = true;
    host->m_watch.Event(event);
    return 0;  // the toolkit handles the event as usual
}

int FltkHost::MonitorCount() {
    EnsureDisplay();
    return m_monitors.Count();
}

void FltkHost::SelectMonitor(int index) {
    EnsureDisplay();
    m_monitors.Select(index);
}

MonitorArea FltkHost::SelectedMonitor() {
    EnsureDisplay();
    return m_monitors.Selected();
}

Long FltkHost::ScreenWidthTwips() {
    return SelectedMonitor().ComposedWidth() * TwipsPerPixelX();
}

Long FltkHost::ScreenHeightTwips() {
    return SelectedMonitor().ComposedHeight() * TwipsPerPixelY();
}

void FltkHost::DoEvents() {
    if (!m_displayOpen)
        return;
    for (FltkFormPeer* peer : m_peers)
        peer->Flush();
    // The toolkit's round (a select and several reads of the connection) only when it has
    // something to do: an event read or waiting to be read, or a widget to redraw. The frame
    // loop asks some 150 times a second, and mostly nothing has come.
    pollfd connection{ConnectionNumber(fl_display), POLLIN, 0};
    if (XQLength(fl_display) > 0 || Fl::damage() || poll(&connection, 1, 0) != 0)
        Fl::check();
    if (m_monitorsChanged) {
        m_monitorsChanged = false;
        // The saver's scenes are built for the monitors as they were: build them again.
        const bool changed = QueryMonitors();
        const bool saverShown = std::any_of(m_peers.begin(), m_peers.end(), [](FltkFormPeer* peer) {
            return peer->CoversMonitor();
        });
        if (saverShown && changed)
            throw ScreenChanged{};
    }
}

void FltkHost::WaitForEvents(Long timeoutMs) {
    // To the boundary of the tick the caller waits for, and a little past it.
    const double seconds = static_cast<double>(NanosecondsUntilTick(timeoutMs)) / 1e9 + 20e-6;
    if (m_displayOpen) {
        Fl::wait(seconds);
    } else if (seconds > 0) {
        usleep(static_cast<useconds_t>(seconds * 1e6));
    }
}

bool FltkHost::SceneSeen() {
    return !m_displayOpen || m_watch.Seen(GetTickCount());
}

void FltkHost::WatchSceneWindow(unsigned long window) {
    m_watch.Watch(fl_display, window);
}

void FltkHost::ForgetSceneWindow(unsigned long window) {
    m_watch.Forget(window);
}

int FltkHost::MsgBox(const std::string& text, int style, const std::string& title) {
    EnsureDisplay();
    bool overSaver = false;
    for (FltkFormPeer* peer : m_peers) {
        if (peer->Grabbing()) {
            peer->ReleaseGrabs();
            overSaver = true;
        }
    }
    ShowMessageBox(text, style, title, overSaver);
    return vbOK;
}

void FltkHost::EndProgram(int status) {
    if (m_displayOpen)
        XSync(fl_display, False);
    PosixHost::EndProgram(status);
}

int FltkHost::ShowCursor(BOOL show) {
    const int count = PosixHost::ShowCursor(show);
    for (FltkFormPeer* peer : m_peers)
        peer->ShowPointer(count >= 0);
    return count;
}

BOOL FltkHost::SetWindowPos(HWND hWnd, HWND insertAfter, int, int, int, int, std::uint32_t flags) {
    FltkFormPeer* peer = PeerOf(hWnd);
    if (peer == nullptr)
        return FALSE;
    if (flags & SWP_HIDEWINDOW)
        peer->Hide();
    if (flags & SWP_SHOWWINDOW)
        peer->Show();
    if (insertAfter == HWND_TOPMOST)
        peer->Raise(true);
    return TRUE;
}

std::unique_ptr<FormPeer> FltkHost::CreateFormPeer(Form& form) {
    EnsureDisplay();
    return std::make_unique<FltkFormPeer>(*this, form);
}

void FltkHost::PeerCreated(FltkFormPeer* peer) {
    m_peers.insert(peer);
    peer->ShowPointer(CursorCount() >= 0);
}

void FltkHost::PeerDestroyed(FltkFormPeer* peer) {
    m_peers.erase(peer);
}

FltkFormPeer* FltkHost::PeerOf(HWND hWnd) {
    for (FltkFormPeer* peer : m_peers) {
        if (peer->hWnd() == hWnd)
            return peer;
    }
    return nullptr;
}
