// SPDX-License-Identifier: MIT
#include "platform/x11/FltkFormPeer.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/x.H>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "platform/Control.h"
#include "platform/ScaledWindowBacking.h"
#include "platform/headless/HeadlessBacking.h"
#include "platform/x11/FltkControlPeers.h"
#include "platform/x11/FltkHost.h"
#include "platform/x11/X11WindowBacking.h"

namespace {

// A toolkit key as the program's virtual-key code (the Win32 numbering: letters as capitals,
// digits and space as themselves, F1 = 112, Escape = 27, ...), so that the forms' key handlers
// see the same codes on every platform.
Integer VirtualKey(int key) {
    if (key >= 'a' && key <= 'z')
        return static_cast<Integer>(key - 'a' + 'A');
    if ((key >= '0' && key <= '9') || key == ' ')
        return static_cast<Integer>(key);
    if (key >= FL_F + 1 && key <= FL_F + 24)
        return static_cast<Integer>(111 + (key - FL_F));
    switch (key) {
        case FL_BackSpace:
            return 8;
        case FL_Tab:
            return 9;
        case FL_Enter:
        case FL_KP_Enter:
            return 13;
        case FL_Shift_L:
        case FL_Shift_R:
            return 16;
        case FL_Control_L:
        case FL_Control_R:
            return 17;
        case FL_Alt_L:
        case FL_Alt_R:
            return 18;
        case FL_Pause:
            return 19;
        case FL_Caps_Lock:
            return 20;
        case FL_Escape:
            return 27;
        case FL_Page_Up:
            return 33;
        case FL_Page_Down:
            return 34;
        case FL_End:
            return 35;
        case FL_Home:
            return 36;
        case FL_Left:
            return 37;
        case FL_Up:
            return 38;
        case FL_Right:
            return 39;
        case FL_Down:
            return 40;
        case FL_Insert:
            return 45;
        case FL_Delete:
            return 46;
        case FL_Meta_L:
            return 91;
        case FL_Meta_R:
            return 92;
        case FL_Menu:
            return 93;
        default:
            return static_cast<Integer>(key & 0xFF);
    }
}

Integer ShiftState() {
    Integer shift = 0;
    if (Fl::event_state(FL_SHIFT))
        shift |= 1;
    if (Fl::event_state(FL_CTRL))
        shift |= 2;
    if (Fl::event_state(FL_ALT))
        shift |= 4;
    return shift;
}

Integer ButtonState() {
    Integer buttons = 0;
    if (Fl::event_state(FL_BUTTON1))
        buttons |= 1;
    if (Fl::event_state(FL_BUTTON3))
        buttons |= 2;
    if (Fl::event_state(FL_BUTTON2))
        buttons |= 4;
    return buttons;
}

Integer PressedButton() {
    switch (Fl::event_button()) {
        case FL_LEFT_MOUSE:
            return 1;
        case FL_RIGHT_MOUSE:
            return 2;
        case FL_MIDDLE_MOUSE:
            return 4;
        default:
            return 0;
    }
}

}  // namespace

// The FLTK window of a form: forwards input to the form and repaints from retained pixels.
class FormWindow : public Fl_Double_Window {
  public:
    FormWindow(FltkFormPeer& peer, int w, int h, bool hasControls)
        : Fl_Double_Window(w, h), m_peer(peer), m_hasControls(hasControls) {}

    int handle(int event) override {
        Form& form = m_peer.Owner();
        // Positions in the form's own picture, which a high-density monitor shows enlarged.
        const int x = Fl::event_x() / m_peer.Scale();
        const int y = Fl::event_y() / m_peer.Scale();
        switch (event) {
            case FL_FOCUS:
            case FL_ENTER:
            case FL_UNFOCUS:
            case FL_LEAVE:
                Fl_Double_Window::handle(event);
                return 1;
            case FL_KEYDOWN:
                form.KeyDown(VirtualKey(Fl::event_key()), ShiftState());
                if (!m_hasControls)
                    return 1;
                break;
            case FL_PUSH:
                form.MouseDownAtPixel(PressedButton(), ShiftState(), x, y);
                if (!m_hasControls)
                    return 1;
                break;
            case FL_MOVE:
            case FL_DRAG:
                form.MouseMoveAtPixel(ButtonState(), ShiftState(), x, y);
                if (!m_hasControls)
                    return 1;
                break;
            case FL_SHORTCUT:
            case FL_KEYUP:
            case FL_RELEASE:
                if (!m_hasControls)
                    return 1;
                break;
            default:
                break;
        }
        return Fl_Double_Window::handle(event);
    }

    void draw() override {
        if (m_hasControls) {
            Fl_Double_Window::draw();
        } else {
            m_peer.Repaint(0, 0, w(), h());
        }
    }

    void flush() override {
        // A window without controls is painted from its retained pixels, never double-buffered.
        if (m_hasControls) {
            Fl_Double_Window::flush();
        } else {
            clear_damage();
            m_peer.Repaint(0, 0, w(), h());
        }
    }

