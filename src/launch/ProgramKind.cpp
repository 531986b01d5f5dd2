// What kind of program a desktop JAR holds: a bounded, breadth-first walk over its class files.
#include "launch/ProgramKind.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Hash.h"
#include "base/Path.h"
#include "base/Text.h"
#include "formats/ClassFile.h"
#include "formats/MainClass.h"
#include "launch/ArchiveAddress.h"
#include "launch/ClassPath.h"

namespace tc {

namespace {

constexpr std::string_view kJavaFx = "javafx/";
// A program whose own JARs hold this brings JavaFX along and needs none of the runtime's.
constexpr std::string_view kJavaFxApplication = "javafx/application/Application";
// No class path can hold the platform's own package: such a name is never looked for.
constexpr std::string_view kPlatformPackage = "java/";
// A class that extends one of these is a class loader. A main class that names one of the program's own, or
// URLClassLoader, makes its loader from them: the program it starts is hidden from the walk.
constexpr std::string_view kClassLoaders[] = {
    "java/lang/ClassLoader", "java/security/SecureClassLoader", "java/net/URLClassLoader"};
constexpr std::string_view kUrlClassLoader = "java/net/URLClassLoader";

constexpr std::size_t kMaxClassesWalked = 4096;
constexpr std::size_t kFirstFront = 1u << 10;
constexpr std::uint64_t kMaxBytesInflated = 64u << 20;
// Every entry name looked for in every JAR, with what a look-up costs besides hashing its bytes: the walk's time
// stays bounded whatever the class files name and however many places they are looked for in.
constexpr std::uint64_t kMaxBytesLookedUp = 16u << 20;
constexpr std::uint64_t kLookUpCost = 64;
// JARs beside the program or inside it, each a look at the disk or at the archive, and an index.
constexpr std::size_t kMaxJarsOpened = 64;
// Over all the JARs, at 16 bytes an entry.
constexpr std::size_t kMaxIndexedEntries = 1u << 20;
// Distinct class names met, each looked up once: memory stays bounded whatever the class files hold.
constexpr std::size_t kMaxNamesMet = 1u << 17;
constexpr std::string_view kVersionsFolder = "META-INF/versions/";
constexpr std::size_t kMaxVersions = 64;

// A launcher that loads the program's real main class by name, from places of its own in the JAR. A class path
// lists them: "./" the JAR itself, "x/" a folder in it, "x/*" the JARs in a folder ("*" those at its root),
// anything else a JAR inside it; names may be %-escaped.
struct Launcher {
  std::u16string_view mainClass;      // the manifest attribute that names the real main class
  std::u16string_view classPath;      // the manifest attribute that holds its class path, if it reads one
  std::string_view defaultClassPath;  // else where it loads from
};
constexpr Launcher kLaunchers[] = {
    // Eclipse's runnable JAR with its libraries packed inside ("rsrc:" URLs: the JAR's root, or a JAR in it).
    {u"Rsrc-Main-Class", u"Rsrc-Class-Path", ""},
    // Spring Boot's JarLauncher, WarLauncher and PropertiesLauncher; its first versions kept libraries in lib/.
    {u"Start-Class", u"",
     "./ BOOT-INF/classes/ BOOT-INF/lib/* WEB-INF/classes/ WEB-INF/lib/* WEB-INF/lib-provided/* lib/*"},
    {u"One-Jar-Main-Class", u"", "./ main/* lib/*"},
    // Capsule: itself and the JARs at its root.
    {u"Application-Class", u"", "./ *"},
};
constexpr std::string_view kProgramClassPath = "./";

// The toolkit of kWindowToolkits that holds the class, or "". Most names share no first letter with any.
std::string_view WindowToolkitOf(std::string_view name) {
  if (name.empty() || std::string_view("jocpa").find(name.front()) == std::string_view::npos) return {};
  for (const std::string_view toolkit : kWindowToolkits) {
    if (name.starts_with(toolkit)) return toolkit;
  }
  return {};
}

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

// Unsure: a bound was reached, or a class that is there can't be read; the walk can't be sure of anything after.
enum class Found { Class, Missing, Unsure };

// The JARs a program's classes are loaded from, and where in them, searched in order as its class loader does.
class ClassSource {
 public:
  ClassSource(Files& files, const std::u16string& archivePath, JarReader& jar, const AttributeFile& manifest)
      : files_(files), archivePath_(archivePath), manifest_(manifest) {
    jars_.push_back({"", u"", &jar, nullptr, false});
    if (const std::optional<FileIdentity> identity = files.Identity(archivePath)) identities_.insert(*identity);
    if (EqualsIgnoreCase(ManifestValue(manifest, u"Multi-Release"), u"true")) versionFolders_ = VersionFolders(jar);
  }

