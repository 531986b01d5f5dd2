// Before a J2SE starter runs a JAR: does the JAR name its main class, and is the starter's Java new enough for it.
#include "launch/JavaVersionCheck.h"

#include <map>

#include "base/Path.h"
#include "base/Text.h"
#include "detect/J2seDetection.h"
#include "detect/JavaRelease.h"
#include "formats/MainClass.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

namespace tc {

namespace {

// Each executable's version, read once per round of the check.
class RuntimeVersions {
 public:
  explicit RuntimeVersions(Platform& platform) : platform_(platform) {}
  std::uint32_t Of(const std::u16string& executable) {
    const auto known = versions_.find(executable);
    if (known != versions_.end()) return known->second;
    return versions_[executable] = JavaRuntimeVersion(platform_.files, platform_.versions, executable);
  }

 private:
  Platform& platform_;
  std::map<std::u16string, std::uint32_t> versions_;
};

// The starter that can run what `chosen` can't: the newest Java, then one of the same executable name as the
// chosen one (a console stays a console), then the lowest slot. 0 when there is none.
std::uint32_t BestCompatibleStarter(const StarterCatalogue& catalogue, RuntimeVersions& versions,
                                    std::uint32_t required, const Starter& chosen) {
  const std::u16string chosenName = FileName(chosen.executableFile);
  std::uint32_t best = 0;
  std::uint32_t bestVersion = 0;
  bool bestSameName = false;
  for (auto slot = catalogue.NextStarter(StarterKind::J2se, 0); slot != 0;
       slot = catalogue.NextStarter(StarterKind::J2se, slot)) {
    const Starter& starter = catalogue.GetStarter(StarterKind::J2se, slot);
    if (!IsJarStarter(starter)) continue;
    const std::uint32_t version = versions.Of(starter.executableFile);
    if (version < required) continue;
    const bool sameName = EqualsIgnoreCase(FileName(starter.executableFile), chosenName);
    if (best == 0 || version > bestVersion || (version == bestVersion && sameName && !bestSameName)) {
      best = slot;
      bestVersion = version;
      bestSameName = sameName;
    }
  }
  return best;
}

}  // namespace

bool IsJarStarter(const Starter& starter) {
  const std::u16string name = FileName(starter.executableFile);
  return (EqualsIgnoreCase(name, u"java.exe") || EqualsIgnoreCase(name, u"javaw.exe")) &&
         starter.arguments.find(u"-jar") != std::u16string::npos;
}

std::uint32_t CheckJavaVersion(Context& context, JarReader& jar, const AttributeFile& manifest,
                               const std::u16string& archivePath, std::uint32_t slot) {
  StarterCatalogue& catalogue = context.Catalogue();
  Ui& ui = context.platform.ui;
  if (!IsJarStarter(catalogue.GetStarter(StarterKind::J2se, slot))) return slot;

  const std::u16string mainClass = MainClassName(manifest);
  if (mainClass.empty()) {
    ShowLaunchError(ui, Format(u"The JAR file \"%s\" has no \"Main-Class\" attribute: it is a library, not a "
                               u"program that can be started.",
                               {std::u16string_view(archivePath)}));
    return 0;
  }
  // A main class that can't be read is no reason to refuse the start: a multi-release or otherwise unusual JAR
  // may hold it where this look doesn't reach.
  const std::optional<std::uint32_t> required = MainClassJavaVersion(jar, mainClass);
  if (!required || *required == 0) return slot;

  for (;;) {
    RuntimeVersions versions(context.platform);
    const Starter& starter = catalogue.GetStarter(StarterKind::J2se, slot);
    if (!IsJarStarter(starter)) return slot;
    const std::uint32_t version = versions.Of(starter.executableFile);
    if (version == 0 || version >= *required) return slot;

    const std::uint32_t compatible = BestCompatibleStarter(catalogue, versions, *required, starter);
    JavaVersionWarning warning{*required, starter.name, version, {}};
    if (compatible != 0) warning.compatibleName = catalogue.GetStarter(StarterKind::J2se, compatible).name;
    const int answer = RunJavaVersionDialog(ui, warning);
    if (answer == IDB_START_ANYWAY) return slot;
    if (answer != kIdOk) return 0;
    if (compatible != 0) return compatible;
    // "Open Setup": a scan may find a newer Java, after which the check starts over.
    if (RunSetupDialog(context, ui.ActiveWindow()) != kIdOk) return 0;
    if (!catalogue.HoldsStarter(StarterKind::J2se, slot)) return 0;
  }
}

}  // namespace tc