  private:
    FltkFormPeer& m_peer;
    bool m_hasControls;
};

FltkFormPeer::FltkFormPeer(FltkHost& host, Form& form) : m_host(host), m_form(form) {
    const int width = std::max(form.ClientWidthPixels(), 1);
    const int height = std::max(form.ClientHeightPixels(), 1);
    m_window = std::make_unique<FormWindow>(*this, width, height, form.HasVisibleControls());
    m_window->copy_label(form.Caption().c_str());
    if (form.Border() == BorderStyle::Borderless)
        m_window->border(0);
    if (form.Border() == BorderStyle::FixedSingle)
        m_window->size_range(width, height, width, height);
    const ImageData& icon = form.Icon();
    if (icon.pixels != nullptr) {
        std::vector<unsigned char> bytes(static_cast<size_t>(icon.width) * icon.height * 3);
        for (size_t i = 0; i < bytes.size() / 3; ++i) {
            bytes[i * 3] = static_cast<unsigned char>(icon.pixels[i] >> 16);
            bytes[i * 3 + 1] = static_cast<unsigned char>(icon.pixels[i] >> 8);
            bytes[i * 3 + 2] = static_cast<unsigned char>(icon.pixels[i]);
        }
        Fl_RGB_Image image(bytes.data(), icon.width, icon.height, 3);
        m_window->icon(&image);  // the window keeps its own copy
    }
    MakeControls();
    m_window->end();
    m_window->callback(
        [](Fl_Widget*, void* data) { static_cast<FltkFormPeer*>(data)->Owner().CloseRequested(); },
        this);

    m_backing = std::make_shared<HeadlessBacking>(width, height);
    m_hWnd = gdi::RegisterWindow(m_backing);
    m_host.PeerCreated(this);
}

FltkFormPeer::~FltkFormPeer() {
    ForgetWindow();
    m_host.PeerDestroyed(this);
    ReleaseGrabs();
    if (m_hDC != 0)
        ReleaseDC(m_hWnd, m_hDC);
    gdi::UnregisterWindow(m_hWnd);
    m_screenBacking.reset();
    m_window->hide();
    // The window may be in the middle of handling an event that led here: delete it later.
    Fl::delete_widget(m_window.release());
}

void FltkFormPeer::MakeControls() {
    // The form gives the order (the toolkit moves the focus through a group's widgets in the
    // order they were made) and the places; a frame's controls go inside its group.
    struct Maker : ControlMaker {
        Fl_Group* window;
        std::map<ControlPeer*, Fl_Group*> groups;
        std::unique_ptr<ControlPeer> MakeControl(Control& control, const Rect& place,
                                                 ControlPeer* container) override {
            const auto found = groups.find(container);
            Fl_Group* parent = found != groups.end() ? found->second : window;
            parent->begin();
            Fl_Group* group = nullptr;
            std::unique_ptr<ControlPeer> peer = fltk_controls::MakePeer(control, place, &group);
            parent->end();
            if (group != nullptr) {
                group->end();
                groups[peer.get()] = group;
            }
            return peer;
        }
    } maker;
    maker.window = m_window.get();
    m_form.MakeControls(maker);
}

HDC FltkFormPeer::hDC() {
    if (m_hDC == 0)
        m_hDC = GetDC(m_hWnd);
    return m_hDC;
}

void FltkFormPeer::Show() {
    // A borderless window over the whole screen stays out of the window manager's hands: it
    // covers panels and docks, and takes the keyboard itself.
    if (m_maximized && m_form.Border() == BorderStyle::Borderless && !m_window->shown()) {
        m_window->set_override();
    }
    m_window->show();
    // The toolkit names only windows that a window manager manages; name this one too, so that
    // tools can find it.
    if (m_window->override())
        XStoreName(fl_display, fl_xid(m_window.get()), m_window->label());
    AttachScreenBacking();
    WatchWindow();
    if (!m_pointerShown)
        m_window->cursor(FL_CURSOR_NONE);
    if (m_form.GrabsKeyboard())
        TakeGrabs();
}

