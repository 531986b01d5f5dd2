// Opening a descriptor: the checks against its archive, each failure's message, and the three answers to a
// wrong declared size.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "catalogue/FileOptions.h"
#include "launch/ArchiveAddress.h"
#include "launch/OpenDescriptor.h"
#include "ui/ControlIds.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

const std::u16string kEmulator = u"C:\\WTK\\bin\\emulator.exe";
const std::u16string kJad = u"C:\\s\\app.jad";
const std::u16string kJar = u"C:\\s\\app.jar";
const std::string kTwelveBytes = "PK-12-bytes!";

std::string Jad(const std::string& size, const std::string& url = "app.jar", const std::string& eol = "\r\n") {
  return "MIDlet-Name: Demo" + eol + "MIDlet-Jar-Size: " + size + eol + "MIDlet-Jar-URL: " + url + eol +
         "MIDlet-1: Demo, , demo.Main" + eol;
}

std::u16string EmulatorLine(const std::u16string& jad, const std::u16string& jar) {
  return u"\"" + kEmulator + u"\" -Xdescriptor:\"" + jad + u"\" -jar \"" + jar + u"\"";
}

class OpenDescriptorTest : public LaunchMachine {
 protected:
  void SetUp() override {
    Store(StarterKind::J2me, 1, u"Emulator", kEmulator, u"-Xdescriptor:%1 -jar %2 %*");
    Store(StarterKind::J2me, 2, u"Other", u"C:\\other.exe", u"%1");
    StoreActions(StarterKind::J2me, 1, 0);
    machine.files.AddFile(kJar, kTwelveBytes);
  }
  bool Open(const std::u16string& descriptor = kJad, bool useDefaultAction = true,
            const std::u16string& externalArguments = u"") {
    return OpenDescriptor(machine.context, descriptor, useDefaultAction, externalArguments);
  }
  // The user answers the size dialog by pressing one of its buttons, after reading what it says.
  void AnswerSizeDialog(int button) {
    machine.ui.OnDialog(u"Tessaly Corvalo", [this, button](ScriptedDialog& d) {
      sizeText = d.Text(IDC_SIZE_MISMATCH_TEXT);
      d.Click(button);
    });
  }
  std::u16string sizeText;
};

TEST_F(OpenDescriptorTest, AMatchingSizeStartsWithoutAskingOrWriting) {
  // Read-only, so that any write would fail.
  machine.files.AddFile(kJad, Jad("12"), attribute::kReadOnly);
  EXPECT_TRUE(Open(kJad, true, u"-v \"a b\""));
  EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{EmulatorLine(kJad, kJar) + u" -v \"a b\""});
  EXPECT_TRUE(machine.ui.dialogsShown.empty());
  ExpectLaunchErrors({});
  EXPECT_EQ(Content(kJad), Jad("12"));
  EXPECT_EQ(StoredLastAction(StarterKind::J2me), 1u);

  // The file's own starter, screen and arguments.
  Store(StarterKind::J2me, 3, u"KEmulator", u"C:\\KEmulator\\KEmulator.exe", u"-jad %1 -screen %Wx%H %*");
  FileOptions options;
  options = {3, RunsIn::Console, Scaling::ByWindows, 512, u"-Dx", u"-v", 176, 208};  // J2SE's are not used
  ASSERT_EQ(WriteFileOptions(machine.registry, kJad, options), OptionsWrite::Written);
  machine.context.Catalogue().Load();
  EXPECT_TRUE(Open(kJad, true, u"x"));
  EXPECT_EQ(machine.processes.started.back(), u"\"C:\\KEmulator\\KEmulator.exe\" -jad \"" + kJad + u"\" -screen 176x208 -v x");
  EXPECT_TRUE(machine.processes.environments.back().empty());
}

