// The starter selection dialog: what it preselects, when OK may be pressed, and what it returns.
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "unit/ui/DialogMachine.h"

namespace tc {
namespace {

constexpr char16_t kJ2seSelect[] = u"J2SE Starter Select";
constexpr char16_t kJ2meSelect[] = u"J2ME Starter Select";
constexpr char16_t kSetup[] = u"Tessaly Corvalo Setup";

class SelectionDialogTest : public DialogMachine {
 protected:
  // Slots 1, 2 and 5, whose names sort as 2, 5, 1.
  void StoreThree(std::uint32_t defaultAction, std::uint32_t lastAction) {
    Store(StarterKind::J2se, 1, u"Zulu 8");
    Store(StarterKind::J2se, 2, u"Adopt 11");
    Store(StarterKind::J2se, 5, u"microsoft 17");
    StoreActions(StarterKind::J2se, defaultAction, lastAction);
  }
  Selection Select(StarterKind kind = StarterKind::J2se) { return RunSelectionDialog(machine.context, kind, 0x42); }
};

TEST_F(SelectionDialogTest, ListsTheStartersOfItsKindByNameWithTheirSlots) {
  StoreThree(0, 0);
  Store(StarterKind::J2me, 1, u"Emulator");
  machine.ui.OnDialog(kJ2seSelect, [&](ScriptedDialog& d) {
    EXPECT_EQ(d.Items(IDC_SELECT_LIST), (std::vector<std::u16string>{u"Adopt 11", u"microsoft 17", u"Zulu 8"}));
    EXPECT_EQ(ItemData(d, IDC_SELECT_LIST), (std::vector<std::uintptr_t>{2, 5, 1}));
    d.Close();
  });
  machine.ui.OnDialog(kJ2meSelect, [&](ScriptedDialog& d) {
    EXPECT_EQ(d.Items(IDC_SELECT_LIST), std::vector<std::u16string>{u"Emulator"});
    d.Close();
  });
  Select(StarterKind::J2se);
  Select(StarterKind::J2me);
  EXPECT_EQ(machine.ui.dialogOwners, (std::vector<WindowId>{0x42, 0x42}));
  ExpectScriptFollowed();
}

struct PreselectionCase {
  std::uint32_t defaultAction;
  std::uint32_t lastAction;
  std::u16string selected;
};

class PreselectionTest : public SelectionDialogTest, public ::testing::WithParamInterface<PreselectionCase> {};

TEST_P(PreselectionTest, PreselectsTheFixedStarterElseTheOneUsedLast) {
  const PreselectionCase& c = GetParam();
  StoreThree(c.defaultAction, c.lastAction);
  machine.ui.OnDialog(kJ2seSelect, [&](ScriptedDialog& d) {
    EXPECT_EQ(SelectedText(d, IDC_SELECT_LIST), c.selected);
    EXPECT_EQ(d.IsEnabled(kIdOk), c.selected != u"(none)");
    d.Close();
  });
  Select();
  ExpectScriptFollowed();
}

INSTANTIATE_TEST_SUITE_P(Actions, PreselectionTest,
                         ::testing::Values(PreselectionCase{5, 1, u"microsoft 17"},  // fixed wins over last used
                                           PreselectionCase{kChoiceOnceOpened, 2, u"Adopt 11"},
                                           PreselectionCase{kLastUsedAction, 1, u"Zulu 8"},
                                           PreselectionCase{kChoiceOnceOpened, 0, u"(none)"},
                                           PreselectionCase{kLastUsedAction, 0, u"(none)"}));

TEST_F(SelectionDialogTest, OkIsEnabledOnlyWhileAnItemIsSelected) {
  StoreThree(kChoiceOnceOpened, 0);
  machine.ui.OnDialog(kJ2seSelect, [&](ScriptedDialog& d) {
    EXPECT_FALSE(d.IsEnabled(kIdOk));
    d.PressEnter();  // the disabled default button does nothing
    EXPECT_FALSE(d.HasEnded());
    d.ChooseItem(IDC_SELECT_LIST, 1);
    EXPECT_TRUE(d.IsEnabled(kIdOk));
    d.ChooseItem(IDC_SELECT_LIST, -1);
    EXPECT_FALSE(d.IsEnabled(kIdOk));
    d.ChooseItem(IDC_SELECT_LIST, 0);
    d.Click(kIdOk);
  });
  const Selection selection = Select();
  EXPECT_EQ(selection.endCode, kIdOk);
  EXPECT_EQ(selection.slot, 2u);
  ExpectScriptFollowed();
}

TEST_F(SelectionDialogTest, CancelAndClosingReturnNoSlotEvenWithAPreselection) {
  StoreThree(5, 0);
  machine.ui.OnDialog(kJ2seSelect, [](ScriptedDialog& d) { d.Click(kIdCancel); });
  machine.ui.OnDialog(kJ2seSelect, [](ScriptedDialog& d) { d.Close(); });
  for (int i = 0; i < 2; ++i) {
    const Selection selection = Select();
    EXPECT_EQ(selection.endCode, kIdCancel);
    EXPECT_EQ(selection.slot, 0u);
  }
  ExpectScriptFollowed();
}

TEST_F(SelectionDialogTest, ADoubleClickActsAsOkOnlyWhenOkIsEnabled) {
  StoreThree(kChoiceOnceOpened, 0);
  machine.ui.OnDialog(kJ2seSelect, [&](ScriptedDialog& d) {
    d.DoubleClickItem(IDC_SELECT_LIST, -1);  // below the last item, nothing selected
    EXPECT_FALSE(d.HasEnded());
    d.DoubleClickItem(IDC_SELECT_LIST, 2);
  });
  const Selection selection = Select();
  EXPECT_EQ(selection.endCode, kIdOk);
  EXPECT_EQ(selection.slot, 1u);
  ExpectScriptFollowed();
}

TEST_F(SelectionDialogTest, TwoStartersOfTheSameNameEachReturnTheirOwnSlot) {
  Store(StarterKind::J2me, 3, u"Emulator");
  Store(StarterKind::J2me, 7, u"Emulator");
  for (int index : {0, 1}) {
    std::uintptr_t shown = 0;
    machine.ui.OnDialog(kJ2meSelect, [&](ScriptedDialog& d) {
      EXPECT_EQ(d.Items(IDC_SELECT_LIST), (std::vector<std::u16string>{u"Emulator", u"Emulator"}));
      shown = d.ItemData(IDC_SELECT_LIST, index);
      d.ChooseItem(IDC_SELECT_LIST, index);
      d.PressEnter();
    });
    const Selection selection = Select(StarterKind::J2me);
    EXPECT_EQ(selection.slot, shown);
  }
  ExpectScriptFollowed();
}

TEST_F(SelectionDialogTest, SetupWithOkRefillsThePreselectingByTheUpdatedActions) {
  StoreThree(5, 2);
  WindowId selectionWindow = 0;
  machine.ui.OnDialog(kJ2seSelect, [&](ScriptedDialog& d) {
    selectionWindow = d.Id();
    EXPECT_EQ(SelectedText(d, IDC_SELECT_LIST), u"microsoft 17");
    d.Click(IDB_SELECT_SETUP);
    // Slot 5 was the fixed starter: the choice is asked for again, and the one used last preselected.
    EXPECT_EQ(d.Items(IDC_SELECT_LIST), (std::vector<std::u16string>{u"Adopt 11", u"Zulu 8"}));
    EXPECT_EQ(SelectedText(d, IDC_SELECT_LIST), u"Adopt 11");
    d.Click(kIdOk);
  });
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.ChooseItem(IDC_J2SE_LIST, IndexOfData(d, IDC_J2SE_LIST, 5));
    machine.ui.AnswerMessage(kIdOk);
    d.Click(IDB_J2SE_DELETE);
    d.Click(kIdOk);
  });
  EXPECT_EQ(Select().slot, 2u);
  EXPECT_EQ(machine.ui.dialogOwners[1], selectionWindow);
  ExpectScriptFollowed();
}

