// The SDK installations of a layout file (tests/data/sdk), laid out on a host machine.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/HostMachine.h"

namespace tc {

constexpr char16_t kProfile[] = u"C:\\Users\\ann";

// Puts the file's registry values, folders and files onto the machine, with USERPROFILE at kProfile.
::testing::AssertionResult LayOut(HostMachine& machine, const std::string& layoutFile);

// A line "NAME|EXECUTABLE|ARGUMENTS" of an expectation file.
struct ExpectedStarter {
  std::u16string name;
  std::u16string executable;
  std::u16string arguments;
  bool operator==(const ExpectedStarter&) const = default;
};
std::vector<ExpectedStarter> ReadExpected(const std::string& file);

std::ostream& operator<<(std::ostream& out, const ExpectedStarter& s);

}  // namespace tc
