// The scan as the user sees it: the status popup, "nothing found", the result list and what "Add Checked" adds.
#include <gtest/gtest.h>

#include "catalogue/RegistryKey.h"
#include "detect/StarterScanner.h"
#include "ui/Dialogs.h"
#include "unit/HostMachine.h"

namespace tc {
namespace {

class ScanFlowTest : public ::testing::Test {
 protected:
  void Register(const std::u16string& version, const std::u16string& home) {
    RegistryKey(machine.registry, RegistryRoot::LocalMachine,
                u"SOFTWARE\\JavaSoft\\Java Runtime Environment\\" + version, RegistryView::Bits64)
        .WriteString(u"JavaHome", home);
  }
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

  HostMachine machine;
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
  Register(u"1.6.0_20", u"C:\\jre");
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
  Register(u"1.6.0_20", u"C:\\jre");
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
  Register(u"1.6.0_20", u"C:\\jre");
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
