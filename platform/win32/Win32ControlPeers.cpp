// SPDX-License-Identifier: MIT
#include "platform/win32/Win32ControlPeers.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/Control.h"
#include "platform/HScrollBar.h"
#include "platform/ImageControl.h"
#include "platform/gdi.h"

namespace {

constexpr const char* kPeerProperty = "Glimmerdel.peer";

// A bitmap of the system's holding a picture's pixels at a scale, no larger than its place
// (null for no picture).
HBITMAP BitmapOf(const ImageData& picture, int scale, const Rect& place) {
    if (picture.pixels == nullptr || picture.width <= 0 || picture.height <= 0)
        return nullptr;
    if (scale <= 1) {
        return gdi::CreateBitmapFromPixels(picture.width, picture.height, picture.pixels,
                                           picture.width);
    }
    const win32_controls::ScaledPicture scaled =
        win32_controls::ScalePicture(picture, scale, place.width, place.height);
    return gdi::CreateBitmapFromPixels(scaled.width, scaled.height, scaled.pixels.data(),
                                       scaled.width);
}

class Win32ControlPeer : public ControlPeer {
  public:
    Win32ControlPeer(HWND window, HBITMAP bitmap) : m_window(window), m_bitmap(bitmap) {
        SetPropA(m_window, kPeerProperty, this);
    }
    ~Win32ControlPeer() override {
        RemovePropA(m_window, kPeerProperty);
        DestroyWindow(m_window);
        if (m_bitmap != nullptr)
            DeleteObject(m_bitmap);
    }
    Win32ControlPeer(const Win32ControlPeer&) = delete;
    Win32ControlPeer& operator=(const Win32ControlPeer&) = delete;

    int Value() override { return 0; }
    void SetValue(int) override {}
    void SetCaption(const std::string& caption) override {
        SetWindowTextA(m_window, caption.c_str());
    }
    virtual void Command(WORD) {}
    virtual void Scroll(WORD) {}

    static Win32ControlPeer* Of(HWND window) {
        return window != nullptr ? static_cast<Win32ControlPeer*>(GetPropA(window, kPeerProperty))
                                 : nullptr;
    }

  protected:
    HWND Window() const { return m_window; }

  private:
    HWND m_window;
    HBITMAP m_bitmap;
};

class CheckBoxPeer : public Win32ControlPeer {
  public:
    using Win32ControlPeer::Win32ControlPeer;
    int Value() override {
        const LRESULT state = SendMessageA(Window(), BM_GETCHECK, 0, 0);
        return state == BST_CHECKED ? 1 : state == BST_INDETERMINATE ? 2 : 0;
    }
    void SetValue(int value) override {
        SendMessageA(Window(), BM_SETCHECK,
                     value == 1   ? BST_CHECKED
                     : value == 2 ? BST_INDETERMINATE
                                  : BST_UNCHECKED,
                     0);
    }
};

// A horizontal scroll bar that moves as designed: an arrow (or Left and Right while it has
// the focus) by SmallChange, the trough beside the thumb (or Page Up and Down) by LargeChange.
class ScrollBarPeer : public Win32ControlPeer {
  public:
    ScrollBarPeer(HWND window, const HScrollBar& design)
        : Win32ControlPeer(window, nullptr),
          m_min(design.Min()),
          m_max(design.Max()),
          m_small(design.SmallChange()),
          m_large(design.LargeChange()) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
        info.nMin = std::min(m_min, m_max);
        info.nMax = std::max(m_min, m_max);
        info.nPage = 0;
        info.nPos = m_min;
        SetScrollInfo(Window(), SB_CTL, &info, TRUE);
    }
    int Value() override { return GetScrollPos(Window(), SB_CTL); }
    void SetValue(int value) override { SetScrollPos(Window(), SB_CTL, value, TRUE); }
    void Scroll(WORD request) override {
        // The bar runs from Min (left) to Max (right); a bar designed from high to low moves
        // the other way.
        const int direction = m_max >= m_min ? 1 : -1;
        int value = Value();
        switch (request) {
            case SB_LINELEFT:
                value -= direction * m_small;
                break;
            case SB_LINERIGHT:
                value += direction * m_small;
                break;
            case SB_PAGELEFT:
                value -= direction * m_large;
                break;
            case SB_PAGERIGHT:
                value += direction * m_large;
                break;
            case SB_LEFT:
                value = std::min(m_min, m_max);
                break;
            case SB_RIGHT:
                value = std::max(m_min, m_max);
                break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: {
                SCROLLINFO info{};
                info.cbSize = sizeof info;
                info.fMask = SIF_TRACKPOS;
                if (GetScrollInfo(Window(), SB_CTL, &info))
                    value = info.nTrackPos;
                break;
            }
            default:
                return;
        }
        SetValue(std::clamp(value, std::min(m_min, m_max), std::max(m_min, m_max)));
    }

  private:
    int m_min;
    int m_max;
    int m_small;
    int m_large;
};

class ButtonPeer : public Win32ControlPeer {
  public:
    ButtonPeer(HWND window, HBITMAP bitmap, CommandButton& control)
        : Win32ControlPeer(window, bitmap), m_control(control) {}
    void Command(WORD code) override {
        if (code == BN_CLICKED)
            m_control.Click();
    }

