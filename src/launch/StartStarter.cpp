// Starting the chosen starter, explaining a window program that stops at once, and keeping the console of a
// command-line program open after it ends.
#include "launch/StartStarter.h"

#include <functional>
#include <memory>

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

std::uint16_t Subsystem(Files& files, const std::u16string& executable) {
  const std::optional<ExecutableHeader> header = ReadExecutableHeader(files, executable);
  return header ? header->subsystem : 0;
}

// The executable that runs the starter's program in a console: the starter's own when it is a console program,
// the java.exe beside a javaw.exe; nullopt when there is none.
std::optional<std::u16string> ConsoleExecutable(Files& files, const std::u16string& executable,
                                                std::uint16_t subsystem) {
  if (subsystem == kSubsystemWindowsConsole) return executable;
  if (subsystem != kSubsystemWindowsGui || !EqualsIgnoreCase(FileName(executable), u"javaw.exe")) return std::nullopt;
  const std::u16string twin = JoinPath(ParentFolder(executable), u"java.exe");
  if (Subsystem(files, twin) != kSubsystemWindowsConsole) return std::nullopt;
  return twin;
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
      return NewestStarter(context, failed, [&](const Starter& s) { return IncludesJavaFx(files, s) == true; });
    case FailureKind::Needs32Bit:
      return NewestStarter(context, failed, [&](const Starter& s) { return Is32Bit(files, s); });
    default:
      return 0;
  }
}

// What the output is judged by besides itself: the starter's Java, and for a desktop JAR its manifest.
StartFailure FailureFacts(Context& context, const Starter& starter, std::u16string output, std::uint32_t exitCode,
                          const Launch& launch) {
  Files& files = context.platform.files;
  StartFailure failure;
  failure.output = std::move(output);
  failure.exitCode = exitCode;
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

Diagnosis Diagnose(Context& context, const StartFailure& failure) {
  Files& files = context.platform.files;
  return DiagnoseStartFailure(failure, [&](const std::u16string& path) { return files.Attributes(path).has_value(); });
}

// The program in the launcher's own console, which stays until the user has read its last words.
bool RunInKeptConsole(Context& context, const Starter& starter, const std::u16string& executable,
                      const Launch& launch) {
  LaunchCommand command(executable, starter.arguments, StarterKind::J2se);
  for (const std::u16string& value : launch.values) command.AddQuotedValue(value);
  const std::optional<std::u16string> line = command.CommandLine(launch.externalArguments);
  if (!line) return false;
  const std::u16string name = FileName(launch.openedFile);
  const std::unique_ptr<KeptConsole> console =
      context.platform.processes.StartInKeptConsole(name + u" - Tessaly Corvalo", *line);
  if (!console) return false;
  std::optional<std::uint32_t> code = console->WaitForEnd(kWatchMilliseconds);
  const bool atOnce = code.has_value();
  if (!atOnce) code = console->WaitForEnd(kForever);
  std::u16string text = u"\r\n";
  if (atOnce && *code != 0) {
    const Diagnosis diagnosis =
        Diagnose(context, FailureFacts(context, starter, console->LastLines(kShownLines), *code, launch));
    // The end line says the exit code already.
    if (diagnosis.kind != FailureKind::ExitCode) text += diagnosis.text + u"\r\n";
  }
  text += Format(u"\"%s\" ended with exit code %s. Press any key to close this window.",
                 {std::u16string_view(name), std::u16string_view(ExitCodeText(*code))});
  console->Write(text);
  console->WaitForKey();
  return true;
}

// A program that ended at once without failing but wrote something may be one for the command line, which the
// look could not tell: what it wrote, and its console.
void ExplainEndedAtOnce(Context& context, const Starter& starter, const std::u16string& commandLine,
                        const WatchedChild& child, const Launch& launch,
                        const std::optional<std::u16string>& console) {
  const StartFailure ended =
      FailureFacts(context, starter, OutputText(child.output, context.platform.environment), child.exitCode, launch);
  StartFailureReport report{FileName(launch.openedFile), {}, LastLines(ended.output, kShownLines),
                            Details(commandLine, starter, ended), {}, {}, true, console.has_value()};
  if (RunStartFailureDialog(context.platform.ui, report) == kIdOk && console) {
    RunInKeptConsole(context, starter, *console, launch);
  }
}

void ExplainStartFailure(Context& context, StarterKind kind, std::uint32_t slot, const Starter& starter,
                         const std::u16string& commandLine, const WatchedChild& child, const Launch& launch) {
  const StartFailure failure =
      FailureFacts(context, starter, OutputText(child.output, context.platform.environment), child.exitCode, launch);
  const Diagnosis diagnosis = Diagnose(context, failure);
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
  Files& files = context.platform.files;
  const std::uint16_t subsystem = Subsystem(files, starter.executableFile);
  const bool desktop = kind == StarterKind::J2se && !launch.archive.empty();
  const std::optional<std::u16string> console =
      desktop ? ConsoleExecutable(files, starter.executableFile, subsystem) : std::nullopt;
  // A console java.exe makes a console whatever it runs; the launcher's own stays after the program.
  const bool consoleJava =
      subsystem == kSubsystemWindowsConsole && EqualsIgnoreCase(FileName(starter.executableFile), u"java.exe");
  if (console && (consoleJava || launch.look.kind == ProgramKind::Console)) {
    return RunInKeptConsole(context, starter, *console, launch);
  }
  LaunchCommand command(starter.executableFile, starter.arguments, kind);
  for (const std::u16string& value : launch.values) command.AddQuotedValue(value);
  if (launch.screen) command.SetScreenSize(*launch.screen);
  Processes& processes = context.platform.processes;
  // A console program's output belongs in its console; only a window program's would be lost.
  if (subsystem != kSubsystemWindowsGui) return command.Start(processes, launch.externalArguments);
  const std::optional<std::u16string> line = command.CommandLine(launch.externalArguments);
  if (!line) return false;
  const std::optional<WatchedChild> child = processes.StartWatched(*line, kWatchMilliseconds, kKeptOutput);
  if (!child) return false;
  // The start happened, whatever the child did next.
  if (!child->ended) return true;
  if (child->exitCode != 0) {
    ExplainStartFailure(context, kind, slot, starter, *line, *child, launch);
  } else if (desktop && launch.look.kind == ProgramKind::Unknown && !child->output.empty()) {
    // A window program that ends at once has often started another process of itself: it stays silent.
    ExplainEndedAtOnce(context, starter, *line, *child, launch, console);
  }
  return true;
}

}  // namespace tc
