// Environment variables from a table, expanded as the shell does, for running the core off Windows.
#pragma once

#include <map>

#include "platform/Environment.h"

namespace tc {

class MemoryEnvironment final : public Environment {
 public:
  void Define(const std::u16string& name, const std::u16string& value);
  std::optional<std::u16string> Expand(const std::u16string& text, std::uint32_t bufferLength) override;
  std::uint16_t NativeMachine() override { return nativeMachine; }
  // The host's ANSI code page is Windows-1252, as on an English Windows.
  std::u16string DecodeAnsi(std::string_view bytes) override;
  bool FitsCodePage(std::u16string_view text) override;
  // The texts of the few errors the tests meet; "Error N." for the others.
  std::u16string ErrorText(std::uint32_t code) override;

  std::uint16_t nativeMachine = 0x8664;  // x64

 private:
  std::map<std::u16string, std::u16string> variables_;  // by upper-case name: names ignore case
};

}  // namespace tc
