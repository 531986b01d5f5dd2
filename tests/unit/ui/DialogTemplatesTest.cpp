// Every dialog's template: fonts, the keyboard's way through it, links, and controls inside the dialog.
#include <algorithm>
#include <set>

#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Styles.h"
#include "unit/ui/DialogMachine.h"

namespace tc {
namespace {

struct Opened {
  DialogTemplate dialog;
  bool okRunsAgain = false;  // its answer that goes on runs the program a second time
  int focus = 0;             // the control its handler gave the focus to, if any
  int closeCode = -1;
};

class DialogTemplatesTest : public DialogMachine {
 protected:
  // Opens every dialog of the program once, closing each with Escape, and keeps what it was built from.
  std::vector<Opened> OpenEach() {
    std::vector<Opened> opened;
    auto capture = [&](const std::u16string& caption, bool okRunsAgain = false) {
      machine.ui.OnDialog(caption, [&opened, okRunsAgain](ScriptedDialog& d) {
        opened.push_back({d.Template(), okRunsAgain, d.FocusedControl()});
        d.Close();
        opened.back().closeCode = d.EndCode();
      });
    };
    Store(StarterKind::J2se, 1, u"Java");  // no note from the setup dialog's timer
    Starter starter;
    for (StarterKind kind : {StarterKind::J2se, StarterKind::J2me}) {
      capture(kind == StarterKind::J2se ? u"J2SE Starter Select" : u"J2ME Starter Select");
      RunSelectionDialog(machine.context, kind, kNoWindow);
      capture(kind == StarterKind::J2se ? u"J2SE Starter" : u"J2ME Starter");
      RunStarterEditor(machine.context, kind, kNoWindow, starter);
      capture(kind == StarterKind::J2se ? u"Start Options - x.jar" : u"Start Options - x.jad");
      RunStartOptionsDialog(machine.context, kNoWindow, kind == StarterKind::J2se ? u"C:\\x.jar" : u"C:\\x.jad", kind);
    }
    capture(u"Tessaly Corvalo Setup");
    RunSetupDialog(machine.context, kNoWindow);
    capture(u"About");
    RunAboutBox(machine.context, kNoWindow);
    capture(u"Tessaly Corvalo");
    RunSizeMismatchDialog(machine.ui, 1, 2);
    capture(u"Tessaly Corvalo");
    RunJavaVersionDialog(machine.ui, {21, u"Java 8", 8, u"Java 21", {}});
    capture(u"Tessaly Corvalo");
    RunStartFailureDialog(machine.ui, {u"x.jar", u"It ran out of memory.", u"", u"", u"Java 21", {}});
    capture(u"Tessaly Corvalo");
    RunStartFailureDialog(machine.ui, {u"x.jar", u"It ended with exit code 1.", u"", u"", {}, {}});
    capture(u"Tessaly Corvalo", true);
    RunStartFailureDialog(machine.ui, {u"x.jar", u"", u"Usage: x IN OUT", u"", {}, {}, true, true});
    capture(u"Tessaly Corvalo");
    RunGetJavaDialog(machine.ui, {22, 25, true});
    capture(u"Tessaly Corvalo");
    RunGetJavaDialog(machine.ui, {26, 26, false});
    capture(u"Tessaly Corvalo");
    std::uint32_t exitCode = 0;
    RunInstallingJavaDialog(machine.ui, 25, *machine.processes.StartInNewConsole(u"winget").process, exitCode);
    capture(u"Security Warning");
    RunSecurityWarningDialog(machine.ui, {u"x.jar", u""});
    ExpectScriptFollowed();
    return opened;
  }