TEST_F(OpenDescriptorTest, EachFailureSaysWhatIsWrongAndChangesNothing) {
  struct Case {
    const char* what;
    std::string descriptor;
    std::function<void(MemoryFiles&)> arrange;
    std::u16string message;
  };
  const auto none = [](MemoryFiles&) {};
  // Without the archive beside the descriptor under its own name, where a lost address is looked for last.
  const auto moved = [](MemoryFiles& f) { f.RemoveFile(kJar); };
  const Case cases[] = {
      {"descriptor missing", "", none, u"File \"C:\\s\\app.jad\" read error."},
      {"descriptor over a million bytes", Jad("12") + std::string(1'000'000, '#'), none,
       u"File \"C:\\s\\app.jad\" read error."},
      {"descriptor unreadable", Jad("12"), [](MemoryFiles& f) { f.SetFault(kJad, FileFault::ReadFails); },
       u"File \"C:\\s\\app.jad\" read error."},
      {"no size", "MIDlet-Jar-URL: app.jar\r\n", none,
       u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file."},
      {"blank size", "MIDlet-Jar-Size:   \t\r\nMIDlet-Jar-URL: app.jar\r\n", none,
       u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file."},
      {"no blank after the colon", "MIDlet-Jar-Size:12\r\nMIDlet-Jar-URL:app.jar\r\n", none,
       u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file."},
      {"byte-order mark before the size", "\xEF\xBB\xBFMIDlet-Jar-Size: 12\r\nMIDlet-Jar-URL: app.jar\r\n", none,
       u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file."},
      {"no address", "MIDlet-Jar-Size: 12\r\n", none, u"No \"MIDlet-Jar-URL\" attribute is defined in the JAD file."},
      {"blank address", "MIDlet-Jar-Size: 12\r\nMIDlet-Jar-URL:  \r\n", none,
       u"No \"MIDlet-Jar-URL\" attribute is defined in the JAD file."},
      {"archive missing", Jad("12", "gone.jar"), moved, u"File \"C:\\s\\gone.jar\" read error."},
      {"archive is a folder", Jad("12", "lib"),
       [](MemoryFiles& f) {
         f.RemoveFile(kJar);
         f.AddFolder(u"C:\\s\\lib");
       },
       u"File \"C:\\s\\lib\" read error."},
      {"web address", Jad("12", "http://example.com/app.jar"), moved,
       u"File \"C:\\s\\http://example.com/app.jar\" read error."},
      {"file address to nowhere", Jad("12", "file:///C:/gone.jar"), moved,
       u"File \"C:\\s\\file:///C:/gone.jar\" read error."},
      {"archive locked", Jad("12"), [](MemoryFiles& f) { f.SetFault(kJar, FileFault::Locked); },
       u"File \"C:\\s\\app.jar\" read error."},
      {"archive size unavailable", Jad("12"), [](MemoryFiles& f) { f.SetFault(kJar, FileFault::SizeFails); },
       u"Invalid JAR file size."},
  };
  for (const Case& c : cases) {
    HostMachine local;
    local.files.AddFile(kJar, kTwelveBytes);
    if (!c.descriptor.empty()) local.files.AddFile(kJad, c.descriptor);
    c.arrange(local.files);
    EXPECT_FALSE(OpenDescriptor(local.context, kJad, true, u"")) << c.what;
    ExpectLaunchErrorsIn(local.ui, {c.message});
    EXPECT_TRUE(local.processes.started.empty()) << c.what;
    EXPECT_TRUE(local.ui.dialogsShown.empty()) << c.what;
    if (!c.descriptor.empty()) {
      const auto bytes = local.files.ReadBack(kJad);
      EXPECT_EQ(std::string(bytes->begin(), bytes->end()), c.descriptor) << c.what;
    }
    EXPECT_EQ(local.files.OpenReaders(), 0) << c.what;
  }
}

TEST_F(OpenDescriptorTest, TheDeclaredSizeIsItsLeadingNumber) {
  struct Case {
    std::string declared;
    std::size_t archiveSize;
    std::u16string shown;  // empty: the sizes are equal and no dialog opens
  };
  const Case cases[] = {
      {"12abc", 12, u""},
      {"+12", 12, u""},
      {"0012", 12, u""},
      {"0", 0, u""},
      {"abc", 0, u""},
      {"12abc", 13, u"12"},
      {"abc", 12, u"0"},
      {"-1", 12, u"4294967295"},
      {"4294967308", 12, u"4294967295"},  // more than 32 bits is no match for 12 bytes
  };
  for (const Case& c : cases) {
    HostMachine local;
    local.files.AddFile(kJad, Jad(c.declared));
    local.files.AddFile(kJar, std::string(c.archiveSize, 'j'));
    std::u16string text;
    if (!c.shown.empty()) {
      local.ui.OnDialog(u"Tessaly Corvalo", [&](ScriptedDialog& d) {
        text = d.Text(IDC_SIZE_MISMATCH_TEXT);
        d.Click(kIdCancel);
      });
    }
    local.ui.OnDialog(u"Tessaly Corvalo Setup", [](ScriptedDialog& d) { d.Click(kIdCancel); });
    OpenDescriptor(local.context, kJad, true, u"");
    const auto& shown = local.ui.dialogsShown;
    EXPECT_EQ(std::count(shown.begin(), shown.end(), u"Tessaly Corvalo"), c.shown.empty() ? 0 : 1) << c.declared;
    if (!c.shown.empty()) {
      EXPECT_NE(text.find(u"The JAR file size is " + ToDecimal(c.archiveSize) + u" bytes."), std::u16string::npos);
      EXPECT_NE(text.find(u"attribute is " + c.shown + u" bytes"), std::u16string::npos) << c.declared;
    }
  }
}

TEST_F(OpenDescriptorTest, TheArchiveIsFoundFromTheDescriptorsFolder) {
  struct Case {
    std::u16string descriptor;
    std::string url;
    std::u16string archive;
  };
  const Case cases[] = {
      {u"C:\\s\\j\\app.jad", "..\\lib\\app.jar", u"C:\\s\\lib\\app.jar"},
      {u"C:\\s\\app.jad", "D:\\other\\app.jar", u"D:\\other\\app.jar"},
      {u"C:\\s\\app.jad", ".\\sub\\app.jar", u"C:\\s\\sub\\app.jar"},
      {u"C:\\s\\app.jad", "\\top.jar", u"C:\\top.jar"},
      {u"C:\\s\\My Games\\\u00e9\u4e2d.jad", "\u00e9\u4e2d.jar", u"C:\\s\\My Games\\\u00e9\u4e2d.jar"},
      // Without a folder, the address is used as it is, relative to the current folder.
      {u"app.jad", "app.jar", u"app.jar"},
  };
  machine.files.AddFolder(u"C:\\work");
  machine.files.SetCurrentFolder(u"C:\\work");
  for (const Case& c : cases) {
    machine.processes.started.clear();
    const std::u16string descriptor = c.descriptor;
    machine.files.AddFile(descriptor, Jad("12", c.url));
    machine.files.AddFile(c.archive, kTwelveBytes);
    EXPECT_TRUE(Open(descriptor)) << ToUtf8(c.descriptor);
    EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{EmulatorLine(descriptor, c.archive)});
  }
  ExpectLaunchErrors({});
}

TEST_F(OpenDescriptorTest, CancellingTheSizeDialogWritesNothing) {
  for (const bool close : {false, true}) {
    HostMachine local;
    local.files.AddFile(kJad, Jad("999"));
    local.files.AddFile(kJar, kTwelveBytes);
    local.ui.OnDialog(u"Tessaly Corvalo", [close](ScriptedDialog& d) { close ? d.Close() : d.Click(kIdCancel); });
    EXPECT_FALSE(OpenDescriptor(local.context, kJad, true, u""));
    const auto bytes = local.files.ReadBack(kJad);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), Jad("999"));
    EXPECT_FALSE(local.files.Attributes(kTemporaryJad));
    EXPECT_FALSE(local.files.Attributes(kTemporaryJar));
    EXPECT_TRUE(local.processes.started.empty());
    EXPECT_TRUE(local.ui.messages.empty());
  }
}

TEST_F(OpenDescriptorTest, CorrectingRewritesOnlyTheSizeLine) {
  // CR LF endings, a comment, a line that is not UTF-8, a last line without an ending.
  const std::string before =
      "# made by hand\r\nMIDlet-Name: D\xE9mo\r\nmidlet-jar-size: 999\r\nMIDlet-Jar-URL: app.jar\n"
      "MIDlet-Jar-Size: 7\r\nMIDlet-1: Demo, , demo.Main";
  const std::string after =
      "# made by hand\r\nMIDlet-Name: D\xE9mo\r\nMIDlet-Jar-Size: 12\r\nMIDlet-Jar-URL: app.jar\n"
      "MIDlet-Jar-Size: 7\r\nMIDlet-1: Demo, , demo.Main";
  machine.files.AddFile(kJad, before);
  AnswerSizeDialog(kIdOk);
  EXPECT_TRUE(Open());
  EXPECT_NE(sizeText.find(u"The JAR file size is 12 bytes."), std::u16string::npos);
  EXPECT_NE(sizeText.find(u"attribute is 999 bytes"), std::u16string::npos);
  EXPECT_EQ(Content(kJad), after);
  EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{EmulatorLine(kJad, kJar)});
  EXPECT_FALSE(machine.files.Attributes(kTemporaryJad));
  ExpectScriptFollowed();
  ExpectLaunchErrors({});
}

