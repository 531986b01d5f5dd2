// The command line: tokens as the shell writes them, and the form each command line takes.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "base/Text.h"
#include "catalogue/FileOptions.h"
#include "ui/ControlIds.h"
#include "unit/HostMachine.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

using Tokens = std::vector<std::u16string>;

TEST(TokenizeCommandLine, SplitsAsWritten) {
  struct Case {
    std::u16string text;
    Tokens tokens;
  };
  const Case cases[] = {
      {u"", {}},
      {u" \t\r\n\x01\x1F ", {}},
      {u"a.jar", {u"a.jar"}},
      {u"a.jar   b\t\tc", {u"a.jar", u"b", u"c"}},
      {u"\"C:\\My Games\\x.jad\" -v", {u"\"C:\\My Games\\x.jad\"", u"-v"}},
      {u"\"quoted\"tail", {u"\"quoted\"", u"tail"}},           // a quoted part ends its token
      {u"in\"side\" x", {u"in\"side\"", u"x"}},                // a quote inside a run is ordinary
      {u"\"\"", {u"\"\""}},
      {u"/select \"a b.jar\" \"x y\" z", {u"/select", u"\"a b.jar\"", u"\"x y\"", u"z"}},
      {u"caf\u00e9.jar \u4e2d", {u"caf\u00e9.jar", u"\u4e2d"}},
  };
  for (const Case& c : cases) {
    const auto tokens = TokenizeCommandLine(c.text);
    ASSERT_TRUE(tokens.has_value());
    EXPECT_EQ(*tokens, c.tokens);
  }
}

TEST(TokenizeCommandLine, FailsOnAnUnclosedQuote) {
  for (const char16_t* text : {u"\"", u"\"C:\\a b.jar", u"a.jar \"b", u"\"a\" \"", u"x\"y \"z"}) {
    EXPECT_FALSE(TokenizeCommandLine(text).has_value());
  }
}

TEST(JoinTokens, JoinsTheRestWithSingleSpaces) {
  const Tokens tokens{u"a.jar", u"\"x y\"", u"b"};
  EXPECT_EQ(JoinTokens(tokens, 1), u"\"x y\" b");
  EXPECT_EQ(JoinTokens(tokens, 0), u"a.jar \"x y\" b");
  EXPECT_EQ(JoinTokens(tokens, 3), u"");
  EXPECT_EQ(JoinTokens(tokens, 9), u"");
}

class RunCommandLineTest : public ::testing::Test {
 protected:
  int Run(std::u16string_view text) { return RunCommandLine(machine.context, text); }
  std::vector<std::u16string> MessageTexts() const {
    std::vector<std::u16string> texts;
    for (const auto& message : machine.ui.messages) texts.push_back(message.text);
    return texts;
  }
  HostMachine machine;
};

TEST_F(RunCommandLineTest, AnUnclosedQuoteIsAParameterError) {
  EXPECT_EQ(Run(u"\"C:\\a b.jar"), 1);
  ASSERT_EQ(machine.ui.messages.size(), 1u);
  const auto& message = machine.ui.messages[0];
  EXPECT_EQ(message.text, u"Command line parameter error.");
  EXPECT_EQ(message.caption, u"Tessaly Corvalo");
  EXPECT_EQ(message.icon, MessageIcon::Error);
  EXPECT_EQ(message.owner, kNoWindow);
  EXPECT_TRUE(machine.ui.fileRequests.empty());
}

TEST_F(RunCommandLineTest, MalformedQuotedFileIsAFileNameError) {
  for (const char16_t* text : {u"\"\"", u"/select \"\" x", u"/options \"\""}) {
    machine.ui.messages.clear();
    EXPECT_EQ(Run(text), 1);
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"File name error."});
  }
}

TEST_F(RunCommandLineTest, NoFileOpensTheFileDialog) {
  for (const char16_t* text : {u"", u"   \t"}) {
    machine.ui.fileRequests.clear();
    EXPECT_EQ(Run(text), 1);  // cancelled
    ASSERT_EQ(machine.ui.fileRequests.size(), 1u);
    const OpenFileRequest& request = machine.ui.fileRequests[0];
    EXPECT_EQ(request.owner, kNoWindow);
    EXPECT_EQ(request.title, u"Select a JAR or JAD File");
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].name, u"JAR and JAR Files (*.jar;*.jad)");
    EXPECT_EQ(request.filters[0].pattern, u"*.jar;*.jad");
    EXPECT_EQ(request.filters[1].name, u"All Files");
    EXPECT_EQ(request.filters[1].pattern, u"*.*");
    EXPECT_EQ(request.bufferLength, 8192u);
    EXPECT_EQ(request.initialName, u"");
    EXPECT_EQ(request.flags, 0x180Cu);
  }
  EXPECT_TRUE(machine.ui.messages.empty());
}

