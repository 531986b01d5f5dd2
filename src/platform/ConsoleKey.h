// Which key closes the kept console once its program has ended: a rule of its own, below the adapter that reads
// the console's input, so that the fast tests reach it.
#pragma once

#include <cstdint>

namespace tc {

// Virtual-key codes, in the platform's numbering.
inline constexpr std::uint16_t kKeyEnter = 0x0D;
inline constexpr std::uint16_t kKeyEscape = 0x1B;
inline constexpr std::uint16_t kKeySpace = 0x20;

// A key pressed that types a character, or Enter, Escape or Space. A modifier alone (Shift, Ctrl, Alt, the Windows
// key: Alt+Tab away from the console), a key that types nothing (an arrow, F1), a control character and any
// release leave it open, so that the program's last words stay until the user means to close them.
inline bool ClosesKeptConsole(bool keyDown, std::uint16_t virtualKey, char16_t typed) {
  if (!keyDown) return false;
  if (virtualKey == kKeyEnter || virtualKey == kKeyEscape || virtualKey == kKeySpace) return true;
  return typed >= u' ' && typed != u'\x7F';
}

}  // namespace tc
