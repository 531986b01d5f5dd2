// Before a J2SE starter runs a JAR: is the JAR a program at all, is the starter's Java new enough for it, and does
// it include the JavaFX the program uses.
#include "launch/JavaVersionCheck.h"

#include <algorithm>

#include "base/Path.h"
#include "base/Text.h"
#include "detect/JavaRelease.h"
#include "formats/MainClass.h"
#include "launch/GetJava.h"
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

std::uint32_t RuntimeJava(Context& context, const Starter& starter) {
  return JavaRuntimeVersion(context.platform.files, context.platform.versions, starter.executableFile);
}

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

bool IsJavaRuntime(const std::u16string& executable) {
  const std::u16string name = FileName(executable);
  return EqualsIgnoreCase(name, u"java.exe") || EqualsIgnoreCase(name, u"javaw.exe");
}

bool IsJarStarter(const Starter& starter) {
  return IsJavaRuntime(starter.executableFile) && starter.arguments.find(u"-jar") != std::u16string::npos;
}

std::vector<JarStarter> JarStarters(Context& context) {
  const StarterCatalogue& catalogue = context.Catalogue();
  std::vector<JarStarter> starters;
  for (auto slot = catalogue.NextStarter(StarterKind::J2se, 0); slot != 0;
       slot = catalogue.NextStarter(StarterKind::J2se, slot)) {
    const Starter& starter = catalogue.GetStarter(StarterKind::J2se, slot);
    if (IsJarStarter(starter)) starters.push_back({slot, RuntimeJava(context, starter)});
  }
  return starters;
}

std::optional<bool> IncludesJavaFx(Files& files, const Starter& starter) {
  const std::u16string home = ParentFolder(ParentFolder(starter.executableFile));
  for (const char16_t* jfxrt : {u"lib\\ext\\jfxrt.jar", u"jre\\lib\\ext\\jfxrt.jar"}) {
    if (files.Attributes(JoinPath(home, jfxrt))) return true;
  }
  const std::optional<JavaRelease> release = ReadJavaRelease(files, home);
  if (!release || release->modules.empty()) return std::nullopt;
  return (u" " + release->modules + u" ").find(u" javafx.graphics ") != std::u16string::npos;
}

std::uint32_t NewestStarter(Context& context, std::uint32_t except, const std::function<bool(const Starter&)>& fits) {
  std::uint32_t best = 0;
  std::uint32_t bestJava = 0;
  for (const JarStarter& candidate : JarStarters(context)) {
    if (candidate.slot == except || !fits(context.Catalogue().GetStarter(StarterKind::J2se, candidate.slot))) continue;
    if (best == 0 || candidate.java > bestJava) {
      best = candidate.slot;
      bestJava = candidate.java;
    }
  }
  return best;
}

std::uint32_t BestCompatibleStarter(Context& context, std::uint32_t required, const Starter& chosen,
                                    bool needsJavaFx) {
  const StarterCatalogue& catalogue = context.Catalogue();
  const std::u16string chosenName = FileName(chosen.executableFile);
  std::uint32_t best = 0;
  std::uint32_t bestVersion = 0;
  bool bestSameName = false;
  bool bestFx = false;
  for (const JarStarter& candidate : JarStarters(context)) {
    if (candidate.java < required) continue;
    const Starter& starter = catalogue.GetStarter(StarterKind::J2se, candidate.slot);
    const bool sameName = EqualsIgnoreCase(FileName(starter.executableFile), chosenName);
    const bool fx = needsJavaFx && IncludesJavaFx(context.platform.files, starter) == true;
    if (fx != bestFx ? fx
                     : best == 0 || candidate.java > bestVersion ||
                           (candidate.java == bestVersion && sameName && !bestSameName)) {
      best = candidate.slot;
      bestVersion = candidate.java;
      bestSameName = sameName;
      bestFx = fx;
    }
  }
  return best;
}

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

std::uint32_t CheckJavaVersion(Context& context, JarReader& jar, const AttributeFile& manifest,
                               const std::u16string& archivePath, std::uint32_t slot, bool usesJavaFx) {
  StarterCatalogue& catalogue = context.Catalogue();
  Ui& ui = context.platform.ui;
  if (!IsJarStarter(catalogue.GetStarter(StarterKind::J2se, slot))) return slot;
  if (RefuseNonProgram(context, jar, manifest, archivePath)) return 0;
  // A main class that can't be read is no reason to refuse the start: a multi-release or otherwise unusual JAR
  // may hold it where this look doesn't reach.
  const std::uint32_t required = MainClassJavaVersion(jar, MainClassName(manifest)).value_or(0);
  const bool needsJavaFx = usesJavaFx && !JavaFxOnClassPath(manifest);
  const auto fitsBoth = [&](const Starter& s) {
    const std::uint32_t java = RuntimeJava(context, s);
    return IncludesJavaFx(context.platform.files, s) == true && (java == 0 || java >= required);
  };

  for (;;) {
    const Starter& starter = catalogue.GetStarter(StarterKind::J2se, slot);
    if (!IsJarStarter(starter)) return slot;
    const std::uint32_t version = RuntimeJava(context, starter);
    const bool tooOld = version != 0 && version < required;
    // The version is told first: a Java that is too old may lack JavaFX too, and the starter it offers fits both.
    if (!tooOld && (!needsJavaFx || IncludesJavaFx(context.platform.files, starter) != false)) return slot;

    JavaVersionWarning warning{required, starter.name, version, {}, {}, !tooOld};
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
