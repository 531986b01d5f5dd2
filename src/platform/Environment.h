// The environment port: expanding %NAME% references as the shell does, the processor the machine has, text in the
// system's code page, and the system's words for an error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tc {

class Environment {
 public:
  virtual ~Environment() = default;
  // DoEnvironmentSubstW on a buffer of `bufferLength` characters: references to undefined variables stay as
  // written; nullopt when the result would not fit.
  virtual std::optional<std::u16string> Expand(const std::u16string& text, std::uint32_t bufferLength) = 0;
  // The machine's own processor as an executable's Machine field names it (IsWow64Process2), whatever this
  // program is built for.
  virtual std::uint16_t NativeMachine() = 0;
  // Text in the system's ANSI code page, as the W functions want it: what a server sends, what a program
  // writes to a pipe.
  virtual std::u16string DecodeAnsi(std::string_view bytes) = 0;
  // Whether the text survives the way to the system's ANSI code page unchanged (WideCharToMultiByte with
  // WC_NO_BEST_FIT_CHARS uses no default character); a UTF-8 code page holds every text.
  virtual bool FitsCodePage(std::u16string_view text) = 0;
  // FormatMessageW's text for a system error code, as one line ("The system cannot find the file specified.").
  virtual std::u16string ErrorText(std::uint32_t code) = 0;
};

}  // namespace tc