  private:
    CommandButton& m_control;
};

HWND MakeWindow(const char* className, const std::string& text, DWORD style, int x, int y, int w,
                int h, HWND parent, HFONT font) {
    HWND window = CreateWindowExA(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y,
                                  w, h, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr && font != nullptr)
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return window;
}

}  // namespace

namespace win32_controls {

int PictureScale(int dotsPerInch) {
    return std::max(1, dotsPerInch / 96);
}

ScaledPicture ScalePicture(const ImageData& picture, int scale, int maxWidth, int maxHeight) {
    ScaledPicture scaled;
    if (picture.pixels == nullptr || picture.width <= 0 || picture.height <= 0)
        return scaled;
    scale = std::clamp(scale, 1, 16);
    const int fullWidth = picture.width * scale;
    const int fullHeight = picture.height * scale;
    scaled.width = std::clamp(maxWidth, 1, fullWidth);
    scaled.height = std::clamp(maxHeight, 1, fullHeight);
    // What is cut goes evenly from both sides.
    const int left = (fullWidth - scaled.width) / 2;
    const int top = (fullHeight - scaled.height) / 2;
    scaled.pixels.resize(static_cast<size_t>(scaled.width) * scaled.height);
    for (int y = 0; y < scaled.height; ++y) {
        const std::uint32_t* row =
            picture.pixels + static_cast<size_t>((top + y) / scale) * picture.width;
        std::uint32_t* out = scaled.pixels.data() + static_cast<size_t>(y) * scaled.width;
        for (int x = 0; x < scaled.width; ++x)
            out[x] = row[(left + x) / scale];
    }
    return scaled;
}

std::unique_ptr<ControlPeer> MakePeer(Control& control, HWND parent, HFONT font, const Rect& place,
                                      int pictureScale) {
    if (!control.Visible())
        return nullptr;
    const int x = place.x;
    const int y = place.y;
    const int w = place.width;
    const int h = place.height;
    switch (control.Kind()) {
        case ControlKind::CheckBox: {
            HWND box = MakeWindow(WC_BUTTONA, control.Caption(), BS_AUTOCHECKBOX | WS_TABSTOP, x, y,
                                  w, h, parent, font);
            return box ? std::make_unique<CheckBoxPeer>(box, nullptr) : nullptr;
        }
        case ControlKind::HScrollBar: {
            HWND bar =
                MakeWindow(WC_SCROLLBARA, "", SBS_HORZ | WS_TABSTOP, x, y, w, h, parent, nullptr);
            return bar ? std::make_unique<ScrollBarPeer>(bar, static_cast<HScrollBar&>(control))
                       : nullptr;
        }
        case ControlKind::CommandButton: {
            auto& command = static_cast<CommandButton&>(control);
            HBITMAP bitmap = BitmapOf(command.Picture(), pictureScale, place);
            HWND button = MakeWindow(WC_BUTTONA, bitmap ? "" : control.Caption(),
                                     BS_PUSHBUTTON | WS_TABSTOP | (bitmap ? BS_BITMAP : 0), x, y, w,
                                     h, parent, font);
            if (button == nullptr) {
                if (bitmap)
                    DeleteObject(bitmap);
                return nullptr;
            }
            if (bitmap)
                SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
            return std::make_unique<ButtonPeer>(button, bitmap, command);
        }
        case ControlKind::Label: {
            HWND label = MakeWindow(WC_STATICA, control.Caption(), SS_LEFT | SS_NOPREFIX, x, y, w,
                                    h, parent, font);
            return label ? std::make_unique<Win32ControlPeer>(label, nullptr) : nullptr;
        }
        case ControlKind::Frame: {
            HWND frame =
                MakeWindow(WC_BUTTONA, control.Caption(), BS_GROUPBOX, x, y, w, h, parent, font);
            return frame ? std::make_unique<Win32ControlPeer>(frame, nullptr) : nullptr;
        }
        case ControlKind::Image: {
            HBITMAP bitmap =
                BitmapOf(static_cast<ImageControl&>(control).Picture(), pictureScale, place);
            HWND image = MakeWindow(WC_STATICA, "", SS_BITMAP, x, y, w, h, parent, nullptr);
            if (image == nullptr) {
                if (bitmap)
                    DeleteObject(bitmap);
                return nullptr;
            }
            if (bitmap)
                SendMessageA(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
            return std::make_unique<Win32ControlPeer>(image, bitmap);
        }
        case ControlKind::PictureBox:
        case ControlKind::Timer:
            return nullptr;
    }
    return nullptr;
}

bool HandleCommand(WPARAM wParam, LPARAM lParam) {
    Win32ControlPeer* peer = Win32ControlPeer::Of(reinterpret_cast<HWND>(lParam));
    if (peer == nullptr)
        return false;
    peer->Command(HIWORD(wParam));
    return true;
}

bool HandleScroll(WPARAM wParam, LPARAM lParam) {
    Win32ControlPeer* peer = Win32ControlPeer::Of(reinterpret_cast<HWND>(lParam));
    if (peer == nullptr)
        return false;
    peer->Scroll(LOWORD(wParam));
    return true;
}

}  // namespace win32_controls
