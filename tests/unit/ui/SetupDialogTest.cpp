// The setup dialog: lists and combos as views of the catalogue, the edits through it, and OK and Cancel.
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "unit/ui/DialogMachine.h"

namespace tc {
namespace {

constexpr char16_t kSetup[] = u"Tessaly Corvalo Setup";
constexpr char16_t kScanNote[] = u"Use SCAN buttons to detect J2SE/J2ME starters.";

// One half of the dialog; the J2ME half must act on its kind exactly as the J2SE half does on its own.
struct Half {
  StarterKind kind;
  StarterKind other;
  int list, scan, add, copy, edit, remove, action;
  const char16_t* editor;
};

const Half kJ2seHalf{StarterKind::J2se, StarterKind::J2me, IDC_J2SE_LIST, IDB_J2SE_SCAN, IDB_J2SE_ADD, IDB_J2SE_COPY,
                     IDB_J2SE_EDIT, IDB_J2SE_DELETE, IDC_J2SE_ACTION, u"J2SE Starter"};
void PrintTo(const Half& half, std::ostream* out) { *out << (half.kind == StarterKind::J2se ? "J2SE" : "J2ME"); }

const Half kJ2meHalf{StarterKind::J2me, StarterKind::J2se, IDC_J2ME_LIST, IDB_J2ME_SCAN, IDB_J2ME_ADD, IDB_J2ME_COPY,
                     IDB_J2ME_EDIT, IDB_J2ME_DELETE, IDC_J2ME_ACTION, u"J2ME Starter"};

class SetupDialogTest : public DialogMachine, public ::testing::WithParamInterface<Half> {
 protected:
  const Half& H() const { return GetParam(); }
  int Run() { return RunSetupDialog(machine.context, 0x42); }

