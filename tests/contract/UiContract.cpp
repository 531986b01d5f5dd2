// The dialog contract, and its run on the scripted host.
#include "contract/UiContract.h"

#include "platform/host/ScriptedUi.h"
#include "ui/Styles.h"

namespace tc {

namespace {

enum : int { kList = 100, kCombo, kEdit, kChecks, kProgress, kButton, kNote, kBox };
constexpr int kTimer = 7;

DialogTemplate SampleDialog() {
  using namespace style;
  return DialogTemplate{
      u"Contract Dialog",
      {0, 0, 200, 150},
      kPopup | kCaption | kSysMenu | kDsModalFrame | kDsShellFont,
      0,
      u"MS Shell Dlg",
      8,
      {
          {kList, control::kListBox, u"", {5, 5, 90, 40}, kLbsNotify | kLbsSort | kVScroll | kTabStop, kWsExClientEdge},
          {kCombo, control::kComboBox, u"", {100, 5, 90, 60}, kCbsDropDownList | kVScroll | kTabStop},
          {kEdit, control::kEdit, u"", {5, 50, 185, 12}, kEsAutoHScroll | kTabStop, kWsExClientEdge},
          {kChecks, control::kListView, u"", {5, 65, 185, 40},
           kLvsReport | kLvsSingleSel | kLvsShowSelAlways | kLvsNoColumnHeader | kTabStop, kWsExClientEdge},
          {kProgress, control::kProgress, u"", {5, 110, 185, 8}, 0},
          {kButton, control::kButton, u"Push", {5, 125, 50, 14}, kBsPushButton | kTabStop},
          {kNote, control::kStatic, u"Note", {60, 128, 100, 8}, kSsLeft},
          {kBox, control::kButton, u"Box", {5, 139, 100, 10}, kBsAutoCheckBox | kTabStop},
      }};
}

// Fills every control on opening, and checks what it reads back when the timer fires.
class SampleHandler final : public DialogHandler {
 public:
  void OnOpen(DialogWindow& window) override {
    window.AddItem(kList, u"pear", 30);
    window.AddItem(kList, u"Apple", 10);
    window.AddItem(kList, u"fig", 20);
    window.Select(kList, 1);
    window.AddItem(kCombo, u" <Choice once opened>", 0);
    window.AddItem(kCombo, u"Runtime", 5);
    window.Select(kCombo, 1);
    window.LimitText(kEdit, 8);
    window.SetText(kEdit, u"-jar");
    window.MoveCaretToEnd(kEdit);
    window.ReplaceSelection(kEdit, u" %1");
    window.MoveCaretToEnd(kEdit);
    window.ReplaceSelection(kEdit, u" %*");  // one character left below the limit
    window.AddItem(kChecks, u"first", 1);
    window.AddItem(kChecks, u"second", 2);
    window.SetChecked(kChecks, 1, true);
    window.SetProgressRange(kProgress, 0, 3);
    window.SetProgress(kProgress, 2);
    window.Enable(kButton, false);
    window.SetText(kNote, u"Noted");
    window.CheckButton(kBox, true);
    window.StartTimer(kTimer, 10);
  }
  void OnTimer(DialogWindow& window, int timer) override {
    ++timerCalls;
    listTexts = {window.ItemText(kList, 0), window.ItemText(kList, 1), window.ItemText(kList, 2)};
    listSelection = window.Selection(kList);
    listData = window.ItemData(kList, listSelection);
    comboSelection = window.Selection(kCombo);
    comboData = window.ItemData(kCombo, comboSelection);
    comboCount = window.ItemCount(kCombo);
    editText = window.Text(kEdit);
    checks = {window.IsChecked(kChecks, 0), window.IsChecked(kChecks, 1)};
    checkData = window.ItemData(kChecks, 1);
    checkText = window.ItemText(kChecks, 1);
    buttonEnabled = window.IsEnabled(kButton);
    note = window.Text(kNote);
    boxTicked = window.IsButtonChecked(kBox);
    window.CheckButton(kBox, false);
    boxTicked = boxTicked && !window.IsButtonChecked(kBox);
    // The selection follows its item as items come and go around it.
    window.AddItem(kList, u"banana", 40);
    afterInsert = window.Selection(kList);
    window.RemoveItem(kList, 0);
    afterRemoveBefore = window.Selection(kList);
    afterRemoveBeforeData = window.ItemData(kList, afterRemoveBefore);
    window.RemoveItem(kList, afterRemoveBefore);
    afterRemoveSelected = window.Selection(kList);
    remaining = {window.ItemText(kList, 0), window.ItemText(kList, 1)};
    window.Select(kCombo, 0);
    window.RemoveItem(kCombo, 1);
    comboAfterRemove = {window.ItemCount(kCombo), window.Selection(kCombo)};
    window.ClearItems(kList);
    clearedCount = window.ItemCount(kList);
    clearedSelection = window.Selection(kList);
    window.End(42);
  }

