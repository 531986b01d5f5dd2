// The J2ME emulators people run today, unzipped somewhere and registered nowhere: KEmulator, MicroEmulator
// and FreeJ2ME, looked for in the folders where downloads end up.
#include "base/Path.h"
#include "base/Text.h"
#include "catalogue/ArgumentTemplate.h"
#include "catalogue/RegistryKey.h"
#include "detect/FolderSearch.h"
#include "detect/J2meScanner.h"
#include "detect/J2seDetection.h"
#include "detect/JavaRelease.h"

namespace tc {

namespace {

// A huge Downloads folder must not stall the scan.
constexpr std::size_t kMaxEmulatorFolders = 5000;
constexpr int kEmulatorDepth = 2;

// Where unzipped emulators end up: the program folders, the profile and its folders for downloads, the system
// drive; those this machine defines.
std::vector<std::u16string> EmulatorRoots(Environment& environment) {
  std::vector<std::u16string> roots = ProgramFolders(environment);
  if (const std::u16string profile = EnvironmentVariable(environment, u"USERPROFILE"); !profile.empty()) {
    roots.push_back(profile);
    for (const char16_t* below : {u"Desktop", u"Downloads", u"Documents"}) roots.push_back(JoinPath(profile, below));
  }
  if (const std::u16string drive = EnvironmentVariable(environment, u"SystemDrive"); !drive.empty()) {
    roots.push_back(drive + u"\\");
  }
  return roots;
}

// The newest javaw.exe the J2SE scan finds, the first of equals; "" when there is none.
std::u16string NewestJavaRuntime(Context& context) {
  J2seScanner j2se(context);
  j2se.Detect();
  std::u16string newest;
  unsigned newestMajor = 0;
  for (const DetectedStarter& candidate : j2se.List()) {
    const std::u16string& javaw = candidate.ExecutableFile;
    if (!EndsWithIgnoreCase(javaw, u"\\javaw.exe") || !FileExists(context.platform.files, javaw)) continue;
    const unsigned major = JavaRuntimeVersion(context.platform.files, context.platform.versions, javaw);
    if (newest.empty() || major > newestMajor) {
      newest = javaw;
      newestMajor = major;
    }
  }
  return newest;
}

}  // namespace

const std::vector<std::u16string>& J2meScanner::EmulatorFolders() {
  if (emulatorFolders_) return *emulatorFolders_;
  std::vector<std::u16string>& folders = emulatorFolders_.emplace();
  // Each folder once, under the name it is first reached by; the walk ends once the bound is reached.
  FolderWalk walk(context_.platform.files, [&](const std::u16string& folder, int) {
    folders.push_back(folder);
    return folders.size() < kMaxEmulatorFolders;
  });
  for (const std::u16string& jar : ReadMachineStrings(u"SOFTWARE\\nnproject\\KEmulator", u"JarInstalledPath")) {
    const std::size_t separator = jar.find_last_of(u"\\/");
    if (separator != std::u16string::npos && separator > 0 && !walk.Walk(jar.substr(0, separator), 0)) {
      return folders;
    }
  }
  for (const std::u16string& root : EmulatorRoots(context_.platform.environment)) {
    if (!walk.Walk(root, kEmulatorDepth)) break;
  }
  return folders;
}

const std::u16string& J2meScanner::JavaRuntime() {
  if (!javaRuntime_) javaRuntime_ = NewestJavaRuntime(context_);
  return *javaRuntime_;
}

void J2meScanner::DetectKEmulator() {
  Files& files = context_.platform.files;
  for (const std::u16string& folder : EmulatorFolders()) {
    const std::u16string emulator = JoinPath(folder, u"KEmulator.exe");
    if (!FileExists(files, emulator) || !FileExists(files, JoinPath(folder, u"KEmulator.jar"))) continue;
    DetectedStarter candidate;
    candidate.Arguments = u"-jad %1 -jar %2";
    candidate.Group = u"Emulator" + emulator + candidate.Arguments;
    candidate.Name = u"KEmulator";
    candidate.ExecutableFile = emulator;
    AddDetected(files, list_, candidate);
  }
}

void J2meScanner::AddJarEmulator(const std::u16string& name, const char16_t* jarName,
                                 std::u16string_view documentArgument) {
  Files& files = context_.platform.files;
  for (const std::u16string& folder : EmulatorFolders()) {
    const std::u16string jar = JoinPath(folder, jarName);
    // The template can't carry a folder whose name holds a placeholder: "%1" in it would be replaced.
    if (HoldsPlaceholder(jar) || !FileExists(files, jar)) continue;
    const std::u16string& java = JavaRuntime();
    if (java.empty()) return;
    DetectedStarter candidate;
    candidate.Arguments = u"-jar \"" + jar + u"\" " + std::u16string(documentArgument);
    candidate.Group = u"Emulator" + java + candidate.Arguments;
    candidate.Name = name;
    candidate.ExecutableFile = java;
    candidate.MatchArguments = true;
    AddDetected(files, list_, candidate);
  }
}

void J2meScanner::DetectMicroEmulator() { AddJarEmulator(u"MicroEmulator", u"microemulator.jar", u"%1"); }

// FreeJ2ME opens its argument as a URL, so a Windows path would not do.
void J2meScanner::DetectFreeJ2me() { AddJarEmulator(u"FreeJ2ME", u"freej2me.jar", u"%U2"); }

}  // namespace tc
