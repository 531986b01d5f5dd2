// A candidate starter found by a scan, and the de-duplicating list the detectors fill.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace tc {

struct DetectedStarter {
  bool Checked = false;
  bool Main = true;
  bool Exists = false;
  std::u16string Group;
  std::int32_t Rank = 0;
  std::u16string Name;
  std::u16string ExecutableFile;
  std::u16string Arguments;
  std::u16string ExcludePattern;
  std::u16string IncludePattern;
  // Set where the executable is shared (a Java runtime running an emulator's JAR): an existing starter is then
  // equivalent only with the same arguments too.
  bool MatchArguments = false;
};

using DetectedStarterList = std::vector<DetectedStarter>;

// Drops a record equal to one already listed (its group, its name, and its executable the same file); otherwise
// appends it, and within its group only the highest rank keeps Main.
void AddDetected(Files& files, DetectedStarterList& list, const DetectedStarter& record);

}  // namespace tc
