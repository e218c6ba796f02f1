// SPDX-License-Identifier: MIT
#include "platform/x11/FltkControlPeers.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Scrollbar.H>

#include <cstdlib>
#include <vector>

#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/Control.h"
#include "platform/HScrollBar.h"
#include "platform/ImageControl.h"

namespace {

// An image the toolkit can draw, made from 0x00RRGGBB pixels (it keeps its own copy).
class RgbImage {
  public:
    explicit RgbImage(const ImageData& data) {
        if (data.pixels == nullptr || data.width <= 0 || data.height <= 0)
            return;
        m_bytes.resize(static_cast<size_t>(data.width) * data.height * 3);
        for (size_t i = 0, n = static_cast<size_t>(data.width) * data.height; i < n; ++i) {
            m_bytes[i * 3] = static_cast<unsigned char>(data.pixels[i] >> 16);
            m_bytes[i * 3 + 1] = static_cast<unsigned char>(data.pixels[i] >> 8);
            m_bytes[i * 3 + 2] = static_cast<unsigned char>(data.pixels[i]);
        }
        m_image = std::make_unique<Fl_RGB_Image>(m_bytes.data(), data.width, data.height, 3);
    }
    Fl_RGB_Image* Get() const { return m_image.get(); }

  private:
    std::vector<unsigned char> m_bytes;
    std::unique_ptr<Fl_RGB_Image> m_image;
};

// A box whose caption or picture starts right at its left edge, as designed: the toolkit's plain
// box indents a left-aligned label by a few pixels, which would push a caption that fills the
// designed width over the edge and move a picture off the control's place.
class EdgeBox : public Fl_Box {
  public:
    EdgeBox(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
    void draw() override {
        draw_box();
        draw_label(x(), y(), w(), h(), align());
    }
};

// A horizontal scroll bar that behaves as designed: a click on an arrow moves it by its
// SmallChange, a click in the trough beside the thumb by its LargeChange, and it is a tab stop
// whose Left and Right keys move it by SmallChange.
class ScrollBarWidget : public Fl_Scrollbar {
  public:
    ScrollBarWidget(int x, int y, int w, int h, const HScrollBar& design)
        : Fl_Scrollbar(x, y, w, h) {
        type(FL_HORIZONTAL);
        bounds(design.Min(), design.Max());
        linesize(design.SmallChange());
        // The toolkit steps a trough click by int(range * s / (1 - s)), at least the line size,
        // where s is the thumb's share of the trough: pick s so that this is LargeChange.
        const double range = std::abs(design.Max() - design.Min());
        const double page = design.LargeChange() + 0.5;
        slider_size(range > 0 ? page / (range + page) : 1.0);
    }

    int handle(int event) override {
        if (event == FL_FOCUS || event == FL_UNFOCUS) {
            if (!Fl::visible_focus())
                return 0;
            redraw();
            return 1;
        }
        return Fl_Scrollbar::handle(event);
    }
};

// A peer that only owns its image (labels, frames, image controls): the widget belongs to the
// window and goes with it.
class PassivePeer : public ControlPeer {
  public:
    PassivePeer(Fl_Widget* widget, std::unique_ptr<RgbImage> image)
        : m_widget(widget), m_image(std::move(image)) {}
    int Value() override { return 0; }
    void SetValue(int) override {}
    void SetCaption(const std::string& caption) override { m_widget->copy_label(caption.c_str()); }

  private:
    Fl_Widget* m_widget;
    std::unique_ptr<RgbImage> m_image;
};

class CheckBoxPeer : public ControlPeer {
  public:
    explicit CheckBoxPeer(Fl_Check_Button* button) : m_button(button) {}
    int Value() override { return m_button->value() ? 1 : 0; }
    void SetValue(int value) override { m_button->value(value != 0); }
    void SetCaption(const std::string& caption) override { m_button->copy_label(caption.c_str()); }

  private:
    Fl_Check_Button* m_button;
};

class ScrollBarPeer : public ControlPeer {
  public:
    explicit ScrollBarPeer(Fl_Scrollbar* bar) : m_bar(bar) {}
    int Value() override { return m_bar->value(); }
    void SetValue(int value) override { m_bar->value(value); }
    void SetCaption(const std::string&) override {}

  private:
    Fl_Scrollbar* m_bar;
};

class ButtonPeer : public ControlPeer {
  public:
    ButtonPeer(Fl_Button* button, CommandButton& control, std::unique_ptr<RgbImage> image)
        : m_button(button), m_image(std::move(image)) {
        m_button->callback(
            [](Fl_Widget*, void* data) { static_cast<CommandButton*>(data)->Click(); }, &control);
    }
    int Value() override { return 0; }
    void SetValue(int) override {}
    void SetCaption(const std::string& caption) override { m_button->copy_label(caption.c_str()); }

  private:
    Fl_Button* m_button;
    std::unique_ptr<RgbImage> m_image;
};

}  // namespace

namespace fltk_controls {

std::unique_ptr<ControlPeer> MakePeer(Control& control, const Rect& place, Fl_Group** group) {
    *group = nullptr;
    if (!control.Visible())
        return nullptr;
    const int x = place.x;
    const int y = place.y;
    const int w = place.width;
    const int h = place.height;
    switch (control.Kind()) {
        case ControlKind::CheckBox: {
            auto* button = new Fl_Check_Button(x, y, w, h);
            button->copy_label(control.Caption().c_str());
            return std::make_unique<CheckBoxPeer>(button);
        }
        case ControlKind::HScrollBar: {
            auto* bar = new ScrollBarWidget(x, y, w, h, static_cast<HScrollBar&>(control));
            return std::make_unique<ScrollBarPeer>(bar);
        }
        case ControlKind::CommandButton: {
            auto& command = static_cast<CommandButton&>(control);
            auto* button = new Fl_Button(x, y, w, h);
            auto image = std::make_unique<RgbImage>(command.Picture());
            if (image->Get() != nullptr) {
                button->image(image->Get());
                button->align(FL_ALIGN_IMAGE_BACKDROP | FL_ALIGN_CENTER);
            } else {
                button->copy_label(control.Caption().c_str());
            }
            return std::make_unique<ButtonPeer>(button, command, std::move(image));
        }
        case ControlKind::Label: {
            auto* box = new EdgeBox(x, y, w, h);
            box->copy_label(control.Caption().c_str());
            box->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP);
            return std::make_unique<PassivePeer>(box, nullptr);
        }
        case ControlKind::Frame: {
            auto* frame = new Fl_Group(x, y, w, h);
            frame->box(FL_ENGRAVED_FRAME);
            if (!control.Caption().empty()) {
                frame->copy_label(control.Caption().c_str());
                frame->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);
            }
            *group = frame;
            return std::make_unique<PassivePeer>(frame, nullptr);
        }
        case ControlKind::Image: {
            auto* box = new EdgeBox(x, y, w, h);
            auto image = std::make_unique<RgbImage>(static_cast<ImageControl&>(control).Picture());
            box->image(image->Get());
            box->align(FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT | FL_ALIGN_CLIP);
            return std::make_unique<PassivePeer>(box, std::move(image));
        }
        case ControlKind::PictureBox:
        case ControlKind::Timer:
            return nullptr;
    }
    return nullptr;
}

}  // namespace fltk_controls
