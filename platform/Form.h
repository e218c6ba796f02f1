// SPDX-License-Identifier: MIT
#pragma once
// A form: a window with designed properties, controls and event handlers.
//
// Creating a form makes no window and runs no handler. Load() creates the hidden window (its
// peer, from the host) and runs Form_Load; Show() makes it visible and active (loading it
// first if needed); Unload() runs Form_Unload and, unless cancelled, destroys the window.
// Sizes are in twips.

#include <memory>
#include <string>
#include <vector>

#include "platform/ImageData.h"
#include "platform/Rect.h"
#include "platform/gdi.h"
#include "platform/types.h"

class Control;
class ControlPeer;
class Form;

enum class BorderStyle { Borderless, FixedSingle };
enum class WindowState { Normal, Maximized };

// Why the system asks a form's window to close (the unload modes of Form_QueryUnload): its close
// command (the title bar's button, Alt+F4, a close message such as Task Manager's End task), or
// the end of the user's session (log-off, shut-down).
inline constexpr Integer vbFormControlMenu = 0;
inline constexpr Integer vbAppWindows = 2;

// The window behind a loaded form, made by the host.
class FormPeer {
  public:
    virtual ~FormPeer() = default;
    virtual HWND hWnd() = 0;
    // The client area's DC: drawing on it goes straight to the window.
    virtual HDC hDC() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Refresh() = 0;
    virtual bool Visible() = 0;
    // New client size in pixels, or the whole screen when maximised.
    virtual void Resize(int width, int height, bool maximized) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
};

// What a form's window makes for its controls: the widgets, and nothing about their order or
// places, which the form decides.
class ControlMaker {
  public:
    virtual ~ControlMaker() = default;
    // The widget of one control. place: its rectangle in pixels of the form's client area, the
    // places of its containers added; container: the peer of the frame that holds it (made
    // before it), or null for the form itself or a container without a widget. Null: the
    // control has no widget (a timer, a hidden picture box).
    virtual std::unique_ptr<ControlPeer> MakeControl(Control& control, const Rect& place,
                                                     ControlPeer* container) = 0;
};

class Form : public RenderObject {
  public:
    explicit Form(std::string name);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // --- Designed properties (set before the form is loaded) -----------------------------
    const std::string& Name() const { return m_name; }
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    BorderStyle Border() const { return m_border; }
    void SetBorder(BorderStyle border) { m_border = border; }
    const ImageData& Icon() const { return m_icon; }
    void SetIcon(const ImageData& icon) { m_icon = icon; }
    // The saver form takes the whole keyboard while it is shown.
    bool GrabsKeyboard() const { return m_grabKeyboard; }
    void SetGrabsKeyboard(bool grab) { m_grabKeyboard = grab; }

    // --- Lifecycle ------------------------------------------------------------------------
    void Load();
    void Show();
    void Hide();
    void Refresh();
    void Unload();
    bool Loaded() const { return m_peer != nullptr; }
    bool Visible() const;
    // Forms loaded at this moment, over the whole program.
    static int LoadedCount();

    // --- Properties -----------------------------------------------------------------------
    HWND hWnd();
    HDC hDC() override;
    Long Width() const { return m_width; }
    Long Height() const { return m_height; }
    void SetWidth(Long twips);
    void SetHeight(Long twips);
    WindowState State() const { return m_state; }
    void SetWindowState(WindowState state);
    // The client size in twips (the whole screen while maximised).
    float ScaleWidth() override;
    float ScaleHeight() override;
    // The client size in pixels, by the twips rule (rounded operands, integer division).
    int ClientWidthPixels();
    int ClientHeightPixels();

    const std::vector<Control*>& Controls() const { return m_controls; }
    FormPeer* Peer() const { return m_peer.get(); }
    // Whether any control shows a widget (a dialog-like window rather than a canvas).
    bool HasVisibleControls() const;

    // --- The window's widgets (the peer calls these while it is made) --------------------
    // Makes every control's widget and attaches it, in the designed creation order: by tab
    // index (the order the keyboard focus moves in), a container before the controls inside
    // it whatever its own tab index.
    void MakeControls(ControlMaker& maker);
    // A control's rectangle in pixels of the client area: its designed place in twips by the
    // twips rule, each container's place added.
    Rect PlaceInPixels(const Control& control);

    // --- Input from the window (the peer calls these) ------------------------------------
    void KeyDown(Integer keyCode, Integer shift) { Form_KeyDown(keyCode, shift); }
    // Positions in twips, as the handlers receive them.
    void MouseDown(Integer button, Integer shift, float x, float y) {
        Form_MouseDown(button, shift, x, y);
    }
    void MouseMove(Integer button, Integer shift, float x, float y) {
        Form_MouseMove(button, shift, x, y);
    }
    // Positions in whole pixels of the client area (of the form's own picture, where a screen
    // shows it enlarged), handed on in twips.
    void MouseDownAtPixel(Integer button, Integer shift, int x, int y);
    void MouseMoveAtPixel(Integer button, Integer shift, int x, int y);
    // The system asks the window to close (its close command, Escape in a dialog, the end of
    // the session): Form_QueryUnload may cancel, otherwise the form is unloaded.
    void CloseRequested(Integer unloadMode = vbFormControlMenu);
    // Another program took the foreground from this program's windows.
    void ForegroundLost() { Form_ForegroundLost(); }

    // --- Repainting ------------------------------------------------------------------------
    // Where the window repaints from when the system finds its pixels spoiled: a DC holding
    // the whole client area's picture at the form's own pixel size (0: nothing). A window that
    // keeps no pixels of its own repaints the spoiled part from it.
    void SetRepaintSource(HDC hDC) { m_repaintSource = hDC; }
    HDC RepaintSource() const { return m_repaintSource; }

  protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(Integer& Cancel, Integer UnloadMode) {
        (void)Cancel, (void)UnloadMode;
    }
    virtual void Form_Unload(Integer& Cancel) { (void)Cancel; }
    virtual void Form_ForegroundLost() {}
    virtual void Form_KeyDown(Integer KeyCode, Integer Shift) { (void)KeyCode, (void)Shift; }
    virtual void Form_MouseDown(Integer Button, Integer Shift, float X, float Y) {
        (void)Button, (void)Shift, (void)X, (void)Y;
    }
    virtual void Form_MouseMove(Integer Button, Integer Shift, float X, float Y) {
        (void)Button, (void)Shift, (void)X, (void)Y;
    }

  private:
    friend class Control;
    void AddControl(Control& control);
    void RemoveControl(Control& control);
    void ApplySize();

    std::string m_name;
    std::string m_caption;
    BorderStyle m_border = BorderStyle::FixedSingle;
    ImageData m_icon;
    bool m_grabKeyboard = false;
    Long m_width = 0;
    Long m_height = 0;
    WindowState m_state = WindowState::Normal;
    std::vector<Control*> m_controls;
    std::unique_ptr<FormPeer> m_peer;
    bool m_loading = false;
    HDC m_repaintSource = 0;
};
