// SPDX-License-Identifier: MIT
#pragma once
// A control on a form: its designed name, container, place and size (in twips), tab index and
// caption. The concrete controls keep their own values; when the form has a real window, each
// control has a peer (a toolkit widget) and its values live in the widget.

#include <memory>
#include <string>

#include "platform/types.h"

class Form;

enum class ControlKind {
    CheckBox,
    HScrollBar,
    CommandButton,
    Label,
    Frame,
    Image,
    PictureBox,
    Timer
};

// The toolkit side of a control.
class ControlPeer {
  public:
    virtual ~ControlPeer() = default;
    virtual int Value() = 0;
    virtual void SetValue(int value) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
};

class Control {
  public:
    // container: the frame that holds the control, or null for the form itself.
    Control(Form& form, Control* container, std::string name, ControlKind kind);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return m_name; }
    ControlKind Kind() const { return m_kind; }
    Form& Parent() { return m_form; }
    Control* Container() const { return m_container; }

    void Place(Long left, Long top, Long width, Long height);
    Long Left() const { return m_left; }
    Long Top() const { return m_top; }
    Long Width() const { return m_width; }
    Long Height() const { return m_height; }

    int TabIndex() const { return m_tabIndex; }
    void SetTabIndex(int tabIndex) { m_tabIndex = tabIndex; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);

    ControlPeer* Peer() const { return m_peer.get(); }
    void AttachPeer(std::unique_ptr<ControlPeer> peer);
    void DetachPeer();

  protected:
    // Called once a peer is attached, to hand it the control's current values.
    virtual void SyncPeer() {}
    // Called before the peer goes, to keep the values the user set in the widget.
    virtual void CaptureFromPeer() {}

  private:
    Form& m_form;
    Control* m_container;
    std::string m_name;
    ControlKind m_kind;
    Long m_left = 0;
    Long m_top = 0;
    Long m_width = 0;
    Long m_height = 0;
    int m_tabIndex = -1;
    bool m_visible = true;
    std::string m_caption;
    std::unique_ptr<ControlPeer> m_peer;
};
