// A scan for starters of one kind.
#include "detect/StarterScanner.h"

#include "base/Text.h"
#include "detect/J2seDetection.h"
#include "detect/J2seHomes.h"
#include "detect/Pattern.h"
#include "ui/Messages.h"
#include "ui/Styles.h"

namespace tc {

namespace {

constexpr int IDC_SCAN_STATUS = 1016;

// A candidate's pattern holds when it is empty or, compiled, finds a match; one that does not compile finds none.
bool Finds(const std::u16string& pattern, const std::u16string& text) {
  Pattern compiled;
  return CompilePattern(compiled, pattern, true) && MatchPattern(compiled, text);
}

DialogTemplate StatusPopupTemplate(const std::u16string& text) {
  using namespace style;
  return DialogTemplate{u"",
                        {0, 0, 160, 28},
                        kPopup | kDsModalFrame | kDsShellFont,
                        0,
                        u"MS Shell Dlg",
                        8,
                        {{IDC_SCAN_STATUS, control::kStatic, text, {7, 7, 146, 14}, kSsCenter | kSsCenterImage}}};
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

bool RunScan(StarterScanner& scanner, Ui& ui, WindowId parent) {
  DialogHandler inert;  // the popup takes no input
  const DialogTemplate popupTemplate = StatusPopupTemplate(scanner.StatusText());
  auto popup = ui.ShowPopup(popupTemplate, inert, parent);
  scanner.Detect();
  if (scanner.List().empty()) {
    popup.reset();
    ShowInformation(ui, parent, scanner.NoneFoundText());
    return false;
  }
  scanner.MarkExisting();
  popup.reset();
  if (RunDetectedStartersDialog(ui, parent, scanner.ListTitle(), scanner.List()) != kIdOk) return false;
  if (!scanner.AddChecked()) ShowTooManyStarters(ui, parent);
  return true;
}

}  // namespace tc
