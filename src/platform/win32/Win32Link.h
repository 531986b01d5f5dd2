// A static text that behaves as a hyperlink: hand cursor, blue and underlined under the mouse, a command on click.
#pragma once

#include <windows.h>

namespace tc {

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

  HWND control_;
  WNDPROC staticProcedure_;
  HFONT underlined_ = nullptr;
  HCURSOR cursor_ = nullptr;
  bool hovering_ = false;
};

}  // namespace tc
