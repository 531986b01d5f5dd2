// Finding registered Java runtimes, and the scan that offers them as J2SE starters.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "detect/J2seDetection.h"
#include "detect/JavaRelease.h"
#include "detect/JoinPath.h"
#include "detect/StarterScanner.h"
#include "unit/HostMachine.h"

namespace tc {
namespace {

constexpr char16_t kJre[] = u"SOFTWARE\\JavaSoft\\Java Runtime Environment";
constexpr char16_t kJdk[] = u"SOFTWARE\\JavaSoft\\Java Development Kit";

class J2seScanTest : public ::testing::Test {
 protected:
  void Register(const std::u16string& path, const std::u16string& version, const std::u16string& home,
                RegistryView view = RegistryView::Bits64) {
    RegistryKey(machine.registry, RegistryRoot::LocalMachine, path + u"\\" + version, view)
        .WriteString(u"JavaHome", home);
  }
  void Versioned(const std::u16string& home, const std::u16string& relative, const std::u16string& fullVersion) {
    machine.versions.AddFullVersion(JoinPath(home, relative), fullVersion);
  }
  DetectedStarterList Detect() {
    machine.registry.MakeReadOnly(RegistryRoot::LocalMachine, u"");  // as a user who is not elevated sees it
    DetectedStarterList list;
    DetectJ2seStarters(machine.registry, machine.versions, list);
    return list;
  }
  static std::vector<std::u16string> Names(const DetectedStarterList& list, bool mainOnly = false) {
    std::vector<std::u16string> names;
    for (const auto& d : list) {
      if (!mainOnly || d.Main) names.push_back(d.Name);
    }
    return names;
  }

  HostMachine machine;
};

TEST(JoinPath, PutsExactlyOneBackslashAtTheSeam) {
  EXPECT_EQ(JoinPath(u"C:\\Java\\jre6\\", u"bin\\javaw.exe"), u"C:\\Java\\jre6\\bin\\javaw.exe");
  EXPECT_EQ(JoinPath(u"C:\\Java\\\\", u"\\\\bin"), u"C:\\Java\\bin");
  EXPECT_EQ(JoinPath(u"", u"bin"), u"\\bin");
  EXPECT_EQ(JoinPath(u"C:", u""), u"C:\\");
}

TEST_F(J2seScanTest, FullVersionIsTheFirstTranslationsValueUpToItsDash) {
  machine.versions.AddFullVersion(u"a.exe", u"1.6.0_20-b02");
  machine.versions.AddFullVersion(u"b.exe", u"-b02");
  machine.versions.AddFullVersion(u"c.exe", u"1.7.0", 0x0407, 0x04E4);
  EXPECT_EQ(FullVersion(machine.versions, u"a.exe"), u"1.6.0_20");
  EXPECT_EQ(FullVersion(machine.versions, u"b.exe"), u"");
  EXPECT_EQ(FullVersion(machine.versions, u"c.exe"), u"1.7.0");
  EXPECT_EQ(FullVersion(machine.versions, u"missing.exe"), u"");
  machine.versions.resources[u"short.exe"].binary[u"\\VarFileInfo\\Translation"] = {0x09, 0x04};
  EXPECT_EQ(FullVersion(machine.versions, u"short.exe"), u"");
}

TEST_F(J2seScanTest, VersionLabelFallsBackToAFullVersionKey) {
  machine.versions.AddFullVersion(u"dash.exe", u"-x");
  for (const char16_t* key : {u"1.6.0_20", u"1.7.0", u"10.0.1"}) EXPECT_EQ(VersionLabel(machine.versions, u"x", key), key);
  for (const char16_t* key : {u"1.6", u"1.6.0_20-b02", u"", u"a1.6.0", u"1.6.0 "}) {
    EXPECT_EQ(VersionLabel(machine.versions, u"x", key), u"") << ToUtf8(key);
  }
  EXPECT_EQ(VersionLabel(machine.versions, u"dash.exe", u"1.5.0_06"), u"1.5.0_06");
}

TEST_F(J2seScanTest, TwoKeysForOneHomeGiveOnePairOfStarters) {
  Register(kJre, u"1.6", u"C:\\Java\\jre6");
  Register(kJre, u"1.6.0_20", u"C:\\Java\\jre6");
  Versioned(u"C:\\Java\\jre6", u"bin\\javaw.exe", u"1.6.0_20-b02");
  Versioned(u"C:\\Java\\jre6", u"bin\\java.exe", u"1.6.0_20-b02");
  const auto list = Detect();
  EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"JRE 1.6.0_20 (GUI)", u"JRE 1.6.0_20 (Console)"}));
  EXPECT_EQ(list[0].ExecutableFile, u"C:\\Java\\jre6\\bin\\javaw.exe");
  EXPECT_EQ(list[0].Arguments, u"-jar %1 %*");
  EXPECT_EQ(list[0].Group, u"JRE 1.6.0_20 (GUI)");
}

