// The registry contract: what the core relies on, run against each registry adapter.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/Registry.h"

namespace tc {

using RegistryFactory = std::function<std::unique_ptr<Registry>()>;

class RegistryContract : public ::testing::TestWithParam<RegistryFactory> {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<Registry> registry;
  std::u16string scratch;  // a key of the test's own under HKEY_CURRENT_USER
};

}  // namespace tc
