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
#include "launch/ChildSurroundings.h"
#include "launch/GetJava.h"
#include "launch/JavaStarters.h"
#include "launch/LaunchCommand.h"
#include "launch/StartFailure.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

namespace tc {

namespace {

// Long enough for a Java program to fail while starting; a start that works is not held up by it, since
// nothing waits for the launcher.
constexpr std::uint32_t kWatchMilliseconds = 10000;
constexpr std::size_t kKeptOutput = 64 * 1024;
constexpr std::size_t kShownLines = 40;

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
  for (const std::u16string& path : launch.values) {
    if (!PathForCodePage(files, context.platform.environment, path)) {
      failure.pathReadWrongly = PathAsCodePageReadsIt(context.platform.environment, path);
      break;
    }
  }
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
  failure.requiredJava = launch.program.requiredJava;
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

// What a child is started with: its command line, and what it gets over the launcher's environment.
struct Child {
  std::u16string commandLine;
  EnvironmentChanges environment;
};

// The child of `executable` (the starter's own, or the console executable that stands in for it) as the plan and
// the machine make it; nullopt when it can't be started, after telling the user why where they can act.
std::optional<Child> MakeChild(Context& context, StarterKind kind, const Starter& starter,
                               const std::u16string& executable, const StarterFacts& facts, const StartPlan& plan,
                               const Launch& launch) {
  Files& files = context.platform.files;
  Environment& environment = context.platform.environment;
  LaunchCommand command(executable, starter.arguments, kind);
  for (const std::u16string& path : launch.values) {
    // Java and the emulators read their command line in the system's code page: a name outside it arrives with
    // question marks, and Java then can't find the file.
    const std::optional<std::u16string> readable = PathForCodePage(files, environment, path);
    if (!readable && facts.javaRuntime && command.UsesPlainValue(command.ValueCount())) {
      ShowLaunchError(context.platform.ui,
                      Format(u"Java can't open \"%s\": its path holds characters that this computer's language "
                             u"setting for programs can't represent, and the drive keeps no short name for it. Move or "
                             u"rename the file so that its path holds only such characters, or turn on \"Use Unicode "
                             u"UTF-8 for worldwide language support\" in Windows' region settings.",
                             {std::u16string_view(Clipped(FileName(path), kMaxQuoted))}));
      return std::nullopt;
    }
    command.AddQuotedValue(readable.value_or(path), path);
  }
  if (launch.screen) command.SetScreenSize(*launch.screen);
  if (facts.javaRuntime) command.SetLeadingArguments(launch.javaOptions);
  std::optional<std::u16string> line = command.CommandLine(launch.externalArguments);
  if (!line) return std::nullopt;
  Child child{std::move(*line), {}};
  if (plan.scaledByWindows) {
    if (std::optional<EnvironmentChange> layer = DpiUnawareLayer(environment)) {
      child.environment.push_back(std::move(*layer));
    }
  }
  return child;
}

// The program in the launcher's own console, which stays until the user has read its last words.
bool RunInKeptConsole(Context& context, const Starter& starter, const std::u16string& executable,
                      const StarterFacts& facts, const StartPlan& plan, const Launch& launch) {
  // Only a desktop program runs in the kept console.
  const std::optional<Child> child = MakeChild(context, StarterKind::J2se, starter, executable, facts, plan, launch);
  if (!child) return false;
  const std::u16string name = FileName(launch.openedFile);
  const KeptConsoleStart started =
      context.platform.processes.StartInKeptConsole(name + u" - Tessaly Corvalo", child->commandLine, child->environment);
  if (!started.console) {
    ShowLaunchError(context.platform.ui,
                    Format(u"\"%s\" could not be started. %s",
                           {std::u16string_view(executable),
                            std::u16string_view(context.platform.environment.ErrorText(started.error))}));
    return false;
  }
  KeptConsole& console = *started.console;
  std::optional<std::uint32_t> code = console.WaitForEnd(kWatchMilliseconds);
  const bool atOnce = code.has_value();
  if (!atOnce) code = console.WaitForEnd(kForever);
  std::u16string text = u"\r\n";
  if (atOnce && *code != 0) {
    const Diagnosis diagnosis =
        Diagnose(context, FailureFacts(context, starter, console.LastLines(kShownLines), *code, launch));
    // The end line says the exit code already.
    if (diagnosis.kind != FailureKind::ExitCode) text += diagnosis.text + u"\r\n";
  }
  text += Format(u"\"%s\" ended with exit code %s. Press any key to close this window.",
                 {std::u16string_view(name), std::u16string_view(ExitCodeText(*code))});
  console.Write(text);
  console.WaitForKey();
  return true;
}

// A program that ended at once without failing but wrote something may be one for the command line, which the
// look could not tell: what it wrote, and its console.
void ExplainEndedAtOnce(Context& context, const Starter& starter, const std::u16string& commandLine,
                        const WatchedChild& child, const StarterFacts& facts, const StartPlan& plan,
                        const Launch& launch) {
  const StartFailure ended =
      FailureFacts(context, starter, OutputText(child.output, context.platform.environment), child.exitCode, launch);
  const std::optional<std::u16string>& console = facts.consoleExecutable;
  StartFailureReport report{FileName(launch.openedFile), {}, LastLines(ended.output, kShownLines),
                            Details(commandLine, starter, ended), {}, {}, true, console.has_value()};
  if (RunStartFailureDialog(context.platform.ui, report) == kIdOk && console) {
    RunInKeptConsole(context, starter, *console, facts, plan, launch);
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
  const StarterFacts facts = LearnStarter(context, starter);
  const StartPlan plan = DecideStart(launch.program, facts);
  if (plan.way == StartWay::KeptConsole) {
    return RunInKeptConsole(context, starter, *facts.consoleExecutable, facts, plan, launch);
  }
  const std::optional<Child> child = MakeChild(context, kind, starter, starter.executableFile, facts, plan, launch);
  if (!child) return false;
  Processes& processes = context.platform.processes;
  if (plan.way == StartWay::Plain) return processes.Start(child->commandLine, child->environment);
  const std::optional<WatchedChild> watched =
      processes.StartWatched(child->commandLine, child->environment, kWatchMilliseconds, kKeptOutput);
  if (!watched) return false;
  // The start happened, whatever the child did next.
  if (!watched->ended) return true;
  if (watched->exitCode != 0) {
    ExplainStartFailure(context, kind, slot, starter, child->commandLine, *watched, launch);
  } else if (plan.explainQuietEnd && !watched->output.empty()) {
    ExplainEndedAtOnce(context, starter, child->commandLine, *watched, facts, plan, launch);
  }
  return true;
}

}  // namespace tc