TEST_F(J2seScanTest, WithoutVersionResourcesOnlyFullVersionKeysCount) {
  Register(kJre, u"1.6", u"C:\\Java\\jre6\\");
  Register(kJre, u"1.6.0_20", u"C:\\Java\\jre6\\");
  const auto list = Detect();
  EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"JRE 1.6.0_20 (GUI)", u"JRE 1.6.0_20 (Console)"}));
  EXPECT_EQ(list[1].ExecutableFile, u"C:\\Java\\jre6\\bin\\java.exe");  // one backslash at the seam
}

TEST_F(J2seScanTest, AJreOutranksTheJdkOfItsVersion) {
  Register(kJre, u"1.6.0_20", u"C:\\jre");
  Register(kJdk, u"1.6.0_20", u"C:\\jdk");
  Register(kJdk, u"1.7.0_01", u"C:\\jdk7");  // no stand-alone JRE 7: its private JRE leads
  Register(kJdk, u"1.8", u"");                // skipped: no home
  const auto list = Detect();
  EXPECT_EQ(Names(list), (std::vector<std::u16string>{
                             u"JRE 1.6.0_20 (GUI)", u"JRE 1.6.0_20 (Console)", u"JRE in JDK 1.6.0_20 (GUI)",
                             u"JRE in JDK 1.6.0_20 (Console)", u"JDK 1.6.0_20 (GUI)", u"JDK 1.6.0_20 (Console)",
                             u"JRE in JDK 1.7.0_01 (GUI)", u"JRE in JDK 1.7.0_01 (Console)", u"JDK 1.7.0_01 (GUI)",
                             u"JDK 1.7.0_01 (Console)"}));
  EXPECT_EQ(Names(list, true), (std::vector<std::u16string>{u"JRE 1.6.0_20 (GUI)", u"JRE 1.6.0_20 (Console)",
                                                             u"JRE in JDK 1.7.0_01 (GUI)",
                                                             u"JRE in JDK 1.7.0_01 (Console)"}));
}

TEST_F(J2seScanTest, BothRegistryViewsAreRead32BitFirst) {
  Register(kJre, u"1.5.0_06", u"C:\\Old\\jre", RegistryView::Bits32);
  Register(kJre, u"1.8.0_202", u"C:\\New\\jre", RegistryView::Bits64);
  Register(kJre, u"1.8.0_202", u"C:\\New\\jre", RegistryView::Bits32);  // the same in both: listed once
  const auto list = Detect();
  EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"JRE 1.5.0_06 (GUI)", u"JRE 1.5.0_06 (Console)",
                                                       u"JRE 1.8.0_202 (GUI)", u"JRE 1.8.0_202 (Console)"}));
}

class ScanFlowTest : public J2seScanTest {
 protected:
  bool Scan() {
    J2seScanner scanner(machine.context);
    return RunScan(scanner, machine.ui, 0x42);
  }
  std::vector<std::u16string> CatalogueNames() {
    std::vector<std::u16string> names;
    StarterCatalogue& catalogue = machine.context.Catalogue();
    for (auto s = catalogue.NextStarter(StarterKind::J2se, 0); s != 0; s = catalogue.NextStarter(StarterKind::J2se, s)) {
      names.push_back(catalogue.GetStarter(StarterKind::J2se, s).name);
    }
    return names;
  }
};

TEST_F(ScanFlowTest, NothingFoundIsSaidUnderInformation) {
  EXPECT_FALSE(Scan());
  EXPECT_EQ(machine.ui.popupsShown.size(), 1u);
  ASSERT_EQ(machine.ui.messages.size(), 1u);
  EXPECT_EQ(machine.ui.messages[0].text, u"No J2SE starters are detected.");
  EXPECT_EQ(machine.ui.messages[0].caption, u"Information");
  EXPECT_EQ(machine.ui.messages[0].owner, 0x42u);
  EXPECT_TRUE(machine.ui.dialogsShown.empty());
}

TEST_F(ScanFlowTest, CheckedCandidatesGoToTheLowestFreeSlotsInListOrder) {
  Register(kJre, u"1.6.0_20", u"C:\\jre");
  StarterCatalogue& catalogue = machine.context.Catalogue();
  for (int i = 0; i < 3; ++i) catalogue.AddStarter(StarterKind::J2se);
  catalogue.DeleteStarter(StarterKind::J2se, 2);
  machine.ui.OnDialog(u"Detected J2SE Starters", [](ScriptedDialog& d) {
    // Sorted by name, so the Console starter is shown first although it was found second.
    EXPECT_EQ(d.Items(1018), (std::vector<std::u16string>{u"JRE 1.6.0_20 (Console)", u"JRE 1.6.0_20 (GUI)"}));
    EXPECT_FALSE(d.IsEnabled(1));
    d.ChooseItem(1018, 0);
    EXPECT_EQ(d.Text(1019), u"C:\\jre\\bin\\java.exe");
    EXPECT_EQ(d.Text(1020), u"-jar %1 %*");
    d.Click(1013);
    EXPECT_TRUE(d.IsEnabled(1));
    d.Click(1);
  });
  EXPECT_TRUE(Scan());
  EXPECT_EQ(CatalogueNames(), (std::vector<std::u16string>{u"", u"JRE 1.6.0_20 (GUI)", u"", u"JRE 1.6.0_20 (Console)"}));
  EXPECT_EQ(catalogue.GetStarter(StarterKind::J2se, 2).arguments, u"-jar %1 %*");
  EXPECT_TRUE(machine.ui.problems.empty());
}

