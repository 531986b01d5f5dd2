// A static text that behaves as a hyperlink.
#include "platform/win32/Win32Link.h"

#include <string>

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

bool IsActivationKey(WPARAM key) { return key == VK_SPACE || key == VK_RETURN; }

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

// The dialog hears of a click as of a command from the control, with notification code 0 and no handle.
void LinkControl::Activate() {
  SendMessageW(GetParent(control_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control_), 0), 0);
}

LRESULT LinkControl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
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
      if (hover_.MouseMoved()) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, control_, HOVER_DEFAULT};
        TrackMouseEvent(&track);
        Repaint();
      }
      return 0;
    case WM_MOUSELEAVE:
      if (hover_.MouseLeft()) Repaint();
      return 0;
    // The command goes on the press; a quick second press arrives as a double click and is a press too.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      Activate();
      return 0;
    // From the keyboard: Tab reaches the link, Space or Enter follows it.
    case WM_GETDLGCODE: {
      const auto* pending = reinterpret_cast<const MSG*>(lParam);
      if (pending && pending->message == WM_KEYDOWN && IsActivationKey(pending->wParam)) return DLGC_WANTMESSAGE;
      break;
    }
    case WM_KEYDOWN:
      if (IsActivationKey(wParam)) {
        Activate();
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcW(staticProcedure_, control_, message, wParam, lParam);
}

void LinkControl::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(control_, &paint);
  SetBkMode(dc, TRANSPARENT);
  const bool hovered = hover_.LooksHovered(IsWindowEnabled(control_) != FALSE);
  HFONT normal = reinterpret_cast<HFONT>(SendMessageW(control_, WM_GETFONT, 0, 0));
  HGDIOBJ previous = SelectObject(dc, hovered && underlined_ ? underlined_ : normal);
  SetTextColor(dc, hovered ? RGB(0, 0, 255) : GetSysColor(COLOR_WINDOWTEXT));
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control_)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control_, text.data(), static_cast<int>(text.size()))));
  RECT client{};
  GetClientRect(control_, &client);
  const bool centred = (GetWindowLongW(control_, GWL_STYLE) & SS_TYPEMASK) == SS_CENTER;
  const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (centred ? DT_CENTER : DT_LEFT);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
  if (GetFocus() == control_) {
    // The focus frame hugs the text, as on a check box.
    RECT frame = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &frame, format | DT_CALCRECT);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    frame.left = centred ? client.left + (client.right - client.left - width) / 2 : client.left;
    frame.right = frame.left + width;
    frame.top = client.top + (client.bottom - client.top - height) / 2;
    frame.bottom = frame.top + height;
    IntersectRect(&frame, &frame, &client);
    DrawFocusRect(dc, &frame);
  }
  SelectObject(dc, previous);
  EndPaint(control_, &paint);
}

}  // namespace tc
