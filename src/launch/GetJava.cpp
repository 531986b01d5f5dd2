// When no Java that can run a program is set up: which Java to get, and getting it.
#include "launch/GetJava.h"

#include <algorithm>
#include <iterator>

#include "base/Path.h"
#include "base/Text.h"
#include "detect/FolderSearch.h"
#include "detect/J2seDetection.h"
#include "detect/JavaRelease.h"
#include "detect/StarterScanner.h"
#include "formats/ExecutableHeader.h"
#include "formats/MainClass.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

namespace tc {

namespace {

// The long-term versions, oldest first, and the winget package of each one's runtime.
struct LongTermJava {
  std::uint32_t version;
  const char16_t* wingetPackage;
};
constexpr LongTermJava kLongTermJavas[] = {
    {8, u"EclipseAdoptium.Temurin.8.JRE"},   {11, u"EclipseAdoptium.Temurin.11.JRE"},
    {17, u"EclipseAdoptium.Temurin.17.JRE"}, {21, u"EclipseAdoptium.Temurin.21.JRE"},
    {25, u"EclipseAdoptium.Temurin.25.JRE"},
};

// winget's own codes for an installation that needs nothing more.
constexpr std::uint32_t kWingetInstalled = 0;
constexpr std::uint32_t kWingetAlreadyInstalled = 0x8A15002B;
constexpr std::uint32_t kWingetRestartNeeded = 0x8A150109;

constexpr char16_t kDownloadPage[] =
    u"https://adoptium.net/temurin/releases/?os=windows&arch=%s&package=jre&version=%u";

const char16_t* WingetPackage(std::uint32_t version) {
  for (const LongTermJava& java : kLongTermJavas) {
    if (java.version == version) return java.wingetPackage;
  }
  return nullptr;
}

bool IsFile(Files& files, const std::u16string& path) {
  const std::optional<std::uint32_t> attributes = files.Attributes(path);
  return attributes && (*attributes & attribute::kDirectory) == 0;
}

// A folder of the PATH that names a place of its own: a relative one would depend on the current folder.
bool IsRooted(std::u16string_view folder) {
  return (folder.size() >= 3 && folder[1] == u':' && folder[2] == u'\\') || folder.starts_with(u"\\\\");
}

// The runtimes the scan finds now that can run the program and are no starter yet become starters; the slot of
// the newest of them, or 0 when there is none.
std::uint32_t AddFoundRuntimes(Context& context, std::uint32_t required) {
  Platform& platform = context.platform;
  StarterCatalogue& catalogue = context.Catalogue();
  // While winget ran, another instance may have saved starters; this launch holds nothing unsaved, so what is
  // saved is the registry's content and what is found now.
  catalogue.Load();
  J2seScanner scanner(context);
  scanner.Detect();
  std::uint32_t newest = 0;
  std::uint32_t newestJava = 0;
  for (const DetectedStarter& candidate : scanner.List()) {
    const std::u16string& executable = candidate.ExecutableFile;
    if (!EqualsIgnoreCase(FileName(executable), u"javaw.exe")) continue;
    const std::uint32_t java = JavaRuntimeVersion(platform.files, platform.versions, executable);
    if (java < required) continue;
    bool known = false;
    for (auto slot = catalogue.NextStarter(StarterKind::J2se, 0); slot != 0 && !known;
         slot = catalogue.NextStarter(StarterKind::J2se, slot)) {
      known = SameFile(platform.files, catalogue.GetStarter(StarterKind::J2se, slot).executableFile, executable);
    }
    if (known) continue;
    const std::optional<std::uint32_t> slot = catalogue.AddStarter(StarterKind::J2se);
    if (!slot) break;
    catalogue.GetStarter(StarterKind::J2se, *slot) = Starter{candidate.Name, executable, kJarArguments};
    if (newest == 0 || java > newestJava) {
      newest = *slot;
      newestJava = java;
    }
  }
  if (newest != 0) catalogue.Save();
  return newest;
}

// winget in a console of its own, waited for behind the installing dialog; the slot to start, or 0.
std::uint32_t InstallWithWinget(Context& context, const std::u16string& winget, std::uint32_t required,
                                std::uint32_t offered) {
  Ui& ui = context.platform.ui;
  const std::u16string command = u"\"" + winget + u"\" install --exact --id " + WingetPackage(offered) +
                                 u" --accept-package-agreements --accept-source-agreements";
  const ConsoleStart started = context.platform.processes.StartInNewConsole(command);
  const auto failed = [&](std::uint32_t code) {
    ShowLaunchError(ui, Format(u"Java %u could not be installed with winget (exit code 0x%08X).", {offered, code}));
    return 0u;
  };
  if (!started.process) return failed(started.error);
  std::uint32_t exitCode = 0;
  if (RunInstallingJavaDialog(ui, offered, *started.process, exitCode) != kIdOk) return 0;
  if (exitCode != kWingetInstalled && exitCode != kWingetAlreadyInstalled && exitCode != kWingetRestartNeeded) {
    return failed(exitCode);
  }
  const std::uint32_t slot = AddFoundRuntimes(context, required);
  if (slot == 0) {
    ShowLaunchWarning(ui, Format(u"Java %u was installed, but no Java that can run this program was found. Use Scan "
                                 u"in the setup dialog to look for it.",
                                 {offered}));
  }
  return slot;
}

}  // namespace

std::uint32_t RequiredJava(JarReader& jar, const AttributeFile& manifest) {
  const std::optional<std::uint32_t> required = MainClassJavaVersion(jar, MainClassName(manifest));
  if (!required) return std::end(kLongTermJavas)[-1].version;
  // A class older than Java 5 runs on any Java; the oldest one offered is then what it needs.
  return std::max(*required, kLongTermJavas[0].version);
}

std::uint32_t OfferedJava(std::uint32_t required) {
  for (const LongTermJava& java : kLongTermJavas) {
    if (java.version >= required) return java.version;
  }
  return required;
}

std::optional<std::u16string> FindWinget(Files& files, Environment& environment) {
  const std::u16string path = EnvironmentVariable(environment, u"PATH");
  for (std::size_t begin = 0; begin < path.size();) {
    std::size_t end = path.find(u';', begin);
    if (end == std::u16string::npos) end = path.size();
    std::u16string folder = path.substr(begin, end - begin);
    begin = end + 1;
    std::erase(folder, u'"');  // Windows takes quoted entries; quotes are never part of a folder's name
    if (!IsRooted(folder)) continue;
    const std::u16string winget = JoinPath(folder, u"winget.exe");
    if (IsFile(files, winget)) return winget;
  }
  const std::u16string local = EnvironmentVariable(environment, u"LOCALAPPDATA");
  if (IsRooted(local)) {
    const std::u16string winget = JoinPath(local, u"Microsoft\\WindowsApps\\winget.exe");
    if (IsFile(files, winget)) return winget;
  }
  return std::nullopt;
}

std::uint32_t GetJava(Context& context, std::uint32_t required) {
  Platform& platform = context.platform;
  const std::uint32_t offered = OfferedJava(required);
  std::optional<std::u16string> winget = FindWinget(platform.files, platform.environment);
  if (!WingetPackage(offered)) winget.reset();
  const int answer = RunGetJavaDialog(platform.ui, {required, offered, winget.has_value()});
  if (answer == IDB_OPEN_DOWNLOAD_PAGE) {
    const bool arm = platform.environment.NativeMachine() == kMachineArm64;
    platform.shell.Open(Format(kDownloadPage, {std::u16string_view(arm ? u"aarch64" : u"x64"), offered}));
    return 0;
  }
  if (answer != kIdOk || !winget) return 0;
  return InstallWithWinget(context, *winget, required, offered);
}

}  // namespace tc