  // Slots 1, 2 and 4 of the half's kind, sorting as 4, 2, 1; one starter of the other kind.
  void StoreThree(std::uint32_t defaultAction = kChoiceOnceOpened, std::uint32_t lastAction = 0) {
    Store(H().kind, 1, u"Zulu", u"C:\\zulu.exe", u"-z");
    Store(H().kind, 2, u"Mango", u"C:\\mango.exe", u"-m");
    Store(H().kind, 4, u"Apple", u"C:\\apple.exe", u"-a");
    StoreActions(H().kind, defaultAction, lastAction);
    Store(H().other, 1, u"Other kind");
  }
  // The editor's script: fill in a name (and a program) and press OK, or press Cancel.
  void EditorAnswers(const std::u16string& name) {
    machine.ui.OnDialog(H().editor, [name](ScriptedDialog& d) {
      d.Type(IDC_STARTER_NAME, name);
      if (Trim(d.Text(IDC_STARTER_EXECUTABLE)).empty()) d.Type(IDC_STARTER_EXECUTABLE, u"C:\\new.exe");
      d.Click(kIdOk);
    });
  }
  void EditorCancels() {
    machine.ui.OnDialog(H().editor, [](ScriptedDialog& d) {
      d.Type(IDC_STARTER_NAME, u"typed, then cancelled");
      d.Click(kIdCancel);
    });
  }
  void ExpectButtons(const ScriptedDialog& d, bool selected) {
    EXPECT_TRUE(d.IsEnabled(H().scan));
    EXPECT_TRUE(d.IsEnabled(H().add));
    EXPECT_EQ(d.IsEnabled(H().copy), selected);
    EXPECT_EQ(d.IsEnabled(H().edit), selected);
    EXPECT_EQ(d.IsEnabled(H().remove), selected);
  }
  static std::vector<std::uintptr_t> ActionData(std::vector<std::uintptr_t> slots) {
    slots.insert(slots.begin(), {kChoiceOnceOpened, kLastUsedAction});  // the leading space sorts them first
    return slots;
  }
};

TEST_P(SetupDialogTest, OpensWithSortedListsNothingSelectedAndTheStoredAction) {
  StoreThree(2, 1);
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    EXPECT_EQ(d.Items(H().list), (std::vector<std::u16string>{u"Apple", u"Mango", u"Zulu"}));
    EXPECT_EQ(ItemData(d, H().list), (std::vector<std::uintptr_t>{4, 2, 1}));
    EXPECT_EQ(d.Selection(H().list), -1);
    ExpectButtons(d, false);
    EXPECT_EQ(d.Items(H().action), (std::vector<std::u16string>{u" <Choice once opened>", u" <Last used action>",
                                                                 u"Apple", u"Mango", u"Zulu"}));
    EXPECT_EQ(ItemData(d, H().action), (std::vector<std::uintptr_t>{kChoiceOnceOpened, kLastUsedAction, 4, 2, 1}));
    EXPECT_EQ(SelectedText(d, H().action), u"Mango");
    d.Click(kIdCancel);
  });
  EXPECT_EQ(Run(), kIdCancel);
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, TheComboShowsEachStoredAction) {
  const std::pair<std::uint32_t, std::u16string> cases[] = {
      {kChoiceOnceOpened, u" <Choice once opened>"}, {kLastUsedAction, u" <Last used action>"}, {4, u"Apple"}};
  for (const auto& [action, shown] : cases) {
    StoreThree(action, 0);
    Catalogue().Load();
    machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
      EXPECT_EQ(SelectedText(d, H().action), shown);
      EXPECT_EQ(SelectedText(d, kJ2seHalf.action == H().action ? kJ2meHalf.action : kJ2seHalf.action),
                u" <Choice once opened>");
      d.Close();
    });
    Run();
  }
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, ASelectionInAListEnablesThatHalfsButtonsOnly) {
  StoreThree();
  const Half& other = H().kind == StarterKind::J2se ? kJ2meHalf : kJ2seHalf;
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.ChooseItem(H().list, 1);
    ExpectButtons(d, true);
    EXPECT_FALSE(d.IsEnabled(other.edit));
    d.ChooseItem(H().list, -1);
    ExpectButtons(d, false);
    d.Close();
  });
  Run();
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, AddedStarterIsListedSelectedOfferedAndStoredByOk) {
  StoreThree();
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.Click(H().add);
    EXPECT_EQ(d.Items(H().list), (std::vector<std::u16string>{u"Apple", u"Banana", u"Mango", u"Zulu"}));
    EXPECT_EQ(SelectedText(d, H().list), u"Banana");
    EXPECT_EQ(d.ItemData(H().list, 1), 3u);  // the hole is filled first
    ExpectButtons(d, true);
    EXPECT_EQ(ItemData(d, H().action), ActionData({4, 3, 2, 1}));
    EXPECT_EQ(StoredSlots(H().kind), (std::vector<std::u16string>{u"1", u"2", u"4"}));  // not yet stored
    d.Click(kIdOk);
  });
  EditorAnswers(u"  Banana  ");
  EXPECT_EQ(Run(), kIdOk);
  EXPECT_EQ(StoredSlots(H().kind), (std::vector<std::u16string>{u"1", u"2", u"3", u"4"}));
  EXPECT_EQ(StoredString(KindPath(H().kind) + u"\\3", u"Name"), u"Banana");
  EXPECT_EQ(StoredString(KindPath(H().kind) + u"\\3", u"ExecutableFile"), u"C:\\new.exe");
  EXPECT_EQ(StoredSlots(H().other), std::vector<std::u16string>{u"1"});
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, AnAddOrCopyCancelledInTheEditorGivesItsSlotBack) {
  StoreThree();
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.Click(H().add);
    EXPECT_EQ(d.Items(H().list), (std::vector<std::u16string>{u"Apple", u"Mango", u"Zulu"}));
    EXPECT_EQ(d.Selection(H().list), -1);
    ExpectButtons(d, false);
    d.ChooseItem(H().list, 2);
    d.Click(H().copy);
    EXPECT_EQ(d.Items(H().list), (std::vector<std::u16string>{u"Apple", u"Mango", u"Zulu"}));
    EXPECT_EQ(SelectedText(d, H().list), u"Zulu");
    EXPECT_EQ(ItemData(d, H().action), ActionData({4, 2, 1}));
    EXPECT_EQ(Catalogue().NextStarter(H().kind, 2), 4u);  // slot 3 is empty again
    d.Click(H().add);
    EXPECT_EQ(d.ItemData(H().list, d.Selection(H().list)), 3u);  // and the next new starter takes it
    d.Click(kIdCancel);
  });
  EditorCancels();
  EditorCancels();
  EditorAnswers(u"Cherry");
  Run();
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, CopyOffersTheSameStringsInANewSlot) {
  StoreThree();
  Starter offered;
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.ChooseItem(H().list, 1);
    d.Click(H().copy);
    EXPECT_EQ(d.Items(H().list), (std::vector<std::u16string>{u"Apple", u"Mango", u"Mango", u"Zulu"}));
    EXPECT_EQ(d.ItemData(H().list, d.Selection(H().list)), 3u);
    d.Click(kIdOk);
  });
  machine.ui.OnDialog(H().editor, [&](ScriptedDialog& d) {
    offered = Starter{d.Text(IDC_STARTER_NAME), d.Text(IDC_STARTER_EXECUTABLE), d.Text(IDC_STARTER_ARGUMENTS)};
    d.Click(kIdOk);
  });
  Run();
  EXPECT_EQ(offered.name, u"Mango");
  EXPECT_EQ(offered.executableFile, u"C:\\mango.exe");
  EXPECT_EQ(offered.arguments, u"-m");
  EXPECT_EQ(StoredString(KindPath(H().kind) + u"\\3", u"Arguments"), u"-m");
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, ARenamedStarterMovesToItsSortedPlaceAndStaysSelected) {
  StoreThree(1, 0);
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.ChooseItem(H().list, 2);  // Zulu, slot 1
    d.Click(H().edit);
    EXPECT_EQ(d.Items(H().list), (std::vector<std::u16string>{u"Aardvark", u"Apple", u"Mango"}));
    EXPECT_EQ(ItemData(d, H().list), (std::vector<std::uintptr_t>{1, 4, 2}));
    EXPECT_EQ(d.Selection(H().list), 0);
    ExpectButtons(d, true);
    EXPECT_EQ(SelectedText(d, H().action), u"Aardvark");  // still the fixed action, under its new name
    d.Click(H().edit);  // cancelled: nothing moves
    EXPECT_EQ(d.Selection(H().list), 0);
    EXPECT_EQ(d.Items(H().list), (std::vector<std::u16string>{u"Aardvark", u"Apple", u"Mango"}));
    d.Click(kIdOk);
  });
  EditorAnswers(u"Aardvark");
  EditorCancels();
  Run();
  EXPECT_EQ(StoredString(KindPath(H().kind) + u"\\1", u"Name"), u"Aardvark");
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, DeleteAsksFirstAndCancelChangesNothing) {
  StoreThree();
  machine.ui.AnswerMessage(kIdCancel);
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.ChooseItem(H().list, 1);
    d.Click(H().remove);
    EXPECT_EQ(d.Items(H().list), (std::vector<std::u16string>{u"Apple", u"Mango", u"Zulu"}));
    EXPECT_EQ(d.Selection(H().list), 1);
    EXPECT_TRUE(Catalogue().HasStarters(H().kind));
    EXPECT_EQ(Catalogue().NextStarter(H().kind, 1), 2u);
    d.Click(kIdOk);
  });
  Run();
  ASSERT_EQ(machine.ui.messages.size(), 1u);
  const auto& question = machine.ui.messages[0];
  EXPECT_EQ(question.text, u"The JAR starter \"Mango\" will be deleted.");  // the same words for both kinds
  EXPECT_EQ(question.caption, u"Warning");
  EXPECT_EQ(question.icon, MessageIcon::Warning);
  EXPECT_EQ(question.buttons, MessageButtons::OkCancel);
  EXPECT_EQ(StoredSlots(H().kind), (std::vector<std::u16string>{u"1", u"2", u"4"}));
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, DeletingTheDefaultStarterFallsBackToAskingAndForgetsTheLastUse) {
  StoreThree(4, 4);
  machine.ui.AnswerMessage(kIdOk);
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    EXPECT_EQ(SelectedText(d, H().action), u"Apple");
    d.ChooseItem(H().list, 0);
    d.Click(H().remove);
    EXPECT_EQ(d.Items(H().list), (std::vector<std::u16string>{u"Mango", u"Zulu"}));
    EXPECT_EQ(d.Selection(H().list), -1);
    ExpectButtons(d, false);
    EXPECT_EQ(ItemData(d, H().action), ActionData({2, 1}));
    EXPECT_EQ(SelectedText(d, H().action), u" <Choice once opened>");
    d.Click(kIdOk);
  });
  Run();
  EXPECT_EQ(StoredSlots(H().kind), (std::vector<std::u16string>{u"1", u"2"}));
  EXPECT_EQ(StoredNumber(H().kind, u"DefaultAction"), kChoiceOnceOpened);
  EXPECT_EQ(StoredNumber(H().kind, u"LastAction"), 0u);
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, AnActionChosenIsStoredByOkAndDiscardedByCancel) {
  for (const int end : {kIdCancel, kIdOk}) {
    StoreThree(kChoiceOnceOpened, 0);
    Catalogue().Load();
    machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
      d.ChooseItem(H().action, 0);  // " <Choice once opened>": nothing changes yet
      d.ChooseItem(H().action, IndexOfData(d, H().action, 2));
      EXPECT_EQ(Catalogue().DefaultAction(H().kind), 2u);  // in memory at once
      if (end == kIdOk) d.PressEnter();
      else d.Close();
    });
    EXPECT_EQ(Run(), end);
    const std::uint32_t expected = end == kIdOk ? 2 : kChoiceOnceOpened;
    EXPECT_EQ(StoredNumber(H().kind, u"DefaultAction"), expected);
    EXPECT_EQ(Catalogue().DefaultAction(H().kind), expected);
  }
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, CancelDiscardsEveryEditSinceTheLastSave) {
  StoreThree(1, 2);
  machine.ui.AnswerMessage(kIdOk);
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.Click(H().add);
    d.ChooseItem(H().list, IndexOfData(d, H().list, 1));
    d.Click(H().remove);
    d.ChooseItem(H().action, 1);
    d.Click(kIdCancel);
  });
  EditorAnswers(u"Added");
  EXPECT_EQ(Run(), kIdCancel);
  EXPECT_EQ(Catalogue().NextStarter(H().kind, 0), 1u);
  EXPECT_EQ(Catalogue().GetStarter(H().kind, 1).name, u"Zulu");
  EXPECT_EQ(Catalogue().NextStarter(H().kind, 2), 4u);
  EXPECT_EQ(Catalogue().DefaultAction(H().kind), 1u);
  EXPECT_EQ(Catalogue().LastAction(H().kind), 2u);
  EXPECT_EQ(StoredSlots(H().kind), (std::vector<std::u16string>{u"1", u"2", u"4"}));
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, OkKeepsWhatAnotherInstanceSavedSinceTheCatalogueWasRead) {
  StoreThree();
  Catalogue().Load();
  Store(H().kind, 3, u"Saved meanwhile");
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) { d.Click(kIdOk); });
  EXPECT_EQ(Run(), kIdOk);
  EXPECT_EQ(StoredSlots(H().kind), (std::vector<std::u16string>{u"1", u"2", u"3", u"4"}));
  ExpectScriptFollowed();
}

