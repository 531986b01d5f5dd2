// Finding registered Java runtimes and the Java homes on the machine, and the scan that offers them as J2SE starters.
#include <gtest/gtest.h>

#include <cstring>

#include "base/Path.h"
#include "base/Text.h"
#include "detect/J2seDetection.h"
#include "detect/J2seHomes.h"
#include "detect/JavaRelease.h"
#include "detect/StarterScanner.h"
#include "formats/ExecutableHeader.h"
#include "unit/HostMachine.h"
#include "unit/detect/SdkLayout.h"

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
    DetectJ2seStarters(machine.registry, machine.files, machine.versions, list);
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

namespace tc {
namespace {

std::vector<ExpectedStarter> Found(const DetectedStarterList& list) {
  std::vector<ExpectedStarter> found;
  for (const DetectedStarter& d : list) found.push_back({d.Name, d.ExecutableFile, d.Arguments});
  return found;
}

TEST(J2seHomes, EveryHomeIsProposedOnceWhereItIsFirstFound) {
  HostMachine machine;
  ASSERT_TRUE(LayOut(machine, TC_TEST_DATA "/sdk/j2se-homes.txt"));
  machine.registry.MakeReadOnly(RegistryRoot::LocalMachine, u"");
  J2seScanner scanner(machine.context);
  scanner.Detect();
  const std::vector<ExpectedStarter> expected = ReadExpected(TC_TEST_DATA "/sdk/j2se-expected.txt");
  ASSERT_EQ(expected.size(), 44u);
  EXPECT_EQ(Found(scanner.List()), expected);
  for (const DetectedStarter& d : scanner.List()) {
    EXPECT_TRUE(d.Main) << ToUtf8(d.Name);
    if (!d.Name.starts_with(u"JRE ")) {
      EXPECT_TRUE(d.Rank == 0 && d.Group == d.Name) << ToUtf8(d.Name);
    }
  }
}

class J2seHomesTest : public ::testing::Test {
 protected:
  void SetUp() override { machine.environment.Define(u"ProgramFiles", u"C:\\Program Files"); }
  void Home(const std::u16string& home, const std::string& release, bool console = false) {
    machine.files.AddFile(home + u"\\bin\\javaw.exe", PeHeaders(0x8664));
    if (console) machine.files.AddFile(home + u"\\bin\\java.exe", PeHeaders(0x8664));
    if (!release.empty()) machine.files.AddFile(home + u"\\release", release);
  }
  std::vector<std::u16string> Detect() {
    DetectedStarterList list;
    DetectJavaHomes(machine.registry, machine.files, machine.environment, machine.versions, list);
    std::vector<std::u16string> found;
    for (const DetectedStarter& d : list) found.push_back(d.Name + u"|" + d.ExecutableFile);
    return found;
  }
  HostMachine machine;
};

TEST_F(J2seHomesTest, OddReleaseFilesAndExecutablesGiveNoCandidate) {
  const std::u16string odd = u"C:\\Program Files\\Odd\\";
  Home(odd + u"huge", std::string(70000, '#') + "\nJAVA_VERSION=\"99\"\n");  // beyond the 64 KiB read
  constexpr char kBinary[] = "JAVA_VERSION=\"\x01\xff\xfe\"\nIMPLEMENTOR=\"\x80\"\n\0\0";
  Home(odd + u"binary", std::string(kBinary, sizeof kBinary - 1));
  Home(odd + u"nokeys", "OS_NAME=\"Windows\"\n");
  Home(odd + u"unbalanced", "JAVA_VERSION=\"17\nIMPLEMENTOR=\"Oracle Corporation\n");
  const std::string good = "JAVA_VERSION=\"17\"\n";
  Home(odd + u"text", good);
  machine.files.AddFile(odd + u"text\\bin\\javaw.exe", "MZ but not a program");
  Home(odd + u"truncated", good);
  std::vector<std::uint8_t> truncated = PeHeaders(0x8664);
  truncated.resize(0x44);  // ends inside the PE signature's header
  machine.files.AddFile(odd + u"truncated\\bin\\javaw.exe", truncated);
  Home(odd + u"far", good);
  std::vector<std::uint8_t> far = PeHeaders(0x8664);
  far[0x3C] = far[0x3D] = far[0x3E] = far[0x3F] = 0xFF;
  machine.files.AddFile(odd + u"far\\bin\\javaw.exe", far);
  Home(odd + u"arm32", good);
  machine.files.AddFile(odd + u"arm32\\bin\\javaw.exe", PeHeaders(0x01C4));
  machine.files.AddFolder(odd + u"folder\\bin\\javaw.exe");
  EXPECT_EQ(Detect(), std::vector<std::u16string>{});
  EXPECT_EQ(ReadExecutableHeader(machine.files, odd + u"arm32\\bin\\javaw.exe")->machine, 0x01C4);
}

TEST_F(J2seHomesTest, OddRegistryValuesAndVariablesAreReadSafely) {
  const std::u16string zulu = u"SOFTWARE\\Azul Systems\\Zulu";
  RegistryKey(machine.registry, RegistryRoot::LocalMachine, zulu + u"\\1.0", RegistryView::Bits64)
      .WriteNumber(u"InstallationPath", 7);
  const auto key = machine.registry.Create(RegistryRoot::LocalMachine, zulu + u"\\17.0.9", kKeyWrite,
                                           RegistryView::Bits64);
  ASSERT_TRUE(key);
  const std::u16string unterminated = u"C:\\Zulu";
  RegistryValue value{RegistryType::String, std::vector<std::uint8_t>(unterminated.size() * 2 + 1, 'x')};
  std::memcpy(value.data.data(), unterminated.data(), unterminated.size() * 2);  // and an odd byte after it
  machine.registry.SetValue(*key, u"InstallationPath", value);
  machine.registry.Close(*key);
  // REG_EXPAND_SZ is expanded, REG_SZ taken as it is: "%odd%" is a folder's name there.
  machine.environment.Define(u"SystemDrive", u"C:");
  machine.environment.Define(u"odd", u"Zulu");
  for (const auto& [version, type, text] : {std::tuple{u"11.0.1", RegistryType::ExpandString, u"%SystemDrive%\\Zulu11"},
                                            std::tuple{u"8.0.1", RegistryType::String, u"C:\\%odd%"}}) {
    const auto expandable = machine.registry.Create(RegistryRoot::LocalMachine, zulu + u"\\" + version, kKeyWrite,
                                                    RegistryView::Bits64);
    const std::u16string path(text);
    RegistryValue data{type, std::vector<std::uint8_t>((path.size() + 1) * 2, 0)};
    std::memcpy(data.data.data(), path.data(), path.size() * 2);
    machine.registry.SetValue(*expandable, u"InstallationPath", data);
    machine.registry.Close(*expandable);
  }
  Home(u"C:\\Zulu11", "");
  Home(u"C:\\%odd%", "");
  Home(u"C:\\Zulu", "");  // no release, no java.exe: named from the key
  Home(u"C:\\Jdk", "IMPLEMENTOR=\"" + std::string(200, 'x') + "\"\n", true);
  machine.versions.AddFullVersion(u"C:\\Jdk\\bin\\java.exe", u"21.0.1+12-LTS");
  Home(u"C:\\OnPath", "JAVA_VERSION=\"11.0.2\"\nIMPLEMENTOR=\"Red Hat, Inc.\"");
  machine.environment.Define(u"JAVA_HOME", u"\"C:\\Jdk\"");
  machine.environment.Define(u"PATH", u";;\"C:\\OnPath\\bin\\\";C:\\Zulu\\bin;;");
  EXPECT_EQ(Detect(), (std::vector<std::u16string>{
                          u"Java 11.0.1 (GUI)|C:\\Zulu11\\bin\\javaw.exe",
                          u"Java 17.0.9 (GUI)|C:\\Zulu\\bin\\javaw.exe",
                          u"Java 8.0.1 (GUI)|C:\\%odd%\\bin\\javaw.exe",
                          u"Java 21.0.1 (GUI)|C:\\Jdk\\bin\\javaw.exe",
                          u"Java 21.0.1 (Console)|C:\\Jdk\\bin\\java.exe",
                          u"Red Hat 11.0.2 (GUI)|C:\\OnPath\\bin\\javaw.exe",
                      }));
  machine.environment.Define(u"PATH", u"");
  machine.environment.Define(u"JAVA_HOME", u"\"\"");
  EXPECT_EQ(Detect().size(), 3u);
}

TEST_F(J2seHomesTest, AHomeReachedUnderSeveralNamesIsProposedOnce) {
  const std::u16string jdk = u"C:\\Program Files\\Java\\jdk-21";
  Home(jdk, "JAVA_VERSION=\"21.0.2\"\n", true);
  // A junction that tools make to the current version, and PATH through it in another spelling.
  ASSERT_TRUE(machine.files.Link(u"C:\\Program Files\\Java\\latest", jdk));
  machine.environment.Define(u"PATH", u"C:\\PROGRAM FILES\\JAVA\\LATEST\\bin");
  EXPECT_EQ(Detect(), (std::vector<std::u16string>{u"Java 21.0.2 (GUI)|" + jdk + u"\\bin\\javaw.exe",
                                                   u"Java 21.0.2 (Console)|" + jdk + u"\\bin\\java.exe"}));
}

}  // namespace
}  // namespace tc
