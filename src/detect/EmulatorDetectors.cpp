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
#include "formats/ClassFile.h"
#include "formats/JarReader.h"

namespace tc {

namespace {

// A huge Downloads folder must not stall the scan.
constexpr std::size_t kMaxEmulatorFolders = 5000;
constexpr int kEmulatorDepth = 2;

// How each emulator that is a JAR is started, told apart by what its JAR holds: the first row of its JAR's name
// whose entry is there (or that needs none) gives the template's end, which hands over the game's screen in the
// emulator's own syntax where it takes one. FreeJ2ME-Plus with its FJGUI class takes the game, then whether to
// start full screen (0: in a window), then the width and height; its older versions put the size in different
// places, and nothing in their JAR tells which: they get the URL alone.
struct JarEmulatorForm {
  const char16_t* name;
  const char16_t* jarName;
  const char* entry;
  const char16_t* arguments;
};
constexpr JarEmulatorForm kJarEmulatorForms[] = {
    {u"MicroEmulator", u"microemulator.jar", "org/microemu/device/resizable/device.xml", u"--resizableDevice %W %H %1"},
    {u"MicroEmulator", u"microemulator.jar", nullptr, u"%1"},
    {u"FreeJ2ME-Plus", u"freej2me.jar", "org/recompile/freej2me/FJGUI.class", u"%U2 0 %W %H"},
    {u"FreeJ2ME-Plus", u"freej2me.jar", "org/recompile/freej2me/AWTGUI.class", u"%U2"},
    {u"FreeJ2ME", u"freej2me.jar", nullptr, u"%U2 %W %H"},
};

// KEmulator builds that read "-screen" hold it in the class that reads the command line; others would refuse or
// misread it.
constexpr const char* kKEmulatorCommandLineClass = "emulator/Emulator.class";

bool KEmulatorKnowsScreen(Files& files, const std::u16string& jarPath) {
  JarReader jar;
  std::vector<std::uint8_t> bytes;
  return jar.OpenJar(files, jarPath) && jar.ReadEntry(kKEmulatorCommandLineClass, bytes) &&
         HoldsStringConstant(bytes, "-screen");
}

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
    const std::u16string jar = JoinPath(folder, u"KEmulator.jar");
    if (!FileExists(files, emulator) || !FileExists(files, jar)) continue;
    DetectedStarter candidate;
    candidate.Arguments = KEmulatorKnowsScreen(files, jar) ? u"-jad %1 -jar %2 -screen %Wx%H" : u"-jad %1 -jar %2";
    candidate.Group = u"Emulator" + emulator + candidate.Arguments;
    candidate.Name = u"KEmulator";
    candidate.ExecutableFile = emulator;
    AddDetected(files, list_, candidate);
  }
}

void J2meScanner::AddJarEmulator(const char16_t* jarName) {
  Files& files = context_.platform.files;
  for (const std::u16string& folder : EmulatorFolders()) {
    const std::u16string jarPath = JoinPath(folder, jarName);
    // The template can't carry a folder whose name holds a placeholder: "%1" in it would be replaced.
    if (HoldsPlaceholder(jarPath, StarterKind::J2me) || !FileExists(files, jarPath)) continue;
    const std::u16string& java = JavaRuntime();
    if (java.empty()) return;
    JarReader jar;
    const bool readable = jar.OpenJar(files, jarPath);
    for (const JarEmulatorForm& form : kJarEmulatorForms) {
      if (!EqualsIgnoreCase(form.jarName, jarName) || (form.entry && !(readable && jar.HasEntry(form.entry)))) continue;
      DetectedStarter candidate;
      candidate.Arguments = u"-jar \"" + jarPath + u"\" " + form.arguments;
      candidate.Group = u"Emulator" + java + candidate.Arguments;
      candidate.Name = form.name;
      candidate.ExecutableFile = java;
      candidate.MatchArguments = true;
      AddDetected(files, list_, candidate);
      break;
    }
  }
}

void J2meScanner::DetectMicroEmulator() { AddJarEmulator(u"microemulator.jar"); }

// FreeJ2ME opens its argument as a URL, so a Windows path would not do.
void J2meScanner::DetectFreeJ2me() { AddJarEmulator(u"freej2me.jar"); }

}  // namespace tc
