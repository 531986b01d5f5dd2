// The environment contract: %NAME% expansion as the shell does it, run against each adapter.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/Environment.h"

namespace tc {

struct EnvironmentHost {
  std::function<std::unique_ptr<Environment>()> make;
  // Defines a variable for the adapter made last.
  std::function<void(Environment&, const std::u16string& name, const std::u16string& value)> define;
};

class EnvironmentContract : public ::testing::TestWithParam<EnvironmentHost> {};

}  // namespace tc
