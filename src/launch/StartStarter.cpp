// Starting the chosen starter, and explaining a window program that stops at once.
#include "launch/StartStarter.h"

#include <functional>

#include "base/Path.h"
#include "base/Text.h"
#include "detect/JavaRelease.h"
#include "formats/ExecutableHeader.h"
#include "formats/MainClass.h"
#include "launch/GetJava.h"
#include "launch/JavaVersionCheck.h"
#include "launch/LaunchCommand.h"
#include "launch/StartFailure.h"
#include "ui/Dialogs.h"

namespace tc {

namespace {

// Long enough for a Java program to fail while starting; a start that works is not held up by it, since
// nothing waits for the launcher.
constexpr std::uint32_t kWatchMilliseconds = 10000;
constexpr std::size_t kKeptOutput = 64 * 1024;
constexpr std::size_t kShownLines = 40;

// A console program's output belongs in its console; only a window program's would be lost.
bool IsWindowProgram(Files& files, const std::u16string& executable) {
  const std::optional<ExecutableHeader> header = ReadExecutableHeader(files, executable);
  return header && header->subsystem == kSubsystemWindowsGui;
}

// The newest Java among the J2SE starters that run JARs and pass `fits`, ties to the lowest slot; 0 when none.
std::uint32_t NewestStarter(Context& context, std::uint32_t except,
                            const std::function<bool(const Starter&)>& fits) {
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

bool IncludesJavaFx(Files& files, const Starter& starter) {
  const std::optional<JavaRelease> release = ReadJavaRelease(files, ParentFolder(ParentFolder(starter.executableFile)));
  if (!release) return false;
  const std::u16string modules = u" " + release->modules + u" ";
  return modules.find(u" javafx.graphics ") != std::u16string::npos;
}

bool Is32Bit(Files& files, const Starter& starter) {
  const std::optional<ExecutableHeader> header = ReadExecutableHeader(files, starter.executableFile);
  return header && header->machine == kMachineX86;
}

// The J2SE starter that can run the program where the failed one could not; 0 when the diagnosis names none.
std::uint32_t AlternativeStarter(Context& context, const Diagnosis& diagnosis, std::uint32_t failed,
                                 const Starter& starter) {
  Files& files = context.platform.files;
  switch (diagnosis.kind) {
    case FailureKind::NewerJava: {
      const std::uint32_t compatible = BestCompatibleStarter(context, diagnosis.requiredJava, starter);
      return compatible == failed ? 0 : compatible;
    }
    case FailureKind::JavaFx:
      return NewestStarter(context, failed, [&](const Starter& s) { return IncludesJavaFx(files, s); });
    case FailureKind::Needs32Bit:
      return NewestStarter(context, failed, [&](const Starter& s) { return Is32Bit(files, s); });
    default:
      return 0;
  }
}

// What the output is judged by besides itself: the starter's Java, and for a desktop JAR its manifest.
StartFailure FailureFacts(Context& context, const Starter& starter, const WatchedChild& child, const Launch& launch) {
  Files& files = context.platform.files;
  StartFailure failure;
  failure.output = OutputText(child.output, context.platform.environment);
  failure.exitCode = child.exitCode;
  failure.starterName = starter.name;
  if (IsJavaRuntime(starter.executableFile)) {
    failure.starterJava = JavaRuntimeVersion(files, context.platform.versions, starter.executableFile);
  }
  if (launch.archive.empty()) return failure;
  failure.archiveFolder = ParentFolder(launch.archive);
  JarReader jar;
  std::vector<std::uint8_t> bytes;
  if (!jar.OpenJar(files, launch.archive) || !jar.ReadEntry("META-INF/MANIFEST.MF", bytes)) return failure;
  AttributeFile manifest;
  manifest.Parse(bytes);
  const std::u16string mainClass = MainClassName(manifest);
  if (IsJarStarter(starter)) failure.mainClass = mainClass;
  failure.classPath = ManifestValue(manifest, u"Class-Path");
  failure.requiredJava = MainClassJavaVersion(jar, mainClass).value_or(0);
  return failure;
}

std::u16string Details(const std::u16string& commandLine, const Starter& starter, const StartFailure& failure) {
  std::u16string details = u"Command line: " + commandLine + u"\r\nStarter: " + starter.name +
                           u"\r\nExecutable: " + starter.executableFile + u"\r\n";
  if (failure.starterJava != 0) details += Format(u"Java: %u\r\n", {failure.starterJava});
  details += u"Exit code: " + ExitCodeText(failure.exitCode) + u"\r\nOutput:\r\n" + failure.output;
  return details;
}

void ExplainStartFailure(Context& context, StarterKind kind, std::uint32_t slot, const Starter& starter,
                         const std::u16string& commandLine, const WatchedChild& child, const Launch& launch) {
  Files& files = context.platform.files;
  const StartFailure failure = FailureFacts(context, starter, child, launch);
  const Diagnosis diagnosis = DiagnoseStartFailure(
      failure, [&](const std::u16string& path) { return files.Attributes(path).has_value(); });
  StartFailureReport report{FileName(launch.openedFile), diagnosis.text, LastLines(failure.output, kShownLines),
                            Details(commandLine, starter, failure), {}, {}};
  // Only a desktop program can be started again with a J2SE starter.
  const bool desktop = kind == StarterKind::J2se;
  const std::uint32_t alternative = desktop ? AlternativeStarter(context, diagnosis, slot, starter) : 0;
  if (alternative != 0) {
    report.startWith = context.Catalogue().GetStarter(StarterKind::J2se, alternative).name;
  } else if (desktop && diagnosis.kind == FailureKind::NewerJava && !context.Policy().disableJavaDownload) {
    report.getJava = OfferedJava(diagnosis.requiredJava);
  }
  if (RunStartFailureDialog(context.platform.ui, report) != kIdOk || (alternative == 0 && !report.getJava)) return;
  const std::uint32_t next = alternative != 0 ? alternative : GetJava(context, diagnosis.requiredJava);
  if (next != 0) StartStarter(context, StarterKind::J2se, next, launch);
}

}  // namespace

bool StartStarter(Context& context, StarterKind kind, std::uint32_t slot, const Launch& launch) {
  StarterCatalogue& catalogue = context.Catalogue();
  // Remembered before the start, so that the choice holds even when the start fails.
  catalogue.SetLastAction(kind, slot);
  // A copy: what follows a failed start may change the catalogue.
  const Starter starter = catalogue.GetStarter(kind, slot);
  LaunchCommand command(starter.executableFile, starter.arguments);
  for (const std::u16string& value : launch.values) command.AddQuotedValue(value);
  if (launch.screen) command.SetScreenSize(*launch.screen);
  Processes& processes = context.platform.processes;
  if (!IsWindowProgram(context.platform.files, starter.executableFile)) {
    return command.Start(processes, launch.externalArguments);
  }
  const std::optional<std::u16string> line = command.CommandLine(launch.externalArguments);
  if (!line) return false;
  const std::optional<WatchedChild> child = processes.StartWatched(*line, kWatchMilliseconds, kKeptOutput);
  if (!child) return false;
  // The start happened, whatever the child did next.
  if (child->ended && child->exitCode != 0) ExplainStartFailure(context, kind, slot, starter, *line, *child, launch);
  return true;
}

}  // namespace tc
