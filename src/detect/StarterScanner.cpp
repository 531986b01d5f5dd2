// A scan for starters of one kind.
#include "detect/StarterScanner.h"

#include "base/Text.h"
#include "detect/J2seDetection.h"
#include "detect/J2seHomes.h"
#include "detect/Pattern.h"

namespace tc {

namespace {

// A candidate's pattern holds when it is empty or, compiled, finds a match; one that does not compile finds none.
bool Finds(const std::u16string& pattern, const std::u16string& text) {
  Pattern compiled;
  return CompilePattern(compiled, pattern, true) && MatchPattern(compiled, text);
}

}  // namespace

void StarterScanner::MarkExisting() {
  const StarterCatalogue& catalogue = context_.Catalogue();
  for (auto slot = catalogue.NextStarter(kind_, 0); slot != 0; slot = catalogue.NextStarter(kind_, slot)) {
    const Starter& starter = catalogue.GetStarter(kind_, slot);
    for (DetectedStarter& candidate : list_) {
      if (!EqualsIgnoreCase(starter.executableFile, candidate.ExecutableFile)) continue;
      if (candidate.MatchArguments && !EqualsIgnoreCase(Trim(starter.arguments), candidate.Arguments)) continue;
      if (!candidate.ExcludePattern.empty() && Finds(candidate.ExcludePattern, starter.arguments)) continue;
      if (!candidate.IncludePattern.empty() && !Finds(candidate.IncludePattern, starter.arguments)) continue;
      candidate.Exists = true;
    }
  }
}

bool StarterScanner::AddChecked() {
  StarterCatalogue& catalogue = context_.Catalogue();
  for (const DetectedStarter& candidate : list_) {
    if (!candidate.Checked) continue;
    const auto slot = catalogue.AddStarter(kind_);
    if (!slot) return false;
    catalogue.GetStarter(kind_, *slot) = Starter{candidate.Name, candidate.ExecutableFile, candidate.Arguments};
  }
  return true;
}

void J2seScanner::Detect() {
  Platform& platform = context_.platform;
  DetectJ2seStarters(platform.registry, platform.files, platform.versions, list_);
  DetectJavaHomes(platform.registry, platform.files, platform.environment, platform.versions, list_);
}

}  // namespace tc
