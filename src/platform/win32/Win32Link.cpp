// A static text that behaves as a hyperlink.
#include "platform/win32/Win32Link.h"

#include "resources/HandCursor.h"

namespace tc {

namespace {

constexpr wchar_t kLinkProperty[] = L"TessalyCorvaloLink";

HCURSOR CreateHandCursor() {
  BYTE andPlane[32 * 4] = {};
  BYTE xorPlane[32 * 4] = {};
  for (int row = 0; row < 32; ++row) {
    for (int column = 0; column < 32; ++column) {
      const char pixel = kHandCursor[row][column];
      const int byte = row * 4 + column / 8;
      const BYTE bit = static_cast<BYTE>(0x80 >> (column % 8));
      if (pixel == ' ') andPlane[byte] |= bit;
      if (pixel == '.') xorPlane[byte] |= bit;
    }
  }
  return CreateCursor(GetModuleHandleW(nullptr), kHandCursorHotSpotX, kHandCursorHotSpotY, 32, 32, andPlane,
                      xorPlane);
}

}  // namespace

LinkControl::LinkControl(HWND control) : control_(control), cursor_(CreateHandCursor()) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control_, WM_GETFONT, 0, 0));
  LOGFONTW description{};
  if (font && GetObjectW(font, sizeof(description), &description)) {
    description.lfUnderline = TRUE;
    underlined_ = CreateFontIndirectW(&description);
  }
  SetPropW(control_, kLinkProperty, this);
  staticProcedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkControl::Procedure)));
}

LinkControl::~LinkControl() {
  if (IsWindow(control_)) {
    SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(staticProcedure_));
    RemovePropW(control_, kLinkProperty);
  }
  if (underlined_) DeleteObject(underlined_);
  if (cursor_) DestroyCursor(cursor_);
}

LRESULT CALLBACK LinkControl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* link = static_cast<LinkControl*>(GetPropW(window, kLinkProperty));
  if (!link) return DefWindowProcW(window, message, wParam, lParam);
  return link->Handle(message, wParam, lParam);
}

void LinkControl::Repaint() {
  InvalidateRect(control_, nullptr, TRUE);
  UpdateWindow(control_);
}

LRESULT LinkControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ENABLE:
    case WM_SETTEXT:
      InvalidateRect(control_, nullptr, TRUE);
      break;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(control_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_SETCURSOR:
      SetCursor(cursor_);
      return TRUE;
    case WM_MOUSEMOVE:
      if (!hovering_) {
        hovering_ = true;
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, control_, HOVER_DEFAULT};
        TrackMouseEvent(&track);
        Repaint();
      }
      return 0;
    case WM_MOUSELEAVE:
      if (hovering_) {
        hovering_ = false;
        Repaint();
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      SendMessageW(GetParent(control_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control_), 0), 0);
      return 0;
    default:
      break;
  }
  return CallWindowProcW(staticProcedure_, control_, message, wParam, lParam);
}

void LinkControl::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(control_, &paint);
  SetBkMode(dc, TRANSPARENT);
  const bool hovered = hovering_ && IsWindowEnabled(control_);
  HFONT normal = reinterpret_cast<HFONT>(SendMessageW(control_, WM_GETFONT, 0, 0));
  HGDIOBJ previous = SelectObject(dc, hovered && underlined_ ? underlined_ : normal);
  SetTextColor(dc, hovered ? RGB(0, 0, 255) : GetSysColor(COLOR_WINDOWTEXT));
  const int length = GetWindowTextLengthW(control_);
  wchar_t text[1024] = {};
  GetWindowTextW(control_, text, 1024);
  RECT client{};
  GetClientRect(control_, &client);
  const bool centred = (GetWindowLongW(control_, GWL_STYLE) & SS_TYPEMASK) == SS_CENTER;
  DrawTextW(dc, text, length < 1024 ? length : 1023, &client,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (centred ? DT_CENTER : DT_LEFT));
  SelectObject(dc, previous);
  EndPaint(control_, &paint);
}

}  // namespace tc