  // Where classes are looked for from now on: the places `classPath` lists, then the JARs of the Class-Path.
  void LookIn(std::u16string_view classPath) {
    struct Item {
      std::string name;
      std::vector<std::string> jars;  // a folder's JARs
    };
    std::vector<Item> items;
    bool folders = false;
    for (std::u16string_view rest = classPath; !rest.empty();) {
      const std::size_t end = std::min(rest.find_first_of(u" \t"), rest.size());
      if (end > 0) items.push_back({ToUtf8(DecodePercentEscapes(rest.substr(0, end))), {}});
      rest.remove_prefix(std::min(end + 1, rest.size()));
      folders = folders || (!items.empty() && items.back().name.ends_with('*'));
    }
    // The JARs directly in each folder, as many as may be opened and one more, so that the bound is seen.
    std::size_t listed = 0;
    if (folders) {
      jars_[0].reader->ForEachEntryName([&](std::string_view entry) {
        for (Item& item : items) {
          const std::string_view folder = std::string_view(item.name).substr(0, item.name.size() - 1);
          if (!item.name.ends_with('*') || !entry.starts_with(folder) || !entry.ends_with(".jar") ||
              entry.find('/', folder.size()) != std::string_view::npos || listed > kMaxJarsOpened) {
            continue;
          }
          item.jars.emplace_back(entry);
          ++listed;
        }
      });
    }
    places_.clear();
    for (const Item& item : items) {
      if (item.name == kProgramClassPath) {
        places_.push_back({0, ""});
      } else if (item.name.ends_with('*')) {
        for (const std::string& jar : item.jars) places_.push_back({Slot(jar, u""), ""});
      } else if (item.name.ends_with('/')) {
        places_.push_back({0, item.name});
      } else {
        places_.push_back({Slot(item.name, u""), ""});
      }
    }
    // Each name a look at the disk: as many as may be opened and one more, so that the bound is seen.
    const std::u16string folder = ParentFolder(archivePath_);
    std::vector<ClassPathFile> beside = ClassPathFiles(ManifestValue(manifest_, u"Class-Path"), folder);
    beside.resize(std::min(beside.size(), kMaxJarsOpened + 1));
    for (const ClassPathFile& file : beside) places_.push_back({Slot("", file.path), ""});
  }

  // Reads as much of the named class as the walk needs, out of the first place that holds it; `front` has read its
  // constant pool on the way.
  Found Read(std::string_view name, std::span<const std::uint8_t>& bytes, ClassFront& front) {
    JarReader* jar = nullptr;
    std::optional<JarReader::Entry> entry;
    if (const Found found = Find(name, jar, entry); found != Found::Class) return found;
    // Too large for what is left, or damaged.
    const std::uint32_t limit = InflateLimit();
    // A class's constant pool is most often about two thirds of it: half of it is read first, and what its
    // constants tell then how much more.
    const std::size_t first = std::max<std::size_t>(kFirstFront, entry->uncompressedSize / 2);
    front.Clear();
    const auto read = jar->ReadEntryFront(*entry, limit, first, [&front](auto f) { return front.Wanted(f); }, room_);
    if (!read) return Found::Unsure;
    bytes = *read;
    inflated_ += bytes.size();
    return Found::Class;
  }

  // Whether a place holds the named class.
  Found Holds(std::string_view name) {
    JarReader* jar = nullptr;
    std::optional<JarReader::Entry> entry;
    return Find(name, jar, entry);
  }

 private:
  // A JAR the walk may look in: the program's own, one inside it or one its Class-Path names beside it. Opened
  // when it is first looked in; one opened before under another name is nothing more to look in.
  struct Jar {
    std::string entry;
    std::u16string path;
    JarReader* reader = nullptr;
    std::unique_ptr<JarReader> owned;
    bool tried = false;
  };
  // A folder in a JAR ("" its root), which the program's own JAR has in its newest version folders first.
  struct Place {
    std::size_t jar;
    std::string folder;
  };

  std::size_t Slot(const std::string& entry, const std::u16string& path) {
    for (std::size_t i = 1; i < jars_.size(); ++i) {
      if (jars_[i].entry == entry && jars_[i].path == path) return i;
    }
    jars_.push_back({entry, path, nullptr, nullptr, false});
    return jars_.size() - 1;
  }