TEST_P(SetupDialogTest, AFullKindRefusesAddAndCopyWithAMessage) {
  for (std::uint32_t slot = 1; slot <= kHighestSlot; ++slot) Store(H().kind, slot, u"Starter " + ToDecimal(slot));
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.Click(H().add);
    d.ChooseItem(H().list, 0);
    d.Click(H().copy);
    EXPECT_EQ(d.ItemCount(H().list), static_cast<int>(kHighestSlot));
    EXPECT_EQ(d.ItemCount(H().action), static_cast<int>(kHighestSlot) + 2);
    d.Click(kIdOk);
  });
  Run();
  ASSERT_EQ(machine.ui.messages.size(), 2u);
  for (const auto& message : machine.ui.messages) {
    EXPECT_EQ(message.text, u"No more than 256 starters of a kind can be stored.");
    EXPECT_EQ(message.caption, u"Error");
    EXPECT_EQ(message.icon, MessageIcon::Error);
  }
  EXPECT_EQ(machine.ui.dialogsShown, std::vector<std::u16string>{kSetup});  // no editor opened
  EXPECT_EQ(StoredSlots(H().kind).size(), kHighestSlot);
  ExpectScriptFollowed();
}

INSTANTIATE_TEST_SUITE_P(Halves, SetupDialogTest, ::testing::Values(kJ2seHalf, kJ2meHalf),
                         [](const auto& info) { return info.param.kind == StarterKind::J2se ? "J2se" : "J2me"; });