TEST_F(OpenDescriptorTest, ADescriptorThatCantBeCorrectedStaysAsItWas) {
  for (const bool readOnly : {true, false}) {
    HostMachine local;
    local.files.AddFile(kJad, Jad("999"), readOnly ? attribute::kReadOnly : attribute::kArchive);
    local.files.AddFile(kJar, kTwelveBytes);
    if (!readOnly) local.files.FailWritesAfter(5);  // a disk that fills up half way
    local.ui.OnDialog(u"Tessaly Corvalo", [](ScriptedDialog& d) { d.Click(kIdOk); });
    EXPECT_FALSE(OpenDescriptor(local.context, kJad, false, u""));
    ExpectLaunchErrorsIn(local.ui, {u"File \"C:\\s\\app.jad\" write error."});
    const auto bytes = local.files.ReadBack(kJad);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), Jad("999"));
    EXPECT_TRUE(local.files.Find(kJad + u".tc-*").empty()) << "nothing is left beside the descriptor";
    EXPECT_TRUE(local.processes.started.empty());
  }
}

TEST_F(OpenDescriptorTest, TemporaryCopiesLeaveTheUsersFilesAlone) {
  machine.files.AddFile(kJad, Jad("999", "app.jar", "\n"), attribute::kReadOnly);
  machine.files.AddFile(kTemporaryJad, "an older descriptor");
  AnswerSizeDialog(IDB_TEMPORARY_JAD);
  EXPECT_TRUE(Open(kJad, true, u"x"));
  EXPECT_EQ(Content(kJad), Jad("999", "app.jar", "\n"));
  EXPECT_EQ(Content(kJar), kTwelveBytes);
  EXPECT_EQ(Content(kTemporaryJad), Jad("12", "qvo_temp.jar", "\n"));
  EXPECT_EQ(Content(kTemporaryJar), kTwelveBytes);
  EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{EmulatorLine(kTemporaryJad, kTemporaryJar) + u" x"});
  ExpectScriptFollowed();
  ExpectLaunchErrors({});
}

