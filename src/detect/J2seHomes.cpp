// Finding the Java homes that today's installers, archives and tools leave on the machine, without running any.
#include "detect/J2seHomes.h"

#include <algorithm>

#include "base/Path.h"
#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "detect/FolderSearch.h"
#include "detect/J2seDetection.h"
#include "detect/JavaRelease.h"
#include "formats/ExecutableHeader.h"

namespace tc {

namespace {

// Where installers record a home: under KEY, every version subkey V, then V\BELOW holds the value.
struct HomeKey {
  const char16_t* key;
  const char16_t* below;
  const char16_t* value;
};

constexpr HomeKey kHomeKeys[] = {
    {u"SOFTWARE\\JavaSoft\\JDK", u"", u"JavaHome"},
    {u"SOFTWARE\\JavaSoft\\JRE", u"", u"JavaHome"},
    {u"SOFTWARE\\Eclipse Adoptium\\JDK", u"hotspot\\MSI", u"Path"},
    {u"SOFTWARE\\Eclipse Adoptium\\JRE", u"hotspot\\MSI", u"Path"},
    {u"SOFTWARE\\Eclipse Adoptium\\JDK", u"hotspot\\EXE", u"Path"},
    {u"SOFTWARE\\Eclipse Adoptium\\JRE", u"hotspot\\EXE", u"Path"},
    {u"SOFTWARE\\Eclipse Foundation\\JDK", u"hotspot\\MSI", u"Path"},
    {u"SOFTWARE\\AdoptOpenJDK\\JDK", u"hotspot\\MSI", u"Path"},
    {u"SOFTWARE\\AdoptOpenJDK\\JRE", u"hotspot\\MSI", u"Path"},
    {u"SOFTWARE\\AdoptOpenJDK\\JDK", u"openj9\\MSI", u"Path"},
    {u"SOFTWARE\\AdoptOpenJDK\\JRE", u"openj9\\MSI", u"Path"},
    {u"SOFTWARE\\Microsoft\\JDK", u"hotspot\\MSI", u"Path"},
    {u"SOFTWARE\\Semeru\\JDK", u"openj9\\MSI", u"Path"},
    {u"SOFTWARE\\Semeru\\JRE", u"openj9\\MSI", u"Path"},
    {u"SOFTWARE\\Azul Systems\\Zulu", u"", u"InstallationPath"},
    {u"SOFTWARE\\Azul Systems\\Zulu 32-bit", u"", u"InstallationPath"},
    {u"SOFTWARE\\BellSoft\\Liberica", u"", u"InstallationPath"},
    {u"SOFTWARE\\SapMachine\\JDK", u"", u"JavaHome"},
    {u"SOFTWARE\\IBM\\Java Runtime Environment", u"", u"JavaHome"},
    {u"SOFTWARE\\IBM\\Java Development Kit", u"", u"JavaHome"},
    {u"SOFTWARE\\IBM\\Java2 Runtime Environment", u"", u"JavaHome"},
};

struct RegistryPlace {
  RegistryRoot root;
  RegistryView view;
};

constexpr RegistryPlace kRegistryPlaces[] = {
    {RegistryRoot::LocalMachine, RegistryView::Bits64},
    {RegistryRoot::LocalMachine, RegistryView::Bits32},
    {RegistryRoot::CurrentUser, RegistryView::Default},
};

struct Vendor {
  const char16_t* implementor;
  const char16_t* name;
};

constexpr Vendor kVendors[] = {
    {u"Eclipse Adoptium", u"Temurin"},   {u"AdoptOpenJDK", u"AdoptOpenJDK"},  {u"Microsoft", u"Microsoft"},
    {u"Azul Systems, Inc.", u"Zulu"},    {u"BellSoft", u"Liberica"},          {u"Amazon.com Inc.", u"Corretto"},
    {u"Oracle Corporation", u"Oracle"},  {u"IBM Corporation", u"Semeru"},     {u"Eclipse OpenJ9", u"Semeru"},
    {u"SAP SE", u"SapMachine"},          {u"Red Hat, Inc.", u"Red Hat"},      {u"JetBrains s.r.o.", u"JetBrains"},
};

std::u16string VendorName(std::u16string_view implementor) {
  for (const Vendor& vendor : kVendors) {
    if (implementor == vendor.implementor) return vendor.name;
  }
  return IsPrintableLabel(implementor) ? std::u16string(implementor) : u"Java";
}

std::optional<const char16_t*> ArchitectureSuffix(std::uint16_t machine) {
  switch (machine) {
    case kMachineX86: return u" 32-bit";
    case kMachineX64: return u"";
    case kMachineArm64: return u" ARM64";
    default: return std::nullopt;
  }
}

// Installers write a home below %ProgramFiles% or the like as REG_EXPAND_SZ.
bool IsExpandable(Registry& registry, const RegistryPlace& place, const std::u16string& path, const char16_t* name) {
  const std::optional<Registry::Handle> key = registry.Open(place.root, path, kKeyRead, place.view);
  if (!key) return false;
  const std::optional<RegistryValue> value = registry.QueryValue(*key, name);
  registry.Close(*key);
  return value && value->type == RegistryType::ExpandString;
}

// Windows takes quoted PATH entries too; quotes are never part of a folder's name.
std::u16string WithoutQuotes(std::u16string text) {
  std::erase(text, u'"');
  return text;
}

class HomeSearch {
 public:
  HomeSearch(Registry& registry, Files& files, Environment& environment, VersionInfo& versions,
             DetectedStarterList& list)
      : registry_(registry), files_(files), environment_(environment), versions_(versions), list_(list) {}