class SetupDialogOpening : public DialogMachine {};

TEST_F(SetupDialogOpening, AnEmptyCatalogueIsPointedOutOnceAfterTheDialogIsUp) {
  struct Case {
    bool j2se;
    bool j2me;
  };
  for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}}) {
    machine.ui.messages.clear();
    DeleteTree(machine.registry, RegistryRoot::CurrentUser, kSettingsPath);
    if (c.j2se) Store(StarterKind::J2se, 1, u"Java");
    if (c.j2me) Store(StarterKind::J2me, 1, u"Emulator");
    Catalogue().Load();
    machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
      EXPECT_TRUE(machine.ui.messages.empty());  // not before the dialog is on screen
      ASSERT_TRUE(d.IsTimerRunning(IDT_SCAN_NOTE));
      EXPECT_EQ(d.TimerInterval(IDT_SCAN_NOTE), 100u);
      d.FireTimer(IDT_SCAN_NOTE);
      EXPECT_FALSE(d.IsTimerRunning(IDT_SCAN_NOTE));  // once only
      d.Close();
    });
    RunSetupDialog(machine.context, kNoWindow);
    if (!c.j2se && !c.j2me) {
      ASSERT_EQ(machine.ui.messages.size(), 1u);
      EXPECT_EQ(machine.ui.messages[0].text, kScanNote);
      EXPECT_EQ(machine.ui.messages[0].caption, u"Information");
      EXPECT_EQ(machine.ui.messages[0].icon, MessageIcon::Information);
      EXPECT_EQ(machine.ui.messages[0].buttons, MessageButtons::Ok);
      EXPECT_EQ(machine.ui.messages[0].owner, WindowId{0x100} + machine.ui.dialogsShown.size() - 1);
    } else {
      EXPECT_TRUE(machine.ui.messages.empty()) << c.j2se << c.j2me;
    }
  }
  ExpectScriptFollowed();
}