TEST_F(OpenDescriptorTest, TemporaryCopiesThatFailSayWhich) {
  struct Case {
    std::function<void(MemoryFiles&)> arrange;
    std::u16string message;
  };
  const Case cases[] = {
      {[](MemoryFiles& f) { f.AddFile(kTemporaryJad, "old", attribute::kReadOnly); },
       u"File \"" + kTemporaryJad + u"\" write error."},
      {[](MemoryFiles& f) {
         f.AddFile(kTemporaryJar, "held by an emulator");
         f.SetFault(kTemporaryJar, FileFault::Locked);
       },
       u"File \"C:\\s\\app.jar\" copy error."},
  };
  for (const Case& c : cases) {
    HostMachine local;
    local.files.AddFile(kJad, Jad("999"));
    local.files.AddFile(kJar, kTwelveBytes);
    c.arrange(local.files);
    local.ui.OnDialog(u"Tessaly Corvalo", [](ScriptedDialog& d) { d.Click(IDB_TEMPORARY_JAD); });
    EXPECT_FALSE(OpenDescriptor(local.context, kJad, true, u""));
    ExpectLaunchErrorsIn(local.ui, {c.message});
    EXPECT_TRUE(local.processes.started.empty());
    const auto bytes = local.files.ReadBack(kJad);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), Jad("999"));
  }
}

