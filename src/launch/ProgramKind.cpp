// What kind of program a desktop JAR holds: a bounded, breadth-first walk over its class files.
#include "launch/ProgramKind.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/Path.h"
#include "base/Text.h"
#include "formats/ClassFile.h"
#include "formats/MainClass.h"
#include "launch/ClassPath.h"

namespace tc {

namespace {

// A class that names one of these belongs to a program that shows windows.
constexpr std::string_view kWindowToolkits[] = {
    "java/awt/",       "javax/swing/", "javafx/",         "java/applet/",
    "org/eclipse/swt/", "org/lwjgl/",  "com/badlogic/gdx/", "com/jogamp/",
    "processing/core/", "androidx/compose/ui/window/", "org/jetbrains/skiko/",
};
constexpr std::string_view kJavaFx = "javafx/";

constexpr std::size_t kMaxClassesWalked = 4096;
constexpr std::uint64_t kMaxBytesInflated = 64u << 20;
constexpr std::size_t kMaxJarsOpened = 64;
// Over all the JARs, at 16 bytes an entry.
constexpr std::size_t kMaxIndexedEntries = 1u << 20;
// Distinct class names met, each looked up once: memory stays bounded whatever the class files hold.
constexpr std::size_t kMaxNamesMet = 1u << 17;
constexpr std::string_view kVersionsFolder = "META-INF/versions/";
constexpr std::size_t kMaxVersions = 64;

// The newest first: "META-INF/versions/17/", "META-INF/versions/11/".
std::vector<std::string> VersionFolders(JarReader& jar) {
  std::set<std::uint32_t, std::greater<>> versions;
  jar.ForEachEntryName([&](std::string_view name) {
    if (!name.starts_with(kVersionsFolder) || versions.size() == kMaxVersions) return;
    name.remove_prefix(kVersionsFolder.size());
    std::uint32_t version = 0;
    std::size_t digits = 0;
    for (; digits < name.size() && digits < 6 && name[digits] >= '0' && name[digits] <= '9'; ++digits) {
      version = version * 10 + (name[digits] - '0');
    }
    if (digits > 0 && digits < name.size() && name[digits] == '/') versions.insert(version);
  });
  std::vector<std::string> folders;
  for (const std::uint32_t version : versions) {
    folders.push_back(std::string(kVersionsFolder) + std::to_string(version) + "/");
  }
  return folders;
}

enum class Found { Class, Missing, Broken };

// Names are looked for as they lie in a class file, without a copy each.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

// The program's JAR and the ones its Class-Path names, searched in that order as the class loader does.
class ClassSource {
 public:
  ClassSource(Files& files, const std::u16string& archivePath, JarReader& jar, const AttributeFile& manifest)
      : files_(files), archivePath_(archivePath), manifest_(manifest), jars_{&jar} {
    if (EqualsIgnoreCase(ManifestValue(manifest, u"Multi-Release"), u"true")) versionFolders_ = VersionFolders(jar);
  }

  // Reads the named class out of the first JAR that holds it, the program's newest version of it first.
  Found Read(std::string_view name, std::vector<std::uint8_t>& bytes) {
    const std::uint32_t limit = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(kMaxJarEntrySize, kMaxBytesInflated - inflated_));
    const auto tryEntry = [&](JarReader& jar, std::string_view entry) {
      if (jar.ReadEntry(entry, bytes, limit)) {
        inflated_ += bytes.size();
        return Found::Class;
      }
      // Too large for what is left, or damaged: the walk can't be sure of anything after it.
      return jar.HasEntry(entry) ? Found::Broken : Found::Missing;
    };
    std::string entry;
    for (const std::string& folder : versionFolders_) {
      entry.assign(folder).append(name).append(".class");
      if (const Found found = tryEntry(*jars_[0], entry); found != Found::Missing) return found;
    }
    entry.assign(name).append(".class");
    for (JarReader* jar : jars_) {
      if (const Found found = tryEntry(*jar, entry); found != Found::Missing) return found;
    }
    return Found::Missing;
  }