TEST_F(SelectionDialogTest, SetupCancelledLeavesTheListAsItWas) {
  StoreThree(kChoiceOnceOpened, 0);
  machine.ui.OnDialog(kJ2seSelect, [&](ScriptedDialog& d) {
    d.ChooseItem(IDC_SELECT_LIST, 2);
    d.Click(IDB_SELECT_SETUP);
    EXPECT_EQ(d.Items(IDC_SELECT_LIST), (std::vector<std::u16string>{u"Adopt 11", u"microsoft 17", u"Zulu 8"}));
    EXPECT_EQ(SelectedText(d, IDC_SELECT_LIST), u"Zulu 8");
    d.Click(kIdOk);
  });
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.ChooseItem(IDC_J2SE_LIST, 0);
    machine.ui.AnswerMessage(kIdOk);
    d.Click(IDB_J2SE_DELETE);
    d.Click(kIdCancel);
  });
  EXPECT_EQ(Select().slot, 1u);
  EXPECT_TRUE(Catalogue().HasStarters(StarterKind::J2se));
  ExpectScriptFollowed();
}

// Another instance gave the picked slot to another starter while the setup dialog was open: Cancel read that back.
TEST_F(SelectionDialogTest, APickThatAnotherInstanceReplacedIsSaidToBeGoneNotRun) {
  StoreThree(kChoiceOnceOpened, 0);
  machine.ui.OnDialog(kJ2seSelect, [&](ScriptedDialog& d) {
    d.ChooseItem(IDC_SELECT_LIST, 2);
    d.Click(IDB_SELECT_SETUP);
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"The starter \"Zulu 8\" is no longer defined."});
    EXPECT_EQ(machine.ui.messages.at(0).caption, u"Error");
    EXPECT_EQ(d.Items(IDC_SELECT_LIST), (std::vector<std::u16string>{u"Adopt 11", u"Corretto 21", u"microsoft 17"}));
    EXPECT_FALSE(d.IsEnabled(kIdOk));
    d.Click(kIdCancel);
  });
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    Store(StarterKind::J2se, 1, u"Corretto 21");
    d.Click(kIdCancel);
  });
  EXPECT_EQ(Select().slot, 0u);
  ExpectScriptFollowed();
}

TEST_F(SelectionDialogTest, TheAboutLinkOpensTheAboutBoxOverTheDialog) {
  StoreThree(1, 0);
  WindowId selectionWindow = 0;
  machine.ui.OnDialog(kJ2seSelect, [&](ScriptedDialog& d) {
    selectionWindow = d.Id();
    d.Click(IDL_ABOUT);
    EXPECT_FALSE(d.HasEnded());
    d.Click(kIdOk);
  });
  machine.ui.OnDialog(u"About", [](ScriptedDialog& d) { d.Click(kIdOk); });
  EXPECT_EQ(Select().slot, 1u);
  EXPECT_EQ(machine.ui.dialogsShown, (std::vector<std::u16string>{kJ2seSelect, u"About"}));
  EXPECT_EQ(machine.ui.dialogOwners[1], selectionWindow);
  ExpectScriptFollowed();
}

}  // namespace
}  // namespace tc
