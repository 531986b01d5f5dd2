// The process contract: a watched child's end, exit code and output tail, run against each adapter.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/Processes.h"

namespace tc {

struct ProcessesHost {
  std::function<std::unique_ptr<Processes>()> make;
  // The command line of a child that writes `lines` lines "line N" (CR LF), goes on for `milliseconds`, then ends
  // with `exitCode`.
  std::function<std::u16string(Processes&, int lines, std::uint32_t milliseconds, std::uint32_t exitCode)> child;
};

class ProcessesContract : public ::testing::TestWithParam<ProcessesHost> {};

}  // namespace tc
