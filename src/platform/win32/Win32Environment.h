// The environment port over the shell's DoEnvironmentSubstW and kernel32.
#pragma once

#include "platform/Environment.h"

namespace tc {

class Win32Environment final : public Environment {
 public:
  std::optional<std::u16string> Expand(const std::u16string& text, std::uint32_t bufferLength) override;
  std::uint16_t NativeMachine() override;
  std::u16string DecodeAnsi(std::string_view bytes) override;
  bool FitsCodePage(std::u16string_view text) override;
  std::u16string ErrorText(std::uint32_t code) override;
};

}  // namespace tc