void FltkFormPeer::AttachScreenBacking() {
    if (m_screenBacking || !m_window->shown())
        return;
    // Make sure the X window exists before the image is made for it.
    Fl::check();
    // A scaled form's window is larger than its picture: the image takes the window's size.
    const int deviceWidth = m_scale > 1 ? m_window->w() : m_backing->Width();
    const int deviceHeight = m_scale > 1 ? m_window->h() : m_backing->Height();
    m_screenBacking =
        X11WindowBacking::Create(fl_display, fl_xid(m_window.get()), deviceWidth, deviceHeight);
    if (!m_screenBacking)
        return;
    std::shared_ptr<WindowBacking> target = m_screenBacking;
    if (m_scale > 1)
        target = std::make_shared<ScaledWindowBacking>(m_screenBacking, m_scale);
    // What was drawn while the window had no screen behind it goes over (usually nothing).
    auto* interim = dynamic_cast<HeadlessBacking*>(m_backing.get());
    const bool drawn = interim == nullptr || interim->HasPixels();
    const int rows = drawn ? std::min(m_backing->Height(), target->Height()) : 0;
    const int columns = std::min(m_backing->Width(), target->Width());
    // The new pixels are all black: only rows with something else on them are copied, so that
    // pixels the window will show straight from the stage are never touched (nor kept in memory).
    bool copied = false;
    for (int y = 0; y < rows; ++y) {
        const std::uint32_t* from =
            m_backing->Pixels() + static_cast<size_t>(y) * m_backing->Stride();
        if (std::all_of(from, from + columns, [](std::uint32_t pixel) { return pixel == 0; }))
            continue;
        std::memcpy(target->Pixels() + static_cast<size_t>(y) * target->Stride(), from,
                    static_cast<size_t>(columns) * sizeof(std::uint32_t));
        copied = true;
    }
    m_backing = target;
    gdi::ReplaceWindowBacking(m_hWnd, m_backing);
    if (copied) {
        m_backing->Present(0, 0, m_backing->Width(), m_backing->Height());
    } else {
        m_screenBacking->ShowBlack();
    }
    m_backing->Flush();
}

void FltkFormPeer::TakeGrabs() {
    Window xid = fl_xid(m_window.get());
    // The window must be viewable before it can take the keyboard: wait for it a little.
    for (int attempt = 0; attempt < 100; ++attempt) {
        XSync(fl_display, False);
        const int keyboard =
            XGrabKeyboard(fl_display, xid, True, GrabModeAsync, GrabModeAsync, CurrentTime);
        if (keyboard == GrabSuccess) {
            XGrabPointer(fl_display, xid, True,
                         ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, None, None, CurrentTime);
            m_grabbing = true;
            return;
        }
        Fl::wait(0.01);
    }
}

void FltkFormPeer::ReleaseGrabs() {
    if (!m_grabbing)
        return;
    XUngrabKeyboard(fl_display, CurrentTime);
    XUngrabPointer(fl_display, CurrentTime);
    XFlush(fl_display);
    m_grabbing = false;
}

void FltkFormPeer::Hide() {
    ReleaseGrabs();
    ForgetWindow();
    m_window->hide();
}

void FltkFormPeer::WatchWindow() {
    // Only the saver's windows show the scene.
    if (!m_maximized || !m_window->shown() || m_watchedWindow != 0)
        return;
    m_watchedWindow = fl_xid(m_window.get());
    m_host.WatchSceneWindow(m_watchedWindow);
}

void FltkFormPeer::ForgetWindow() {
    if (m_watchedWindow != 0)
        m_host.ForgetSceneWindow(m_watchedWindow);
    m_watchedWindow = 0;
}

void FltkFormPeer::Refresh() {
    m_window->redraw();
    Fl::flush();
}

bool FltkFormPeer::Visible() {
    return m_window->shown() && m_window->visible();
}

void FltkFormPeer::Resize(int width, int height, bool maximized) {
    m_maximized = maximized;
    int scale = 1;
    if (maximized) {
        // The monitor the host has selected, at its scale: the picture is the monitor's size
        // divided by the scale, the window the whole monitor.
        const MonitorArea monitor = m_host.SelectedMonitor();
        m_window->resize(monitor.x, monitor.y, monitor.width, monitor.height);
        scale = monitor.scale;
        width = monitor.ComposedWidth();
        height = monitor.ComposedHeight();
    } else {
        m_window->size(std::max(width, 1), std::max(height, 1));
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == m_backing->Width() && height == m_backing->Height() && scale == m_scale)
        return;
    m_scale = scale;
    m_screenBacking.reset();
    m_backing = std::make_shared<HeadlessBacking>(width, height);
    gdi::ReplaceWindowBacking(m_hWnd, m_backing);
    if (m_window->shown()) {
        AttachScreenBacking();
        WatchWindow();
    }
}

void FltkFormPeer::SetCaption(const std::string& caption) {
    m_window->copy_label(caption.c_str());
}

void FltkFormPeer::ShowPointer(bool show) {
    m_pointerShown = show;
    if (m_window->shown())
        m_window->cursor(show ? FL_CURSOR_DEFAULT : FL_CURSOR_NONE);
}

void FltkFormPeer::Raise(bool) {
    if (m_window->shown())
        XRaiseWindow(fl_display, fl_xid(m_window.get()));
}

void FltkFormPeer::Flush() {
    if (m_screenBacking)
        m_screenBacking->Flush();
}

void FltkFormPeer::Repaint(int x, int y, int w, int h) {
    if (m_screenBacking) {
        m_screenBacking->Repaint(x, y, w, h);
        m_screenBacking->Flush();
    }
}