TEST(ArchiveAddressTest, AddressesAreReadAsDownloadSitesWriteThem) {
  EXPECT_TRUE(HasScheme(u"http://x/a.jar") && HasScheme(u"svn+ssh://x"));
  EXPECT_FALSE(HasScheme(u"C:\\a.jar") || HasScheme(u"c:/a.jar") || HasScheme(u"1x:y"));
  using Cases = std::pair<std::u16string, std::optional<std::u16string>>[];
  for (const auto& [url, path] : Cases{
           {u"FILE:///C:/a%20b/%C3%A9.jar?v=1", u"C:\\a b\\\u00e9.jar"},
           {u"file:///C:/x%zz%4%00%FF.jar", u"C:\\x%zz%4%00%FF.jar"},  // broken, NUL and no UTF-8: as written
           {u"file://server/share/x.jar", std::nullopt},  // no network path from a downloaded descriptor
           {u"file:///%5C%5Cserver/x.jar", std::nullopt},
       }) {
    EXPECT_EQ(FileUrlPath(url), path) << ToUtf8(url);
  }
  for (const auto& [url, name] : Cases{
           {u"http://x/get/Game%20v2.jar?id=7#x", u"Game v2.jar"},
           {u"http://x/dir/", std::nullopt},
           {u"http://x/..%5C..%5Cwin.jar", std::nullopt},  // an escaped separator can't leave the folder
           {u"http://x/" + std::u16string(40000, u'a'), std::nullopt},
       }) {
    EXPECT_EQ(LastSegmentName(url), name) << ToUtf8(url.substr(0, 40));
  }
}

TEST_F(OpenDescriptorTest, AnArchiveFoundElsewhereStartsFromTheTemporaryPairWithoutAsking) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"http://dl.example.com/get/app.jar?id=7", kJar},
      {"file:///C:/My%20Games/g%C3%A9.jar", u"C:\\My Games\\g\u00e9.jar"},
      {"Game_v1.2.jar", kJar},  // renamed since: the descriptor's own name
      {"http://x/..%5Cother%5Capp.jar", kJar},
  };
  for (const auto& [url, archive] : cases) {
    HostMachine local;
    StoreStarter(local.registry, StarterKind::J2me, 1, u"Emulator", kEmulator, u"-Xdescriptor:%1 -jar %2 %*");
    tc::StoreActions(local.registry, StarterKind::J2me, 1, 0);
    local.files.AddFile(u"C:\\other\\app.jar", "not this one");
    local.files.AddFile(kJad, Jad("999", url), attribute::kReadOnly);  // any write to it would fail
    local.files.AddFile(archive, kTwelveBytes);
    EXPECT_TRUE(OpenDescriptor(local.context, kJad, true, u"")) << url;
    EXPECT_TRUE(local.ui.dialogsShown.empty()) << url;
    EXPECT_EQ(local.processes.started, std::vector<std::u16string>{EmulatorLine(kTemporaryJad, kTemporaryJar)});
    const auto jad = local.files.ReadBack(kTemporaryJad);
    EXPECT_EQ(std::string(jad->begin(), jad->end()), Jad("12", "qvo_temp.jar")) << url;
    EXPECT_EQ(local.files.ReadBack(kTemporaryJar)->size(), kTwelveBytes.size()) << url;
  }
}

