// A static text that behaves as a hyperlink: hand cursor, blue and underlined under the mouse, a command on click.
#pragma once

#include <windows.h>

#include "ui/LinkHover.h"

namespace tc {

// Attached to a dialog's static control for as long as the object lives; the control's normal font stays the
// dialog's, the underlined copy and the cursor are the link's own.
class LinkControl {
 public:
  explicit LinkControl(HWND control);
  ~LinkControl();
  LinkControl(const LinkControl&) = delete;
  LinkControl& operator=(const LinkControl&) = delete;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void Repaint();
  void Activate();

  HWND control_;
  WNDPROC staticProcedure_ = nullptr;
  HFONT underlined_ = nullptr;
  HCURSOR cursor_ = nullptr;
  LinkHover hover_;
};

}  // namespace tc
