// The environment port over the shell's DoEnvironmentSubstW.
#pragma once

#include "platform/Environment.h"

namespace tc {

class Win32Environment final : public Environment {
 public:
  std::optional<std::u16string> Expand(const std::u16string& text, std::uint32_t bufferLength) override;
};

}  // namespace tc
