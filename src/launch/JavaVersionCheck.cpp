// Before a J2SE starter runs a JAR: is the JAR a program at all, is the starter's Java new enough for it, and does
// it include the JavaFX the program uses.
#include "launch/JavaVersionCheck.h"

#include <algorithm>
#include <optional>

#include "base/Path.h"
#include "base/Text.h"
#include "formats/MainClass.h"
#include "launch/GetJava.h"
#include "launch/JavaStarters.h"
#include "launch/ProgramKind.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

namespace tc {

namespace {

// What the plug-ins of today's most common hosts carry at their root, in the order they are looked for: game
// mods, then server plug-ins.
constexpr const char* kPluginFiles[] = {
    "fabric.mod.json", "quilt.mod.json", "META-INF/mods.toml", "META-INF/neoforge.mods.toml", "mcmod.info",
    "plugin.yml",      "paper-plugin.yml", "bungee.yml",       "velocity-plugin.json",
};

// A program that brings JavaFX along names its JARs ("javafx-controls-21-win.jar", "lib/javafx.graphics.jar").
bool JavaFxOnClassPath(const AttributeFile& manifest) {
  const std::u16string classPath = ManifestValue(manifest, u"Class-Path");
  std::size_t at = 0;
  while (at < classPath.size()) {
    const std::size_t end = std::min(classPath.find(u' ', at), classPath.size());
    const std::u16string_view entry = std::u16string_view(classPath).substr(at, end - at);
    const std::u16string_view name = entry.substr(entry.find_last_of(u"/\\") + 1);
    if (name.size() >= 6 && EqualsIgnoreCase(name.substr(0, 6), u"javafx")) return true;
    at = end + 1;
  }
  return false;
}

}  // namespace

bool RefuseNonProgram(Context& context, JarReader& jar, const AttributeFile& manifest,
                      const std::u16string& archivePath) {
  if (!MainClassName(manifest).empty()) return false;
  // An installer of a mod loader names a main class and holds these files too: it is a program.
  for (const char* plugin : kPluginFiles) {
    if (!jar.HasEntry(plugin)) continue;
    ShowLaunchError(context.platform.ui,
                    Format(u"The JAR file \"%s\" is a plug-in for another program (it holds \"%s\"), not a program "
                           u"that can be started. Put it in that program's plug-in or mods folder.",
                           {std::u16string_view(archivePath), std::u16string_view(FromUtf8(plugin))}));
    return true;
  }
  ShowLaunchError(context.platform.ui,
                  Format(u"The JAR file \"%s\" has no \"Main-Class\" attribute: it is a library, not a program that "
                         u"can be started.",
                         {std::u16string_view(archivePath)}));
  return true;
}

ProgramFacts LearnDesktopProgram(Files& files, const std::u16string& archivePath, JarReader& jar,
                                 const AttributeFile& manifest) {
  // A main class that can't be read is no reason to refuse the start: a multi-release or otherwise unusual JAR
  // may hold it where this look doesn't reach.
  return {true, LookAtProgram(files, archivePath, jar, manifest),
          MainClassJavaVersion(jar, MainClassName(manifest)).value_or(0), JavaFxOnClassPath(manifest)};
}

std::uint32_t CheckStarter(Context& context, const ProgramFacts& program, std::uint32_t slot) {
  StarterCatalogue& catalogue = context.Catalogue();
  Ui& ui = context.platform.ui;
  const std::uint32_t required = program.requiredJava;
  const bool needsJavaFx = NeedsRuntimeJavaFx(program);
  const auto fitsBoth = [&](const Starter& s) {
    const StarterFacts facts = LearnStarter(context, s);
    return facts.javaFx == true && (facts.java == 0 || facts.java >= required);
  };

  for (;;) {
    // A copy: the setup dialog below may reload the catalogue.
    const Starter starter = catalogue.GetStarter(StarterKind::J2se, slot);
    const StarterFacts facts = LearnStarter(context, starter);
    const StartCheck check = DecideStart(program, facts).check;
    if (check == StartCheck::None) return slot;

    const bool tooOld = check == StartCheck::TooOldJava;
    JavaVersionWarning warning{required, starter.name, facts.java, {}, {}, !tooOld};
    const std::uint32_t compatible = tooOld ? BestCompatibleStarter(context, required, starter, needsJavaFx)
                                            : NewestStarter(context, slot, fitsBoth);
    if (compatible != 0) {
      warning.compatibleName = catalogue.GetStarter(StarterKind::J2se, compatible).name;
    } else if (tooOld && !context.Policy().disableJavaDownload) {
      warning.offeredJava = OfferedJava(required);
    }
    const int answer = RunJavaVersionDialog(ui, warning);
    if (answer == IDB_START_ANYWAY) return slot;
    if (answer == IDB_GET_JAVA) return GetJava(context, required);
    if (answer != kIdOk) return 0;
    if (compatible != 0) {
      slot = compatible;
      continue;
    }
    // "Open Setup": a scan may find a newer Java, after which the check starts over.
    if (RunSetupDialog(context, ui.ActiveWindow()) != kIdOk) return 0;
    if (!catalogue.HoldsStarter(StarterKind::J2se, slot)) return 0;
  }
}

}  // namespace tc
