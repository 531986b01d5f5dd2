// The process contract, and its run against the recording host, whose children are played back.
#include "contract/ProcessesContract.h"

#include <string>

#include "platform/host/HostPorts.h"

namespace tc {

namespace {

constexpr std::uint32_t kWindow = 10000;

std::string Lines(int from, int to) {
  std::string text;
  for (int i = from; i <= to; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

}  // namespace

TEST_P(ProcessesContract, AChildThatEndsAtOnceLeavesItsCodeAndWhatItWrote) {
  auto processes = GetParam().make();
  const auto child = processes->StartWatched(GetParam().child(*processes, 3, 0, 3), kWindow, 64 * 1024);
  ASSERT_TRUE(child);
  EXPECT_TRUE(child->ended);
  EXPECT_EQ(child->exitCode, 3u);
  EXPECT_EQ(child->output, Lines(1, 3));
}

TEST_P(ProcessesContract, OnlyTheLastBytesAreKept) {
  auto processes = GetParam().make();
  const auto child = processes->StartWatched(GetParam().child(*processes, 20000, 0, 1), kWindow, 4096);
  ASSERT_TRUE(child && child->ended);
  EXPECT_EQ(child->output.size(), 4096u);
  EXPECT_TRUE(child->output.ends_with(Lines(19999, 20000)));
}

TEST_P(ProcessesContract, AChildStillRunningAtTheEndOfTheWindowIsLeftRunning) {
  auto processes = GetParam().make();
  const auto child = processes->StartWatched(GetParam().child(*processes, 1, 8000, 0), 300, 64 * 1024);
  ASSERT_TRUE(child);
  EXPECT_FALSE(child->ended);
}

INSTANTIATE_TEST_SUITE_P(Recording, ProcessesContract,
                         ::testing::Values(ProcessesHost{
                             [] { return std::make_unique<RecordingProcesses>(); },
                             [](Processes& processes, int lines, std::uint32_t milliseconds, std::uint32_t exitCode) {
                               WatchedChild child{milliseconds == 0, exitCode, Lines(1, lines)};
                               static_cast<RecordingProcesses&>(processes).children.push_back(child);
                               return u"child";
                             }}));

}  // namespace tc
