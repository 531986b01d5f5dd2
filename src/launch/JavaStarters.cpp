// What the launcher knows of a starter before it runs it, and which J2SE starter can run a program that the chosen
// one can't.
#include "launch/JavaStarters.h"

#include "base/Path.h"
#include "base/Text.h"
#include "detect/JavaRelease.h"
#include "formats/ExecutableHeader.h"

namespace tc {

namespace {

std::uint32_t RuntimeJava(Context& context, const Starter& starter) {
  return JavaRuntimeVersion(context.platform.files, context.platform.versions, starter.executableFile);
}

std::uint16_t Subsystem(Files& files, const std::u16string& executable) {
  const std::optional<ExecutableHeader> header = ReadExecutableHeader(files, executable);
  return header ? header->subsystem : 0;
}

std::optional<std::u16string> ConsoleExecutable(Files& files, const std::u16string& executable,
                                                std::uint16_t subsystem) {
  if (subsystem == kSubsystemWindowsConsole) return executable;
  if (subsystem != kSubsystemWindowsGui || !EqualsIgnoreCase(FileName(executable), u"javaw.exe")) return std::nullopt;
  const std::u16string twin = JoinPath(ParentFolder(executable), u"java.exe");
  if (Subsystem(files, twin) != kSubsystemWindowsConsole) return std::nullopt;
  return twin;
}

}  // namespace

bool IsJavaRuntime(const std::u16string& executable) {
  const std::u16string name = FileName(executable);
  return EqualsIgnoreCase(name, u"java.exe") || EqualsIgnoreCase(name, u"javaw.exe");
}

bool IsJarStarter(const Starter& starter) {
  return IsJavaRuntime(starter.executableFile) && starter.arguments.find(u"-jar") != std::u16string::npos;
}

StarterFacts LearnStarter(Context& context, const Starter& starter) {
  Files& files = context.platform.files;
  StarterFacts facts;
  facts.javaRuntime = IsJavaRuntime(starter.executableFile);
  facts.jarStarter = IsJarStarter(starter);
  facts.subsystem = Subsystem(files, starter.executableFile);
  facts.consoleJava = facts.subsystem == kSubsystemWindowsConsole &&
                      EqualsIgnoreCase(FileName(starter.executableFile), u"java.exe");
  facts.consoleExecutable = ConsoleExecutable(files, starter.executableFile, facts.subsystem);
  if (facts.javaRuntime) {
    facts.java = RuntimeJava(context, starter);
    facts.javaFx = IncludesJavaFx(files, starter);
  }
  return facts;
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

}  // namespace tc
