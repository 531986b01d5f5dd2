// What the SDK detectors ask of the file system and of the Uninstall entries.
#include <gtest/gtest.h>

#include <algorithm>

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
