// The environment port: expanding %NAME% references as the shell does.
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
};

}  // namespace tc
