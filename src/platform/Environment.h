// The environment port: expanding %NAME% references as the shell does, and the processor the machine has.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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
};

}  // namespace tc