  Found Find(std::string_view name, JarReader*& jar, std::optional<JarReader::Entry>& found) {
    if (name.starts_with(kPlatformPackage)) return Found::Missing;
    for (const Place& place : places_) {
      if (!Open(jars_[place.jar])) return Found::Unsure;
      jar = jars_[place.jar].reader;
      if (!jar) continue;
      const bool versioned = place.jar == 0 && place.folder.empty();
      for (std::size_t v = 0; v <= (versioned ? versionFolders_.size() : 0); ++v) {
        std::string_view version;
        if (versioned && v < versionFolders_.size()) version = versionFolders_[v];
        if (const Found where = FindIn(*jar, {version, place.folder, name, ".class"}, found); where != Found::Missing)
          return where;
      }
    }
    return Found::Missing;
  }

  // One look-up of the entry these parts name, counted. The program's JAR is indexed from its second: the main
  // class alone is found without the index, as most window programs are judged by it.
  Found FindIn(JarReader& jar, std::initializer_list<std::string_view> parts, std::optional<JarReader::Entry>& found) {
    if (&jar == jars_[0].reader && !programIndexed_ && programLookUps_++ > 0) {
      if (!Index(jar)) return Found::Unsure;
      programIndexed_ = true;
    }
    std::size_t length = 0;
    for (const std::string_view part : parts) length += part.size();
    // A name longer than any entry's is none of them, and costs nothing.
    if (length > jar.LongestEntryName()) return Found::Missing;
    if (length + kLookUpCost > kMaxBytesLookedUp - lookedUp_) return Found::Unsure;
    lookedUp_ += length + kLookUpCost;
    entry_.clear();
    for (const std::string_view part : parts) entry_.append(part);
    found = jar.FindEntry(entry_);
    return found ? Found::Class : Found::Missing;
  }

  // What a read may still inflate: too large an entry is refused before anything is allocated for it.
  std::uint32_t InflateLimit() const {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(kMaxJarEntrySize, kMaxBytesInflated - inflated_));
  }

  bool Index(JarReader& jar) {
    if (!jar.IndexEntries(entriesLeft_)) return false;
    entriesLeft_ -= jar.IndexedEntryCount();
    return true;
  }

  // False when a bound is reached; a JAR that can't be read, or was opened before, is left without a reader.
  bool Open(Jar& jar) {
    if (jar.tried || jar.reader) return true;
    jar.tried = true;
    if (opened_++ == kMaxJarsOpened) return false;
    std::unique_ptr<FileReader> file;
    if (!jar.path.empty()) {
      // A name that is no file (missing, a folder) holds nothing the walk could see.
      const std::optional<FileIdentity> identity = files_.Identity(jar.path);
      if (!identity || !identities_.insert(*identity).second) return true;
      file = files_.OpenForReading(jar.path);
    } else {
      std::optional<JarReader::Entry> entry;
      JarReader& program = *jars_[0].reader;
      const Found where = FindIn(program, {jar.entry}, entry);
      if (where != Found::Class) return where == Found::Missing;
      if (!nested_.insert(entry->localOffset).second) return true;
      file = program.OpenEntry(*entry, InflateLimit());
      if (file && entry->method != 0) inflated_ += entry->uncompressedSize;
    }
    auto reader = std::make_unique<JarReader>();
    if (!file || !reader->OpenJar(std::move(file))) return true;
    if (!Index(*reader)) return false;
    jar.owned = std::move(reader);
    jar.reader = jar.owned.get();
    return true;
  }

  Files& files_;
  const std::u16string& archivePath_;
  const AttributeFile& manifest_;
  std::vector<Jar> jars_;
  std::vector<Place> places_;
  std::vector<std::string> versionFolders_;
  std::set<FileIdentity> identities_;
  std::set<std::uint64_t> nested_;
  std::string entry_;
  JarReader::FrontRoom room_;
  std::size_t opened_ = 0, entriesLeft_ = kMaxIndexedEntries, programLookUps_ = 0;
  std::uint64_t inflated_ = 0, lookedUp_ = 0;
  bool programIndexed_ = false;
};

// What the walk knows of a class name it met.
struct Met {
  bool walked = false;
  bool loader = false;          // walked, and extends a class loader
  bool namedByMain = false;     // the main class or a class it extends names it
};
// Names are looked for as they lie in a class file, without a copy each; their hash is one that no file can make
// them share.
using MetNames = std::unordered_map<std::string, Met, SeededNameHash, std::equal_to<>>;

}  // namespace