  static bool IsFocusable(const ControlTemplate& control) {
    if (control.className == control::kButton) return (control.style & 0xF) != style::kBsGroupBox;
    return control.className != control::kStatic && control.className != control::kProgress;
  }
};

TEST_F(DialogTemplatesTest, SizesAndFontsAreTheDialogsOwn) {
  const std::vector<Opened> opened = OpenEach();
  ASSERT_EQ(opened.size(), 17u);
  struct Expected {
    std::u16string caption;
    int width, height;
  };
  const Expected expected[] = {{u"J2SE Starter Select", 244, 132}, {u"J2SE Starter", 293, 107},
                               {u"Start Options - x.jar", 292, 142}, {u"J2ME Starter Select", 244, 132},
                               {u"J2ME Starter", 293, 115},          {u"Start Options - x.jad", 292, 88},
                               {u"Tessaly Corvalo Setup", 402, 167}, {u"About", 173, 79},
                               {u"Tessaly Corvalo", 172, 123},       {u"Tessaly Corvalo", 232, 123},
                               {u"Tessaly Corvalo", 320, 203},       {u"Tessaly Corvalo", 320, 185},
                               {u"Tessaly Corvalo", 320, 203},       {u"Tessaly Corvalo", 232, 123},
                               {u"Tessaly Corvalo", 232, 105},       {u"Tessaly Corvalo", 232, 73},
                               {u"Security Warning", 260, 115}};
  for (size_t i = 0; i < opened.size(); ++i) {
    const DialogTemplate& d = opened[i].dialog;
    EXPECT_EQ(d.caption, expected[i].caption);
    EXPECT_EQ(d.rect.width, expected[i].width) << ToUtf8(d.caption);
    EXPECT_EQ(d.rect.height, expected[i].height) << ToUtf8(d.caption);
    EXPECT_EQ(d.style & style::kModalDialog, style::kModalDialog) << ToUtf8(d.caption);
    EXPECT_EQ(d.pointSize, 8);
    const bool about = d.caption == u"About";
    EXPECT_EQ(d.font, about ? u"MS Sans Serif" : u"MS Shell Dlg");
    EXPECT_EQ(d.style & style::kDsShellFont, about ? style::kDsSetFont : style::kDsShellFont) << ToUtf8(d.caption);
  }
}

TEST_F(DialogTemplatesTest, TheKeyboardReachesEveryControlAndEnterAndEscapeWork) {
  for (const Opened& opened : OpenEach()) {
    const DialogTemplate& d = opened.dialog;
    const std::string name = ToUtf8(d.caption);
    EXPECT_EQ(opened.closeCode, kIdCancel) << name;  // Escape and the close box
    int defaults = 0;
    for (const ControlTemplate& control : d.controls) {
      const bool isDefault = control.className == control::kButton && (control.style & 0xF) == style::kBsDefPushButton;
      if (isDefault) {
        ++defaults;
        // Without an answer that goes on, or where going on runs the program again, the default goes no further.
        const bool goesOn = !opened.okRunsAgain &&
                            std::any_of(d.controls.begin(), d.controls.end(), [](auto& c) { return c.id == kIdOk; });
        EXPECT_EQ(control.id, goesOn ? kIdOk : kIdCancel) << name;
      }
      // Enter presses a button that has the focus, so only the default may be given it.
      if (control.id == opened.focus && control.className == control::kButton) {
        EXPECT_TRUE(isDefault) << name << " " << control.id;
      }
      EXPECT_EQ((control.style & style::kTabStop) != 0, IsFocusable(control)) << name << " " << control.id;
    }
    EXPECT_EQ(defaults, 1) << name;
    // The first control that takes the focus begins a group.
    for (const ControlTemplate& control : d.controls) {
      if (!IsFocusable(control)) continue;
      EXPECT_NE(control.style & style::kGroup, 0u) << name;
      break;
    }
  }
}

TEST_F(DialogTemplatesTest, ControlsHaveDistinctIdsAndLieInsideTheirDialog) {
  for (const Opened& opened : OpenEach()) {
    const DialogTemplate& d = opened.dialog;
    std::set<int> ids;
    for (const ControlTemplate& control : d.controls) {
      const std::string what = ToUtf8(d.caption) + " " + std::to_string(control.id);
      if (control.id != IDC_STATIC) {
        EXPECT_TRUE(ids.insert(control.id).second) << what;
      }
      EXPECT_GE(control.rect.x, 0) << what;
      EXPECT_GE(control.rect.y, 0) << what;
      EXPECT_LE(control.rect.x + control.rect.width, d.rect.width) << what;
      // A combo box's height is that of its dropped list.
      if (control.className != control::kComboBox) {
        EXPECT_LE(control.rect.y + control.rect.height, d.rect.height) << what;
      }
      if (control.className == control::kLink) {
        EXPECT_EQ(control.style & (style::kSsNotify | style::kSsNoPrefix), style::kSsNotify | style::kSsNoPrefix)
            << what;
      }
    }
  }
}

TEST_F(DialogTemplatesTest, AWarningNeverOutgrowsTheScreenItsTextScrollsInstead) {
  machine.ui.OnDialog(u"Tessaly Corvalo", [&](ScriptedDialog& d) {
    EXPECT_LE(d.Template().rect.height, 330);
    const ControlTemplate& text = d.Template().controls.at(1);
    EXPECT_EQ(text.style, style::kEsMultiline | style::kEsReadOnly | style::kVScroll);
    EXPECT_TRUE(text.className == control::kEdit && text.text.starts_with(u"\"x.jar\" stopped at once.\r\n\r\nn"));
    d.Close();
  });
  RunStartFailureDialog(machine.ui, {u"x.jar", std::u16string(240000, u'n'), u"", u"", u"Java 21", {}});
  ExpectScriptFollowed();
}

// The warnings share one layout; the size warning keeps exactly the rectangles and styles it was given.
TEST_F(DialogTemplatesTest, TheSizeWarningKeepsItsOwnLayout) {
  DialogTemplate shown;
  machine.ui.OnDialog(u"Tessaly Corvalo", [&](ScriptedDialog& d) {
    shown = d.Template();
    d.Close();
  });
  RunSizeMismatchDialog(machine.ui, 1, 2);
  using namespace style;
  struct Expected {
    int id;
    Rect rect;
    std::uint32_t style;
  };
  const Expected expected[] = {{IDC_STATIC, {7, 3, 158, 58}, kBsGroupBox | kBsCenter},
                               {IDC_SIZE_MISMATCH_TEXT, {14, 12, 143, 42}, kSsLeft | kSsNoPrefix},
                               {kIdOk, {7, 66, 158, 14}, kBsDefPushButton | kGroup | kTabStop},
                               {IDB_TEMPORARY_JAD, {7, 84, 158, 14}, kBsPushButton | kTabStop},
                               {kIdCancel, {7, 102, 158, 14}, kBsPushButton | kTabStop}};
  ASSERT_EQ(shown.controls.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const ControlTemplate& control = shown.controls[i];
    EXPECT_EQ(control.id, expected[i].id);
    EXPECT_EQ(std::tie(control.rect.x, control.rect.y, control.rect.width, control.rect.height),
              std::tie(expected[i].rect.x, expected[i].rect.y, expected[i].rect.width, expected[i].rect.height))
        << control.id;
    EXPECT_EQ(control.style, expected[i].style) << control.id;
  }
}

}  // namespace
}  // namespace tc