TEST_F(SetupDialogOpening, TheLinksOpenTheAboutBoxAndTheAssociationQuestionOverTheDialog) {
  WindowId setup = 0;
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    setup = d.Id();
    d.Click(IDL_ABOUT);
    machine.ui.AnswerMessage(kIdNo);
    d.Click(IDL_FILE_ASSOCIATIONS);
    EXPECT_FALSE(d.HasEnded());
    d.Click(kIdOk);
  });
  machine.ui.OnDialog(u"About", [](ScriptedDialog& d) { d.Close(); });
  EXPECT_EQ(RunSetupDialog(machine.context, kNoWindow), kIdOk);
  EXPECT_EQ(machine.ui.dialogOwners, (std::vector<WindowId>{kNoWindow, setup}));
  ASSERT_EQ(machine.ui.messages.size(), 1u);
  EXPECT_EQ(machine.ui.messages[0].caption, u"Confirmation");
  EXPECT_EQ(machine.ui.messages[0].owner, setup);
  ExpectScriptFollowed();
}

TEST_F(SetupDialogOpening, StartersAddedByAScanAppearInTheListAndTheCombo) {
  Store(StarterKind::J2se, 1, u"Zulu");
  StoreActions(StarterKind::J2se, 1, 0);
  RegistryKey(machine.registry, RegistryRoot::LocalMachine,
              u"SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.8.0_202", RegistryView::Bits64)
      .WriteString(u"JavaHome", u"C:\\Java\\jre8");
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.ChooseItem(IDC_J2SE_LIST, 0);
    d.Click(IDB_J2SE_SCAN);
    EXPECT_EQ(d.Items(IDC_J2SE_LIST),
              (std::vector<std::u16string>{u"JRE 1.8.0_202 (Console)", u"JRE 1.8.0_202 (GUI)", u"Zulu"}));
    EXPECT_EQ(d.Selection(IDC_J2SE_LIST), -1);
    EXPECT_FALSE(d.IsEnabled(IDB_J2SE_EDIT));
    EXPECT_EQ(ItemData(d, IDC_J2SE_ACTION), (std::vector<std::uintptr_t>{kChoiceOnceOpened, kLastUsedAction, 3, 2, 1}));
    EXPECT_EQ(SelectedText(d, IDC_J2SE_ACTION), u"Zulu");
    d.Click(IDB_J2SE_SCAN);  // the same runtimes again: nothing new, nothing changes
    EXPECT_EQ(d.ItemCount(IDC_J2SE_LIST), 3);
    d.Click(kIdCancel);
  });
  machine.ui.OnDialog(u"Detected J2SE Starters", [](ScriptedDialog& d) {
    d.Click(1013);  // Check All
    d.Click(kIdOk);  // Add Checked
  });
  machine.ui.OnDialog(u"Detected J2SE Starters", [](ScriptedDialog& d) {
    EXPECT_EQ(d.ItemCount(1018), 0);  // both are in the catalogue already
    d.Close();
  });
  RunSetupDialog(machine.context, kNoWindow);
  EXPECT_EQ(StoredSlots(StarterKind::J2se), std::vector<std::u16string>{u"1"});  // cancelled: the scan is undone
  EXPECT_EQ(machine.ui.dialogOwners[1], WindowId{0x100});
  ExpectScriptFollowed();
}

