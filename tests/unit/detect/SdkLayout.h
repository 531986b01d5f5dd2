// The SDK installations of a layout file (tests/data/sdk), laid out on a host machine.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "unit/HostMachine.h"

namespace tc {

constexpr char16_t kProfile[] = u"C:\\Users\\ann";
// The "Full Version" of the stand-in runtime (tests/e2e/FakeJava.rc) that the layout's "exe" lines put down.
constexpr char16_t kStandInFullVersion[] = u"1.8.0_202-b08";

// Puts the file's registry values, folders, files and environment variables onto the machine, with USERPROFILE at
// kProfile and the program folders where Windows puts them.
::testing::AssertionResult LayOut(HostMachine& machine, const std::string& layoutFile);

// The start of an executable: a DOS header, the PE signature with the COFF header's Machine field, and the
// optional header's Subsystem (2: a window program, 3: a console program).
std::vector<std::uint8_t> PeHeaders(std::uint16_t machineField, std::uint16_t subsystem = 2);

// A line "NAME|EXECUTABLE|ARGUMENTS" of an expectation file; %USERPROFILE% in EXECUTABLE stands for kProfile.
struct ExpectedStarter {
  std::u16string name;
  std::u16string executable;
  std::u16string arguments;
  bool operator==(const ExpectedStarter&) const = default;
};
std::vector<ExpectedStarter> ReadExpected(const std::string& file);

std::ostream& operator<<(std::ostream& out, const ExpectedStarter& s);

}  // namespace tc
