// The link control's hover state: when it changes and how the link then looks, apart from the painting.
#pragma once

namespace tc {

class LinkHover {
 public:
  // The mouse moved over the link; true when it has just arrived (ask to hear of its leaving, repaint at once).
  bool MouseMoved() {
    if (hovering_) return false;
    hovering_ = true;
    return true;
  }
  // The mouse left the link; true when that changes its look.
  bool MouseLeft() {
    if (!hovering_) return false;
    hovering_ = false;
    return true;
  }
  // Underlined and blue; a disabled link never looks hovered.
  bool LooksHovered(bool enabled) const { return hovering_ && enabled; }

 private:
  bool hovering_ = false;
};

}  // namespace tc
