// SPDX-License-Identifier: MIT
#include "platform/win32/Win32FormPeer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Control.h"
#include "platform/win32/Win32ControlPeers.h"
#include "platform/win32/Win32Host.h"

namespace {

constexpr const char* kClassName = "GlimmerdelForm";
// Sent when a window's monitor changes its density (Windows 8.1 and later).
constexpr UINT kDpiChanged = 0x02E0;
// The power setting of the display's state: 0 off, 1 on, 2 dimmed.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0;

Integer ShiftState() {
    Integer shift = 0;
    if (GetKeyState(VK_SHIFT) & 0x8000)
        shift |= 1;
    if (GetKeyState(VK_CONTROL) & 0x8000)
        shift |= 2;
    if (GetKeyState(VK_MENU) & 0x8000)
        shift |= 4;
    return shift;
}

Integer ButtonState(WPARAM wParam) {
    Integer buttons = 0;
    if (wParam & MK_LBUTTON)
        buttons |= 1;
    if (wParam & MK_RBUTTON)
        buttons |= 2;
    if (wParam & MK_MBUTTON)
        buttons |= 4;
    return buttons;
}

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* peer = reinterpret_cast<Win32FormPeer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (peer == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    return peer->Handle(window, message, wParam, lParam);
}

void RegisterFormClass(HINSTANCE instance) {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // Its own DC for each window: the DC the program draws on stays the same for the window's
    // life, as the form's hDC does.
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = FormProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
    windowClass.lpszClassName = kClassName;
    registered = RegisterClassExA(&windowClass) != 0;
}

}  // namespace

Win32FormPeer::Win32FormPeer(Win32Host& host, Form& form) : m_host(host), m_form(form) {
    RegisterFormClass(m_host.Instance());
    m_hasControls = form.HasVisibleControls();
    const bool borderless = form.Border() == BorderStyle::Borderless;
    const DWORD style =
        borderless ? WS_POPUP : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    DWORD extended = m_hasControls ? WS_EX_CONTROLPARENT : 0;
    // A window without a title bar gets no taskbar button either.
    if (borderless)
        extended |= WS_EX_TOOLWINDOW;
    if (borderless && form.State() == WindowState::Maximized)
        extended |= WS_EX_TOPMOST;
    m_hWnd = CreateWindowExA(extended, kClassName, form.Caption().c_str(), style, 0, 0, 1, 1,
                             nullptr, nullptr, m_host.Instance(), this);
    if (m_hWnd == nullptr)
        return;
    // The dialog font at the display's density: 10 pixels at 96 dots per inch, so that every
    // caption fits its designed place (the tightest is "Speed" in 33 pixels).
    m_font = CreateFontA(-MulDiv(10, m_host.DotsPerInch(), 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                         FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
    MakeIcons();
    m_maximized = form.State() == WindowState::Maximized;
    PlaceWindow(std::max(form.ClientWidthPixels(), 1), std::max(form.ClientHeightPixels(), 1));
    MakeControls();
    m_host.PeerCreated(this);
}

Win32FormPeer::~Win32FormPeer() {
    m_host.PeerDestroyed(this);
    if (m_powerNotify != nullptr)
        UnregisterPowerSettingNotification(m_powerNotify);
    if (m_hWnd != nullptr) {
        if (m_hDC != nullptr)
            ReleaseDC(m_hWnd, m_hDC);
        // Messages still on their way go to the system's default handling.
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
    }
    if (m_font != nullptr)
        DeleteObject(m_font);
    if (m_bigIcon != nullptr)
        DestroyIcon(m_bigIcon);
    if (m_smallIcon != nullptr)
        DestroyIcon(m_smallIcon);
}

void Win32FormPeer::MakeIcons() {
    // The program's icon from its resources; a program without one (a test) makes it from the
    // form's designed picture.
    HINSTANCE instance = m_host.Instance();
    m_bigIcon =
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    m_smallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), 0));
    const ImageData& picture = m_form.Icon();
    if (m_bigIcon == nullptr && picture.pixels != nullptr) {
        HBITMAP colour = gdi::CreateBitmapFromPixels(picture.width, picture.height, picture.pixels,
                                                     picture.width);
        HBITMAP mask = CreateBitmap(picture.width, picture.height, 1, 1, nullptr);
        HDC maskDC = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(maskDC, mask);
        PatBlt(maskDC, 0, 0, picture.width, picture.height, BLACKNESS);  // every pixel opaque
        SelectObject(maskDC, old);
        DeleteDC(maskDC);
        ICONINFO info{TRUE, 0, 0, mask, colour};
        if (colour != nullptr && mask != nullptr)
            m_bigIcon = CreateIconIndirect(&info);
        if (colour != nullptr)
            DeleteObject(colour);
        if (mask != nullptr)
            DeleteObject(mask);
    }
    if (m_bigIcon != nullptr)
        SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    if (m_smallIcon != nullptr || m_bigIcon != nullptr) {
        SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(m_smallIcon ? m_smallIcon : m_bigIcon));
    }
}