TEST_F(OpenDescriptorTest, TheStartFailingStillRemembersTheStarter) {
  machine.files.AddFile(kJad, Jad("12"));
  machine.processes.succeed = false;
  EXPECT_FALSE(Open());
  EXPECT_EQ(machine.processes.started.size(), 1u);
  EXPECT_EQ(StoredLastAction(StarterKind::J2me), 1u);
  ExpectLaunchErrors({});
}

// The choice of the starter, through the setup and selection dialogs.

class OpenDescriptorChoiceTest : public OpenDescriptorTest {};

TEST_F(OpenDescriptorChoiceTest, WithoutStartersTheSizeIsDealtWithFirst) {
  HostMachine local;
  local.files.AddFile(kJad, Jad("999"));
  local.files.AddFile(kJar, kTwelveBytes);
  local.ui.OnDialog(u"Tessaly Corvalo", [](ScriptedDialog& d) { d.Click(kIdOk); });
  local.ui.OnDialog(u"Tessaly Corvalo Setup", [](ScriptedDialog& d) { d.Click(kIdCancel); });
  EXPECT_FALSE(OpenDescriptor(local.context, kJad, true, u""));
  EXPECT_EQ(local.ui.dialogsShown, (std::vector<std::u16string>{u"Tessaly Corvalo", u"Tessaly Corvalo Setup"}));
  ExpectLaunchErrorsIn(local.ui, {u"No J2ME starters are defined."});
  const auto bytes = local.files.ReadBack(kJad);
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), Jad("12"));  // the correction stays
  EXPECT_TRUE(local.processes.started.empty());
}

TEST_F(OpenDescriptorChoiceTest, TheUserChoosesWhenAskedTo) {
  machine.files.AddFile(kJad, Jad("12"));
  machine.ui.SetActiveWindow(0x77);
  machine.ui.OnDialog(u"J2ME Starter Select", ChooseStarterNamed(u"Other"));
  EXPECT_TRUE(Open(kJad, false));  // "/select": asked although a starter is fixed
  EXPECT_EQ(machine.ui.dialogsShown, std::vector<std::u16string>{u"J2ME Starter Select"});
  EXPECT_EQ(machine.ui.dialogOwners, std::vector<WindowId>{0x77});
  EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{u"\"C:\\other.exe\" \"" + kJad + u"\""});
  EXPECT_EQ(StoredLastAction(StarterKind::J2me), 2u);
  ExpectScriptFollowed();
}

TEST_F(OpenDescriptorChoiceTest, CancellingTheChoiceStartsNothing) {
  machine.files.AddFile(kJad, Jad("12"));
  machine.ui.OnDialog(u"J2ME Starter Select", [](ScriptedDialog& d) { d.Click(kIdCancel); });
  EXPECT_FALSE(Open(kJad, false));
  EXPECT_EQ(machine.ui.dialogsShown, std::vector<std::u16string>{u"J2ME Starter Select"});
  EXPECT_TRUE(machine.processes.started.empty());
  EXPECT_EQ(StoredLastAction(StarterKind::J2me), 0u);
  ExpectLaunchErrors({});
}

}  // namespace
}  // namespace tc
