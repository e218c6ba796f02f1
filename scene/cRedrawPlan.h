// SPDX-License-Identifier: MIT
#pragma once
// Which sprites a frame has to lift, save under, draw and copy to the window, and which it may
// leave as they stand.
//
// After the restore pass of a frame the stage holds only the static scene under every sprite,
// every background a sprite saved is static scene, and after the draw pass the stage shows every
// active sprite, drawn in the fixed order, at its place; the window then shows the stage. A
// sprite drawn in the last frame at the same place with the same cell therefore comes out the
// same when it is left alone, as long as no sprite that is redrawn touches its rectangle: such
// a sprite, lifted at its old place, would uncover the static scene over part of it, or, drawn
// at its new place, would save a background with it inside and land in the wrong order. So the
// plan redraws every sprite that is new, moved or changed its cell, and then every sprite whose
// rectangle overlaps the old or new rectangle of a sprite being redrawn, until none is left.
//
// Rectangles are compared whole, off-screen parts included: that can only redraw more.

#include <cstdint>
#include <vector>

#include "platform/Rect.h"
#include "platform/types.h"

class cRedrawPlan {
  public:
    // Where a sprite is to be drawn in this frame, and with which cell.
    struct Placement {
        bool active = false;
        Long x = 0;
        Long y = 0;
        Long width = 0;
        Long height = 0;
        Long cell = 0;
    };

    // A plan for this many sprites, none of them drawn yet.
    explicit cRedrawPlan(std::size_t count = 0);

    std::size_t Count() const { return m_drawn.size(); }
    // Decides for each sprite (the placements in the order the sprites are drawn, as many as
    // Count) whether the frame redraws it. Inactive sprites are never redrawn.
    void Plan(const std::vector<Placement>& next);
    bool MustRedraw(std::size_t index) const { return m_redraw[index] != 0; }
    // The sprites redrawn in this frame are now drawn at their planned places.
    void Commit(const std::vector<Placement>& next);
    // Forgets every drawing: the next plan redraws every active sprite.
    void Forget();

  private:
    static Rect RectOf(const Placement& placement);

    std::vector<Placement> m_drawn;  // where each sprite was drawn last (active: drawn at all)
    std::vector<std::uint8_t> m_redraw;
    std::vector<Rect> m_touched;         // old and new rectangles of the sprites being redrawn
    std::vector<std::size_t> m_waiting;  // sprites left as they stand so far
};