void Win32FormPeer::PlaceWindow(int width, int height) {
    if (m_maximized) {
        // The whole of the selected monitor, over the taskbar, at its scale: the form's picture
        // is the monitor's size divided by it.
        const MonitorArea monitor = m_host.SelectedMonitor();
        m_scale = monitor.scale;
        ::SetWindowPos(m_hWnd, nullptr, monitor.x, monitor.y, monitor.width, monitor.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        MapFormPixels(hDC());
        return;
    }
    m_scale = 1;
    MapFormPixels(hDC());
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)));
    const int outerWidth = frame.right - frame.left;
    const int outerHeight = frame.bottom - frame.top;
    // Centred on the work area of the screen.
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int x =
        static_cast<int>(work.left + std::max<long>(0, (work.right - work.left - outerWidth) / 2));
    const int y =
        static_cast<int>(work.top + std::max<long>(0, (work.bottom - work.top - outerHeight) / 2));
    ::SetWindowPos(m_hWnd, nullptr, x, y, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormPeer::MakeControls() {
    // The form gives the order (the system moves the focus through a window's controls in the
    // order they were made) and the places; every control is a child of the form's window.
    struct Maker : ControlMaker {
        HWND window;
        HFONT font;
        std::unique_ptr<ControlPeer> MakeControl(Control& control, const Rect& place,
                                                 ControlPeer*) override {
            return win32_controls::MakePeer(control, window, font, place, pictureScale);
        }
        int pictureScale;
    } maker;
    maker.window = m_hWnd;
    maker.font = m_font;
    maker.pictureScale = win32_controls::PictureScale(m_host.DotsPerInch());
    m_form.MakeControls(maker);
}

HDC Win32FormPeer::hDC() {
    if (m_hDC == nullptr && m_hWnd != nullptr) {
        m_hDC = GetDC(m_hWnd);
        MapFormPixels(m_hDC);
    }
    return m_hDC;
}

void Win32FormPeer::MapFormPixels(HDC dc) const {
    if (dc == nullptr)
        return;
    if (m_scale <= 1) {
        SetMapMode(dc, MM_TEXT);
        return;
    }
    // Every copy onto the window is a stretch by the scale: each of the form's pixels becomes a
    // block, by nearest neighbour.
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1, 1, nullptr);
    SetViewportExtEx(dc, m_scale, m_scale, nullptr);
    SetStretchBltMode(dc, COLORONCOLOR);
}

void Win32FormPeer::Repaint() {
    // In the window's own pixels while it paints: the spoiled part and the clipping to it are
    // given in the units of the DC's mapping, and the window's own DC maps the form's pixels.
    HDC own = hDC();
    SetMapMode(own, MM_TEXT);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    const HDC source = m_form.RepaintSource();
    if (dc != nullptr && source != nullptr && !IsRectEmpty(&paint.rcPaint)) {
        // The spoiled part, from the picture the form keeps of the window: the form's pixels
        // that cover it, each a block of the window's.
        const int s = m_scale;
        const int left = static_cast<int>(paint.rcPaint.left) / s;
        const int top = static_cast<int>(paint.rcPaint.top) / s;
        const int right = (static_cast<int>(paint.rcPaint.right) + s - 1) / s;
        const int bottom = (static_cast<int>(paint.rcPaint.bottom) + s - 1) / s;
        SetMapMode(dc, MM_TEXT);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, left * s, top * s, (right - left) * s, (bottom - top) * s, source, left, top,
                   right - left, bottom - top, SRCCOPY);
    }
    EndPaint(m_hWnd, &paint);
    MapFormPixels(own);
}

void Win32FormPeer::Show() {
    if (m_hWnd == nullptr)
        return;
    ShowWindow(m_hWnd, SW_SHOW);
    if (m_maximized) {
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        m_host.SaverShown();
        // The system tells the window the display's state at once, and whenever it changes.
        if (m_powerNotify == nullptr) {
            m_powerNotify = RegisterPowerSettingNotification(m_hWnd, &kConsoleDisplayState,
                                                             DEVICE_NOTIFY_WINDOW_HANDLE);
        }
    }
    SetForegroundWindow(m_hWnd);
    if (m_hasControls && !m_focusSet) {
        // The focus starts on the first control in tab order that takes it.
        m_focusSet = true;
        HWND first = GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
        if (first != nullptr)
            SetFocus(first);
    } else {
        SetFocus(m_hWnd);
    }
    UpdateWindow(m_hWnd);
}

