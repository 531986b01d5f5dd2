// What the detectors ask of the file system, the environment and the Uninstall entries.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "detect/FolderSearch.h"
#include "unit/HostMachine.h"

namespace tc {
namespace {

class FolderSearchTest : public ::testing::Test {
 protected:
  HostMachine machine;
};

TEST_F(FolderSearchTest, SubfoldersAreFoldersOnlyAndNeverTheDotEntries) {
  machine.files.AddFolder(u"C:\\WTK\\wtklib\\devices\\DefaultColorPhone");
  machine.files.AddFolder(u"C:\\WTK\\wtklib\\devices\\QwertyDevice");
  machine.files.AddFile(u"C:\\WTK\\wtklib\\devices\\MediaControlSkin", "a file named like a folder");
  machine.files.AddFolder(u"C:\\WTK\\wtklib\\devices\\Hidden");
  machine.files.SetAttributes(u"C:\\WTK\\wtklib\\devices\\Hidden", attribute::kDirectory | attribute::kHidden);
  auto folders = ListSubfolders(machine.files, u"C:\\WTK\\wtklib\\devices\\");
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (std::vector<std::u16string>{u"DefaultColorPhone", u"Hidden", u"QwertyDevice"}));
  EXPECT_TRUE(ListSubfolders(machine.files, u"C:\\missing").empty());
}

TEST_F(FolderSearchTest, FilesMatchTheWildcardAndSkipFolders) {
  machine.files.AddFile(u"C:\\S60\\a.xml", "<a/>");
  machine.files.AddFile(u"C:\\S60\\b.XML", "<b/>");
  machine.files.AddFile(u"C:\\S60\\notes.txt", "x");
  machine.files.AddFolder(u"C:\\S60\\c.xml");
  auto files = ListFiles(machine.files, u"C:\\S60", u"*.xml");
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::u16string>{u"a.xml", u"b.XML"}));
}

TEST_F(FolderSearchTest, ExistenceAndFullPaths) {
  machine.files.AddFolder(u"C:\\S60\\devices\\S60_3rd_MIDP");
  EXPECT_TRUE(FileExists(machine.files, u"C:\\S60\\devices"));
  EXPECT_FALSE(FileExists(machine.files, u"C:\\S60\\devices\\none.properties"));
  EXPECT_EQ(FullPath(machine.files, u"C:\\S60\\devices\\S60_3rd_MIDP\\.."), u"C:\\S60\\devices");
}

TEST_F(FolderSearchTest, StartsWithIsExactAndNeedsTheWholePrefix) {
  EXPECT_TRUE(StartsWith(u"S60 3rd Edition SDK for MIDP", u"S60 3rd Edition SDK"));
  EXPECT_FALSE(StartsWith(u"S60 3rd Edition", u"S60 3rd Edition SDK"));
  EXPECT_FALSE(StartsWith(u"s60 3rd edition sdk", u"S60 3rd Edition SDK"));
  EXPECT_TRUE(StartsWith(u"anything", u""));
}

TEST_F(FolderSearchTest, EnvironmentReferencesExpandWithinTheBuffer) {
  machine.environment.Define(u"USERPROFILE", u"C:\\Users\\ann");
  EXPECT_EQ(ExpandEnvironment(machine.environment, u"%USERPROFILE%\\javame-sdk\\3.0\\work"),
            u"C:\\Users\\ann\\javame-sdk\\3.0\\work");
  machine.environment.Define(u"HUGE", std::u16string(5000, u'x'));
  EXPECT_EQ(ExpandEnvironment(machine.environment, u"%HUGE%\\work"), u"%HUGE%\\work");  // unchanged: no room
  EXPECT_EQ(ExpandEnvironment(machine.environment, std::u16string(5000, u'y')).size(), 4095u);
}

TEST_F(FolderSearchTest, AWalkVisitsEachFolderOnceHoweverItIsLinked) {
  // As a new Wine prefix has them, the profile's folders are one folder; and a junction leads back up to it.
  ASSERT_TRUE(machine.files.AddFolder(u"C:\\home\\games\\KEmulator\\deeper"));
  ASSERT_TRUE(machine.files.Link(u"C:\\home\\loop", u"C:\\home"));
  for (const std::u16string name : {u"Desktop", u"Downloads", u"Music"}) {
    ASSERT_TRUE(machine.files.Link(u"C:\\Users\\ann\\" + name, u"C:\\home"));
  }
  std::vector<std::u16string> visits;
  FolderWalk walk(machine.files, [&](const std::u16string& folder, int depth) {
    visits.push_back(folder + u"@" + ToDecimal(static_cast<std::uint64_t>(depth)));
    return true;
  });
  EXPECT_TRUE(walk.Walk(u"C:\\Users\\ann", 2));
  // Reached before with one level below it, the folder is walked again with two, as a root is searched.
  EXPECT_TRUE(walk.Walk(u"C:\\Users\\ann\\Downloads", 2));
  EXPECT_TRUE(walk.Walk(u"C:\\Users\\ann\\Music", 1));
  // Without an identity, the path tells.
  EXPECT_TRUE(walk.Walk(u"C:\\missing", 1));
  EXPECT_TRUE(walk.Walk(u"c:\\MISSING", 1));
  EXPECT_EQ(visits, (std::vector<std::u16string>{u"C:\\Users\\ann@0", u"C:\\Users\\ann\\Desktop@1",
                                                 u"C:\\Users\\ann\\Desktop\\games@2",
                                                 u"C:\\Users\\ann\\Downloads\\games\\KEmulator@2", u"C:\\missing@0"}));
  EXPECT_FALSE(FolderWalk(machine.files, [](const std::u16string&, int) { return false; }).Walk(u"C:\\home", 2));
}

TEST_F(FolderSearchTest, UninstallValuesReadAsEmptyWhenMissing) {
  RegistryKey(machine.registry, RegistryRoot::LocalMachine,
              std::u16string(kUninstallPath) + u"\\MOTODEV SDK", RegistryView::Bits32)
      .WriteString(u"DisplayName", u"MOTODEV SDK for Java ME v1.3");
  EXPECT_EQ(ReadUninstallValue(machine.registry, u"MOTODEV SDK", u"DisplayName", RegistryView::Bits32),
            u"MOTODEV SDK for Java ME v1.3");
  EXPECT_EQ(ReadUninstallValue(machine.registry, u"MOTODEV SDK", u"InstallLocation", RegistryView::Bits32), u"");
  EXPECT_EQ(ReadUninstallValue(machine.registry, u"MOTODEV SDK", u"DisplayName", RegistryView::Bits64), u"");
  EXPECT_EQ(ReadUninstallValue(machine.registry, u"missing", u"DisplayName"), u"");
}

}  // namespace
}  // namespace tc