TEST_F(ScanFlowTest, ExistingStartersAreHiddenUntilNonmainAreShown) {
  Register(kJre, u"1.6.0_20", u"C:\\jre");
  StarterCatalogue& catalogue = machine.context.Catalogue();
  catalogue.GetStarter(StarterKind::J2se, *catalogue.AddStarter(StarterKind::J2se)) =
      Starter{u"mine", u"C:\\JRE\\BIN\\JAVAW.EXE", u"-Xmx1g -jar %1"};
  machine.ui.OnDialog(u"Detected J2SE Starters", [](ScriptedDialog& d) {
    EXPECT_EQ(d.Items(1018), std::vector<std::u16string>{u"JRE 1.6.0_20 (Console)"});
    d.Tick(1018, 0, true);
    EXPECT_TRUE(d.IsEnabled(1));
    d.Click(1021);  // rebuilt with every candidate, and every tick lost
    EXPECT_EQ(d.Items(1018), (std::vector<std::u16string>{u"JRE 1.6.0_20 (Console)", u"JRE 1.6.0_20 (GUI)"}));
    EXPECT_FALSE(d.IsChecked(1018, 0));
    EXPECT_FALSE(d.IsEnabled(1));
    EXPECT_EQ(d.Text(1019), u"");
    d.Close();
  });
  EXPECT_FALSE(Scan());
  EXPECT_EQ(CatalogueNames(), std::vector<std::u16string>{u"mine"});
}

TEST_F(ScanFlowTest, AllCandidatesHiddenStillOpensTheDialog) {
  Register(kJre, u"1.6.0_20", u"C:\\jre");
  StarterCatalogue& catalogue = machine.context.Catalogue();
  for (const char16_t* exe : {u"C:\\jre\\bin\\javaw.exe", u"C:\\jre\\bin\\java.exe"}) {
    catalogue.GetStarter(StarterKind::J2se, *catalogue.AddStarter(StarterKind::J2se)) = Starter{u"x", exe, u""};
  }
  machine.ui.OnDialog(u"Detected J2SE Starters", [](ScriptedDialog& d) {
    EXPECT_EQ(d.ItemCount(1018), 0);
    EXPECT_FALSE(d.IsEnabled(1));
    d.Click(2);
  });
  EXPECT_FALSE(Scan());
  EXPECT_TRUE(machine.ui.ScriptDone());
}

}  // namespace
}  // namespace tc

namespace tc {
namespace {

TEST(JavaRelease, ReadsVersionAndImplementorAndRefusesWhatIsNoValue) {
  HostMachine machine;
  machine.files.AddFile(u"C:\\jdk\\release",
                        "IMPLEMENTOR=\"Eclipse Adoptium\"\r\nJAVA_VERSION=\"21.0.5\"\nOS_ARCH=\"x86_64\"\n");
  machine.files.AddFile(u"C:\\odd\\release", "JAVA_VERSION=\"17\nIMPLEMENTOR = BellSoft \n\xff\xfe=\x01");
  const auto jdk = ReadJavaRelease(machine.files, u"C:\\jdk");
  ASSERT_TRUE(jdk);
  EXPECT_EQ(jdk->version, u"21.0.5");
  EXPECT_EQ(jdk->implementor, u"Eclipse Adoptium");
  const auto odd = ReadJavaRelease(machine.files, u"C:\\odd");
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->version, u"");  // the quote never closes
  EXPECT_EQ(odd->implementor, u"BellSoft");
  EXPECT_FALSE(ReadJavaRelease(machine.files, u"C:\\missing"));
}

TEST(JavaRelease, MajorVersionTakesTheSecondNumberOfOldVersionsOnly) {
  EXPECT_EQ(JavaMajorVersion(u"1.8.0_202"), 8u);
  EXPECT_EQ(JavaMajorVersion(u"17.0.9"), 17u);
  EXPECT_EQ(JavaMajorVersion(u"21"), 21u);
  EXPECT_EQ(JavaMajorVersion(u"1"), 1u);
  EXPECT_EQ(JavaMajorVersion(u""), 0u);
  EXPECT_EQ(JavaMajorVersion(u"1."), 0u);
  EXPECT_EQ(JavaMajorVersion(u"x17"), 0u);
}

}  // namespace
}  // namespace tc
