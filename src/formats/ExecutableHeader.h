// What a Windows executable's headers say about it without running it: the machine it is built for and whether
// it is a window (GUI) or a console program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Files.h"

namespace tc {

constexpr std::uint16_t kMachineX86 = 0x014C;
constexpr std::uint16_t kMachineX64 = 0x8664;
constexpr std::uint16_t kMachineArm64 = 0xAA64;

constexpr std::uint16_t kSubsystemWindowsGui = 2;
constexpr std::uint16_t kSubsystemWindowsConsole = 3;

struct ExecutableHeader {
  std::uint16_t machine = 0;    // IMAGE_FILE_HEADER's Machine
  std::uint16_t subsystem = 0;  // the optional header's Subsystem; 0 when the header ends before it
};

// Reads the DOS header, the PE signature and the file header, and the optional header as far as its Subsystem;
// nullopt when the file is no PE file or ends before the Machine field.
std::optional<ExecutableHeader> ReadExecutableHeader(Files& files, const std::u16string& executable);

}  // namespace tc