TEST_F(RunCommandLineTest, SetupAloneShowsTheSetupDialogAndSucceeds) {
  machine.ui.OnDialog(u"Tessaly Corvalo Setup", [](ScriptedDialog& d) { d.Close(); });
  EXPECT_EQ(Run(u"  /setup "), 0);
  EXPECT_TRUE(machine.ui.messages.empty());
  EXPECT_EQ(machine.ui.dialogsShown, std::vector<std::u16string>{u"Tessaly Corvalo Setup"});
}

// Which flow a file reaches shows in how it fails: a descriptor without a size attribute is an error of the
// descriptor flow, while the archive flow cannot read the same bytes as a ZIP archive.
TEST_F(RunCommandLineTest, FilesGoToTheirFlowByExtension) {
  const std::string notAZip = "MIDlet-Name: x\r\n";
  struct Case {
    std::u16string commandLine;
    std::u16string message;
  };
  const Case cases[] = {
      {u"C:\\d\\x.jad", u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file."},
      {u"C:\\d\\X.JAD", u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file."},
      {u"\"C:\\d\\x.jad\" extra", u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file."},
      {u"C:\\d\\x.jad.bak", u"File \"C:\\d\\x.jad.bak\" read error."},
      {u"C:\\d\\x.zip", u"File \"C:\\d\\x.zip\" read error."},
      {u"C:\\d\\x.jar", u"File \"C:\\d\\x.jar\" read error."},
      {u"/select C:\\d\\x.jad", u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file."},
      {u"/setup C:\\d\\x.jad", u"File \"/setup\" read error."},  // "/setup" is a switch only alone
      {u"/select", u"File \"/select\" read error."},             // "/select" needs a file after it
      {u"/console C:\\d\\x.jad -v", u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file."},  // as without it
      {u"/console C:\\d\\x.jar", u"File \"C:\\d\\x.jar\" read error."},
      {u"/console", u"File \"/console\" read error."},
      {u"/SETUP", u"File \"/SETUP\" read error."},               // switches are case-sensitive
      {u"/register C:\\d\\x.jad", u"File \"/register\" read error."},  // the installer's switches only alone
      {u"/Unregister", u"File \"/Unregister\" read error."},
      {u"/register /Machine", u"File \"/register\" read error."},
      {u"/options", u"File \"/options\" read error."},  // "/options" needs a file after it, and only that
      {u"/options C:\\d\\x.jad extra", u"File \"/options\" read error."},
      {u"/options C:\\d\\none.jad", u"File \"C:\\d\\none.jad\" read error."},
      {u"/options C:\\d\\x.jar", u"File \"C:\\d\\x.jar\" read error."},
      {u"/options C:\\d\\bare.jar", u"No manifest is found."},
  };
  for (const char16_t* name : {u"C:\\d\\x.jad", u"C:\\d\\X.JAD", u"C:\\d\\x.jad.bak", u"C:\\d\\x.zip",
                               u"C:\\d\\x.jar"}) {
    machine.files.AddFile(name, notAZip);
  }
  machine.files.AddFile(u"C:\\d\\bare.jar", StoredZip({{"app/Main.class", "x"}}));
  for (const Case& c : cases) {
    machine.ui.messages.clear();
    EXPECT_EQ(Run(c.commandLine), 1) << ToUtf8(c.commandLine);
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{c.message}) << ToUtf8(c.commandLine);
  }
}

// The file's kind decides the dialog's fields; its options are kept under its full path.
TEST_F(RunCommandLineTest, OptionsOpensTheDialogOfTheFilesKind) {
  machine.files.AddFile(u"C:\\d\\x.jad", "MIDlet-Name: x\r\n");
  machine.files.AddFile(u"C:\\desk.jar", JarWithManifest("Main-Class: app.Main\r\n"));
  machine.files.AddFile(u"C:\\d\\suite.jar", JarWithManifest("MIDlet-1: x, , app.Main\r\n"));
  for (const auto& [commandLine, fullPath, name, action] :
       {std::tuple{u"/options \"C:\\d\\x.jad\"", u"C:\\d\\x.jad", u"x.jad", u"As every JAD file starts"},
        {u"/options desk.jar", u"C:\\desk.jar", u"desk.jar", u"As every JAR file starts"},
        {u"/options C:\\d\\..\\d\\SUITE.jar", u"C:\\d\\SUITE.jar", u"SUITE.jar", u"As every JAD file starts"}}) {
    machine.ui.OnDialog(std::u16string(u"Start Options - ") + name, [&](ScriptedDialog& d) {
      EXPECT_EQ(d.ItemText(IDC_OPTIONS_STARTER, 0), action);
      d.Type(IDC_OPTIONS_ARGUMENTS, u"-v");
      d.Click(kIdOk);
    });
    EXPECT_EQ(Run(commandLine), 0);
    EXPECT_EQ(ReadFileOptions(machine.registry, fullPath).value_or(FileOptions{}).arguments, u"-v");
  }
  EXPECT_TRUE(machine.ui.messages.empty() && machine.ui.problems.empty());
}

}  // namespace
}  // namespace tc