ProgramLook LookAtProgram(Files& files, const std::u16string& archivePath, JarReader& jar,
                          const AttributeFile& manifest) {
  ClassSource source(files, archivePath, jar, manifest);
  const auto bringsJavaFx = [&source] { return source.Holds(kJavaFxApplication) == Found::Class; };
  if (!ManifestValue(manifest, u"JavaFX-Application-Class").empty()) {
    source.LookIn(FromUtf8(kProgramClassPath));
    return {ProgramKind::Window, true, 0, bringsJavaFx()};
  }
  if (!ManifestValue(manifest, u"SplashScreen-Image").empty()) return {ProgramKind::Window};

  // The class a launcher names, where it loads it from; else the main class, as Java starts it.
  std::span<const std::uint8_t> bytes;
  ClassFront front;
  std::optional<std::string> mainClass;
  Found found = Found::Missing;
  for (const Launcher& launcher : kLaunchers) {
    if (!(mainClass = ClassEntryName(ManifestValue(manifest, launcher.mainClass)))) continue;
    source.LookIn(launcher.classPath.empty() ? FromUtf8(launcher.defaultClassPath)
                                             : ManifestValue(manifest, launcher.classPath));
    if ((found = source.Read(*mainClass, bytes, front)) != Found::Missing) break;
  }
  if (found == Found::Missing) {
    if (!(mainClass = ClassEntryName(MainClassName(manifest)))) return {};
    source.LookIn(FromUtf8(kProgramClassPath));
    found = source.Read(*mainClass, bytes, front);
  }
  if (found != Found::Class) return {};

  // Names point into the class file they came from; the map keeps its own copies, and the queue points to them.
  // The classes the main class extends are walked right after it, so that the walk knows them as such.
  MetNames met;
  using Node = MetNames::value_type;
  Node* const main = &*met.emplace(*mainClass, Met{}).first;
  Node* chain = main;  // the class of the main class's line that is walked next
  bool chainHides = false;  // the main class or a class it extends loads classes by name
  std::deque<Node*> next;
  ProgramLook look;
  const auto unsure = [&look] { return ProgramLook{ProgramKind::Unknown, false, look.classesWalked}; };
  for (Node* current = main;;) {
    ++look.classesWalked;
    current->second.walked = true;
    const std::optional<ClassReferences> refs = ReadClassReferences(bytes, front);
    if (!refs) return unsure();
    for (const std::string_view name : refs->names) {
      const std::string_view toolkit = WindowToolkitOf(name);
      if (toolkit.empty()) continue;
      look.kind = ProgramKind::Window;
      look.usesJavaFx = look.usesJavaFx || toolkit == kJavaFx;
    }
    if (look.kind == ProgramKind::Window) {
      look.bringsJavaFx = look.usesJavaFx && bringsJavaFx();
      return look;
    }
    current->second.loader = std::find(std::begin(kClassLoaders), std::end(kClassLoaders), refs->superClass) !=
                             std::end(kClassLoaders);
    const bool inChain = current == chain;
    chainHides = chainHides || (inChain && refs->loadsByName);
    if (inChain) chain = nullptr;
    for (const std::string_view name : refs->names) {
      // The platform's own classes are never looked for; of them only URLClassLoader tells anything.
      if (name.starts_with(kPlatformPackage)) {
        chainHides = chainHides || (inChain && name == kUrlClassLoader);
        continue;
      }
      auto it = met.find(name);
      if (it == met.end()) {
        if (met.size() == kMaxNamesMet) return unsure();
        it = met.emplace(name, Met{}).first;
        if (name != refs->superClass || !inChain) next.push_back(&*it);
      }
      it->second.namedByMain = it->second.namedByMain || inChain;
      if (inChain && name == refs->superClass && !it->second.walked) next.push_front(chain = &*it);
    }
    // The classes that no JAR holds are the platform's, or a library's the launcher can't see: passed over. A
    // class met twice in the queue is walked once.
    for (found = Found::Missing; found == Found::Missing && !next.empty(); next.pop_front()) {
      if (next.front()->second.walked) continue;
      found = source.Read(next.front()->first, bytes, front);
      if (found == Found::Class) current = next.front();
      if (found == Found::Missing && next.front() == chain) chain = nullptr;
    }
    if (found == Found::Unsure || (found == Found::Class && look.classesWalked == kMaxClassesWalked)) {
      return unsure();
    }
    if (found == Found::Missing) break;
  }
  // No window toolkit: a program for the command line, unless what starts it loads classes by name (a class
  // loader of its own, or one made from URLs), which hides the program it starts. A tool that loads a driver by
  // name deep inside is still a tool.
  const bool hides = chainHides || std::any_of(met.begin(), met.end(), [](const Node& node) {
                       return node.second.namedByMain && node.second.loader;
                     });
  look.kind = hides ? ProgramKind::Unknown : ProgramKind::Console;
  return look;
}

}  // namespace tc