TEST_F(SetupDialogOpening, TheJ2meScanFillsTheJ2meHalfOnly) {
  Store(StarterKind::J2se, 1, u"Java");
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.Click(IDB_J2ME_SCAN);  // nothing installed yet
    ASSERT_EQ(machine.ui.messages.size(), 1u);
    EXPECT_EQ(machine.ui.messages[0].text, u"No J2ME starters are detected.");
    EXPECT_EQ(machine.ui.messages[0].caption, u"Information");
    RegistryKey(machine.registry, RegistryRoot::LocalMachine, u"SOFTWARE\\Motorola\\iDEN\\SDK for J2ME(TM)",
                RegistryView::Bits32)
        .WriteString(u"Path", u"C:\\iDEN");
    machine.files.AddFile(u"C:\\iDEN\\bin\\emulator.exe", "");
    machine.files.AddFile(u"C:\\iDEN\\device\\i730\\device.props", "");
    d.Click(IDB_J2ME_SCAN);
    EXPECT_EQ(d.Items(IDC_J2ME_LIST), std::vector<std::u16string>{u"Motorola - i730 Emulator"});
    EXPECT_EQ(ItemData(d, IDC_J2ME_ACTION), (std::vector<std::uintptr_t>{kChoiceOnceOpened, kLastUsedAction, 1}));
    EXPECT_EQ(d.Items(IDC_J2SE_LIST), std::vector<std::u16string>{u"Java"});
    d.Click(kIdOk);
  });
  machine.ui.OnDialog(u"Detected J2ME Starters", [](ScriptedDialog& d) {
    d.Click(1013);  // Check All
    d.Click(kIdOk);  // Add Checked
  });
  EXPECT_EQ(RunSetupDialog(machine.context, kNoWindow), kIdOk);
  EXPECT_EQ(StoredSlots(StarterKind::J2me), std::vector<std::u16string>{u"1"});
  ExpectScriptFollowed();
}

TEST_F(SetupDialogOpening, DoubleClickingAStarterOnlySelectsIt) {
  Store(StarterKind::J2se, 1, u"Java");
  machine.ui.OnDialog(kSetup, [&](ScriptedDialog& d) {
    d.DoubleClickItem(IDC_J2SE_LIST, 0);
    EXPECT_FALSE(d.HasEnded());
    EXPECT_EQ(d.Selection(IDC_J2SE_LIST), 0);
    EXPECT_TRUE(d.IsEnabled(IDB_J2SE_EDIT));
    d.Close();
  });
  RunSetupDialog(machine.context, kNoWindow);
  EXPECT_EQ(machine.ui.dialogsShown, std::vector<std::u16string>{kSetup});
  ExpectScriptFollowed();
}

}  // namespace
}  // namespace tc