  int timerCalls = 0;
  std::vector<std::u16string> listTexts;
  int listSelection = -2;
  std::uintptr_t listData = 0;
  int comboSelection = -2;
  std::uintptr_t comboData = 0;
  int comboCount = 0;
  std::u16string editText;
  std::vector<bool> checks;
  std::uintptr_t checkData = 0;
  std::u16string checkText;
  bool buttonEnabled = true;
  std::u16string note;
  bool boxTicked = false;  // and cleared again
  int afterInsert = -2;
  int afterRemoveBefore = -2;
  std::uintptr_t afterRemoveBeforeData = 0;
  int afterRemoveSelected = -2;
  std::vector<std::u16string> remaining;
  std::pair<int, int> comboAfterRemove;
  int clearedCount = -1;
  int clearedSelection = -2;
};

}  // namespace

TEST_P(UiContract, ControlsKeepWhatTheHandlerPutInThem) {
  auto ui = GetParam().make();
  SampleHandler handler;
  GetParam().letTimerFire(*ui, u"Contract Dialog", kTimer);
  EXPECT_EQ(ui->RunModal(SampleDialog(), handler, kNoWindow), 42);
  EXPECT_EQ(handler.timerCalls, 1);
  EXPECT_EQ(handler.listTexts, (std::vector<std::u16string>{u"Apple", u"fig", u"pear"}));  // sorted, case ignored
  EXPECT_EQ(handler.listSelection, 1);
  EXPECT_EQ(handler.listData, 20u);
  EXPECT_EQ(handler.comboSelection, 1);
  EXPECT_EQ(handler.comboData, 5u);
  EXPECT_EQ(handler.comboCount, 2);
  EXPECT_EQ(handler.editText, u"-jar %1 ");  // the limit of 8 cut the second insertion
  EXPECT_EQ(handler.checks, (std::vector<bool>{false, true}));
  EXPECT_EQ(handler.checkData, 2u);
  EXPECT_EQ(handler.checkText, u"second");
  EXPECT_FALSE(handler.buttonEnabled);
  EXPECT_EQ(handler.note, u"Noted");
  EXPECT_TRUE(handler.boxTicked);
  EXPECT_EQ(handler.afterInsert, 2);  // "banana" sorts before "fig"
  EXPECT_EQ(handler.afterRemoveBefore, 1);
  EXPECT_EQ(handler.afterRemoveBeforeData, 20u);
  EXPECT_EQ(handler.afterRemoveSelected, -1);
  EXPECT_EQ(handler.remaining, (std::vector<std::u16string>{u"banana", u"pear"}));
  EXPECT_EQ(handler.comboAfterRemove, (std::pair<int, int>{1, 0}));
  EXPECT_EQ(handler.clearedCount, 0);
  EXPECT_EQ(handler.clearedSelection, -1);
}

INSTANTIATE_TEST_SUITE_P(Scripted, UiContract,
                         ::testing::Values(UiHost{[] { return std::make_unique<ScriptedUi>(); },
                                                  [](Ui& ui, const std::u16string& caption, int timer) {
                                                    static_cast<ScriptedUi&>(ui).OnDialog(
                                                        caption, [timer](ScriptedDialog& d) { d.FireTimer(timer); });
                                                  }}));

}  // namespace tc