  void InRegistry() {
    for (const RegistryPlace& place : kRegistryPlaces) {
      for (const HomeKey& row : kHomeKeys) {
        for (const std::u16string& version : ListSubkeys(registry_, place.root, row.key, place.view)) {
          std::u16string path = std::u16string(row.key) + u"\\" + version;
          if (*row.below) path += std::u16string(u"\\") + row.below;
          RegistryKey key(registry_, place.root, path, place.view);
          const std::optional<std::u16string> home = key.ReadText(row.value);
          if (!home) continue;
          const bool expand = IsExpandable(registry_, place, path, row.value);
          Consider(expand ? ExpandEnvironment(environment_, *home) : *home, version);
        }
      }
    }
  }

  // The program folders, to two levels: C:\Program Files\Java\jdk-21, and runtimes unzipped or bundled there.
  void InProgramFolders() {
    FolderWalk walk(files_, [&](const std::u16string& folder, int depth) {
      if (depth > 0) Consider(folder);
      return true;
    });
    for (const std::u16string& root : ProgramFolders(environment_)) walk.Walk(root, 2);
  }

  // Where IDEs, build tools and package managers keep the runtimes they fetch for the user.
  void InToolFolders() {
    const std::u16string profile = EnvironmentVariable(environment_, u"USERPROFILE");
    if (!profile.empty()) {
      for (const char16_t* tool : {u".jdks", u".gradle\\jdks", u".jabba\\jdk"}) {
        const std::u16string folder = JoinPath(profile, tool);
        for (const std::u16string& home : ListSubfolders(files_, folder)) Consider(JoinPath(folder, home));
      }
      InScoop(JoinPath(profile, u"scoop\\apps"));
    }
    const std::u16string scoop = EnvironmentVariable(environment_, u"SCOOP");
    if (!scoop.empty()) InScoop(JoinPath(scoop, u"apps"));
  }

  void InEnvironment() {
    Consider(WithoutQuotes(EnvironmentVariable(environment_, u"JAVA_HOME")));
    const std::u16string path = EnvironmentVariable(environment_, u"PATH");
    size_t begin = 0;
    while (begin <= path.size()) {
      size_t end = path.find(u';', begin);
      if (end == std::u16string::npos) end = path.size();
      std::u16string entry = WithoutQuotes(path.substr(begin, end - begin));
      begin = end + 1;
      while (!entry.empty() && entry.back() == u'\\') entry.pop_back();
      // javapath and its kind hold stubs that start whichever runtime was installed last: never a home.
      if (EndsWithIgnoreCase(entry, u"\\bin")) Consider(entry.substr(0, entry.size() - 4));
    }
  }

 private:
  void InScoop(const std::u16string& apps) {
    for (const std::u16string& app : ListSubfolders(files_, apps)) Consider(JoinPath(apps, app + u"\\current"));
  }

  bool Listed(const std::u16string& executable) const {
    return std::any_of(list_.begin(), list_.end(),
                       [&](const DetectedStarter& d) { return SameFile(files_, d.ExecutableFile, executable); });
  }

  void Consider(const std::u16string& home, const std::u16string& versionKey = {}) {
    if (home.empty()) return;
    const std::u16string gui = FullPath(files_, JoinPath(home, u"bin\\javaw.exe"));
    if (gui.empty() || !FileExists(files_, gui)) return;
    const std::u16string console = FullPath(files_, JoinPath(home, u"bin\\java.exe"));
    const bool hasConsole = FileExists(files_, console);
    const bool guiListed = Listed(gui);
    if (guiListed && (!hasConsole || Listed(console))) return;

    const auto header = ReadExecutableHeader(files_, gui);
    const auto architecture = header ? ArchitectureSuffix(header->machine) : std::nullopt;
    if (!architecture) return;
    const auto release = ReadJavaRelease(files_, home);
    const std::u16string version = HomeVersion(versions_, release, console, versionKey);
    if (version.empty()) return;
    const std::u16string label =
        VendorName(release ? std::u16string_view(release->implementor) : u"") + u" " + version + *architecture;

    if (!guiListed) Add(label + u" (GUI)", gui);
    if (hasConsole && !Listed(console)) Add(label + u" (Console)", console);
  }

  void Add(const std::u16string& name, const std::u16string& executable) {
    DetectedStarter candidate;
    candidate.Group = name;
    candidate.Name = name;
    candidate.ExecutableFile = executable;
    candidate.Arguments = kJarArguments;
    AddDetected(files_, list_, candidate);
  }

  Registry& registry_;
  Files& files_;
  Environment& environment_;
  VersionInfo& versions_;
  DetectedStarterList& list_;
};

}  // namespace

void DetectJavaHomes(Registry& registry, Files& files, Environment& environment, VersionInfo& versions,
                     DetectedStarterList& list) {
  HomeSearch search(registry, files, environment, versions, list);
  search.InRegistry();
  search.InProgramFolders();
  search.InToolFolders();
  search.InEnvironment();
}

}  // namespace tc