void Win32FormPeer::Hide() {
    if (m_hWnd != nullptr)
        ShowWindow(m_hWnd, SW_HIDE);
}

void Win32FormPeer::Refresh() {
    if (m_hWnd != nullptr)
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool Win32FormPeer::Visible() {
    return m_hWnd != nullptr && IsWindowVisible(m_hWnd);
}

void Win32FormPeer::Resize(int width, int height, bool maximized) {
    if (m_hWnd == nullptr)
        return;
    m_maximized = maximized;
    if (maximized) {
        SetWindowLongPtrA(
            m_hWnd, GWL_EXSTYLE,
            GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) | WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    }
    PlaceWindow(std::max(width, 1), std::max(height, 1));
}

void Win32FormPeer::SetCaption(const std::string& caption) {
    if (m_hWnd != nullptr)
        SetWindowTextA(m_hWnd, caption.c_str());
}

bool Win32FormPeer::HandleSaverMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_POWERBROADCAST: {
            // The display went off or came back: no frames while nobody can see them. A
            // dimmed display still shows the scene.
            const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
            if (wParam != PBT_POWERSETTINGCHANGE || setting == nullptr ||
                !IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) ||
                setting->DataLength < sizeof(DWORD)) {
                return false;
            }
            DWORD state = 0;
            std::memcpy(&state, setting->Data, sizeof state);
            m_host.DisplayPowerChanged(state == kDisplayOff ? SceneVisibility::DisplayPower::Off
                                                            : SceneVisibility::DisplayPower::On);
            result = TRUE;
            return true;
        }
        case WM_ACTIVATEAPP:
            // Another program took the foreground: it would get the keys meant to end the
            // saver. A message box of the saver's own is no other program.
            if (wParam == FALSE && !m_host.InModalLoop())
                m_form.ForegroundLost();
            return true;
        case WM_SYSCOMMAND:
            // The system's idle timer asks to start the screen saver: it already runs.
            return (wParam & 0xFFF0) == SC_SCREENSAVE;
        case kDpiChanged:
            // The scene is in physical pixels: the window stays over its monitor as it is.
            return true;
        default:
            return false;
    }
}

LRESULT Win32FormPeer::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages come from the moment of creation, before the handle is known here.
    if (m_hWnd == nullptr)
        m_hWnd = window;
    LRESULT result = 0;
    if (m_maximized && HandleSaverMessage(message, wParam, lParam, result))
        return result;
    switch (message) {
        case WM_ERASEBKGND:
            // A canvas keeps what was drawn on it; a dialog has the system's face colour.
            if (m_hasControls) {
                RECT client;
                GetClientRect(m_hWnd, &client);
                FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
            }
            return 1;
        case WM_PAINT:
            Repaint();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            m_form.KeyDown(static_cast<Integer>(wParam & 0xFF), ShiftState());
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const Integer button = message == WM_LBUTTONDOWN   ? 1
                                   : message == WM_RBUTTONDOWN ? 2
                                                               : 4;
            // Positions in the form's own picture, which a high-density monitor shows enlarged.
            m_form.MouseDownAtPixel(button, ShiftState(),
                                    static_cast<short>(LOWORD(lParam)) / m_scale,
                                    static_cast<short>(HIWORD(lParam)) / m_scale);
            return 0;
        }
        case WM_MOUSEMOVE:
            m_form.MouseMoveAtPixel(ButtonState(wParam), ShiftState(),
                                    static_cast<short>(LOWORD(lParam)) / m_scale,
                                    static_cast<short>(HIWORD(lParam)) / m_scale);
            return 0;
        case WM_COMMAND:
            if (lParam != 0 && win32_controls::HandleCommand(wParam, lParam))
                return 0;
            if (lParam == 0 && LOWORD(wParam) == IDCANCEL) {
                // Escape in the dialog: the window's own close command.
                m_form.CloseRequested();
                return 0;
            }
            break;
        case WM_HSCROLL:
            if (lParam != 0 && win32_controls::HandleScroll(wParam, lParam))
                return 0;
            break;
        case WM_CLOSE:
            // The close command, Alt+F4, a close message (Task Manager's End task).
            m_form.CloseRequested(vbFormControlMenu);
            return 0;
        case WM_ENDSESSION:
            // Log-off or shut-down: the process goes when this returns.
            if (wParam != FALSE)
                m_form.CloseRequested(vbAppWindows);
            return 0;
        case WM_DISPLAYCHANGE:
            m_host.DisplayChanged();
            break;
        case kDpiChanged: {
            // The dialog keeps its layout (made at the density it started with) and goes where
            // the system suggests.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            if (suggested != nullptr) {
                ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