  // Opens the Class-Path's JARs and indexes every JAR, once: the main class alone is found without either, as
  // most window programs are judged by it. False when a JAR can't be indexed or too many are named.
  bool OpenAll() {
    if (opened_) return true;
    opened_ = true;
    std::size_t budget = kMaxIndexedEntries;
    const auto index = [&](JarReader& jar) {
      if (!jar.IndexEntries(budget)) return false;
      budget -= jar.IndexedEntryCount();
      return true;
    };
    if (!index(*jars_[0])) return false;
    const std::u16string folder = ParentFolder(archivePath_);
    for (const ClassPathFile& file : ClassPathFiles(ManifestValue(manifest_, u"Class-Path"), folder)) {
      if (owned_.size() == kMaxJarsOpened) return false;
      auto jar = std::make_unique<JarReader>();
      // A name that is no JAR (missing, a folder) holds nothing the walk could see.
      if (!jar->OpenJar(files_, file.path)) continue;
      if (!index(*jar)) return false;
      jars_.push_back(jar.get());
      owned_.push_back(std::move(jar));
    }
    return true;
  }

 private:
  Files& files_;
  const std::u16string& archivePath_;
  const AttributeFile& manifest_;
  std::vector<JarReader*> jars_;
  std::vector<std::unique_ptr<JarReader>> owned_;
  std::vector<std::string> versionFolders_;
  std::uint64_t inflated_ = 0;
  bool opened_ = false;
};

}  // namespace

ProgramLook LookAtProgram(Files& files, const std::u16string& archivePath, JarReader& jar,
                          const AttributeFile& manifest) {
  if (!ManifestValue(manifest, u"JavaFX-Application-Class").empty()) return {ProgramKind::Window, true};
  if (!ManifestValue(manifest, u"SplashScreen-Image").empty()) return {ProgramKind::Window, false};
  const std::optional<std::string> mainClass = ClassEntryName(MainClassName(manifest));
  if (!mainClass) return {};

  ClassSource source(files, archivePath, jar, manifest);
  std::vector<std::uint8_t> bytes;
  Found found = source.Read(*mainClass, bytes);
  if (found == Found::Missing && source.OpenAll()) found = source.Read(*mainClass, bytes);
  if (found != Found::Class) return {};

  // Names point into the class file they came from; the set keeps its own copies, and the queue points to them.
  std::unordered_set<std::string, NameHash, std::equal_to<>> met{*mainClass};
  std::deque<const std::string*> next;
  ProgramLook look;
  const auto unsure = [&look] { return ProgramLook{ProgramKind::Unknown, false, look.classesWalked}; };
  for (;;) {
    ++look.classesWalked;
    const std::optional<std::vector<std::string_view>> names = ClassNamesIn(bytes);
    if (!names) return unsure();
    for (const std::string_view name : *names) {
      for (const std::string_view toolkit : kWindowToolkits) {
        if (!name.starts_with(toolkit)) continue;
        look.kind = ProgramKind::Window;
        look.usesJavaFx = look.usesJavaFx || toolkit == kJavaFx;
      }
    }
    if (look.kind == ProgramKind::Window) return look;
    for (const std::string_view name : *names) {
      if (met.find(name) != met.end()) continue;
      if (met.size() == kMaxNamesMet) return unsure();
      next.push_back(&*met.emplace(name).first);
    }
    if (!source.OpenAll()) return unsure();
    // The classes that no JAR holds are the platform's, or a library's the launcher can't see: passed over.
    for (found = Found::Missing; found == Found::Missing && !next.empty(); next.pop_front()) {
      found = source.Read(*next.front(), bytes);
    }
    if (found == Found::Broken || (found == Found::Class && look.classesWalked == kMaxClassesWalked)) {
      return unsure();
    }
    if (found == Found::Missing) {
      look.kind = ProgramKind::Console;
      return look;
    }
  }
}

}  // namespace tc
