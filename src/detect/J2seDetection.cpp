// Finding the Java runtimes and development kits registered on the machine.
#include "detect/J2seDetection.h"

#include "base/Path.h"
#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "detect/JavaRelease.h"

namespace tc {

namespace {

constexpr char16_t kRuntimes[] = u"SOFTWARE\\JavaSoft\\Java Runtime Environment";
constexpr char16_t kDevelopmentKits[] = u"SOFTWARE\\JavaSoft\\Java Development Kit";

struct CandidateRow {
  const char16_t* executable;
  const char16_t* nameFormat;
  const char16_t* groupFormat;
  std::int32_t rank;
};

constexpr CandidateRow kRuntimeRows[] = {
    {u"bin\\javaw.exe", u"JRE %s (GUI)", u"JRE %s (GUI)", 1},
    {u"bin\\java.exe", u"JRE %s (Console)", u"JRE %s (Console)", 1},
};

constexpr CandidateRow kDevelopmentKitRows[] = {
    {u"jre\\bin\\javaw.exe", u"JRE in JDK %s (GUI)", u"JRE %s (GUI)", 0},
    {u"jre\\bin\\java.exe", u"JRE in JDK %s (Console)", u"JRE %s (Console)", 0},
    {u"bin\\javaw.exe", u"JDK %s (GUI)", u"JRE %s (GUI)", -1},
    {u"bin\\java.exe", u"JDK %s (Console)", u"JRE %s (Console)", -1},
};

template <size_t N>
void ScanKey(Registry& registry, Files& files, VersionInfo& versions, DetectedStarterList& list,
             const std::u16string& path, const CandidateRow (&rows)[N]) {
  // Old kits registered themselves in the 32-bit view, today's in the 64-bit one; the list drops duplicates.
  for (RegistryView view : {RegistryView::Bits32, RegistryView::Bits64}) {
    for (const std::u16string& key : ListSubkeys(registry, RegistryRoot::LocalMachine, path, view)) {
      const std::u16string home =
          ReadStringAt(registry, RegistryRoot::LocalMachine, path + u"\\" + key, u"JavaHome", view);
      if (home.empty()) continue;
      for (const CandidateRow& row : rows) {
        AddJavaCandidate(files, versions, list, row.groupFormat, row.rank, row.nameFormat,
                         JoinPath(home, row.executable), key);
      }
    }
  }
}

}  // namespace

void AddJavaCandidate(Files& files, VersionInfo& versions, DetectedStarterList& list, std::u16string_view groupFormat,
                      std::int32_t rank, std::u16string_view nameFormat, const std::u16string& executable,
                      const std::u16string& key) {
  const std::u16string label = VersionLabel(versions, executable, key);
  if (label.empty()) return;
  DetectedStarter candidate;
  candidate.Group = Format(groupFormat, {std::u16string_view(label)});
  candidate.Rank = rank;
  candidate.Name = Format(nameFormat, {std::u16string_view(label)});
  candidate.ExecutableFile = executable;
  candidate.Arguments = kJarArguments;
  AddDetected(files, list, candidate);
}

void DetectJ2seStarters(Registry& registry, Files& files, VersionInfo& versions, DetectedStarterList& list) {
  ScanKey(registry, files, versions, list, kRuntimes, kRuntimeRows);
  ScanKey(registry, files, versions, list, kDevelopmentKits, kDevelopmentKitRows);
}

}  // namespace tc
