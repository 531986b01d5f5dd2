// The size-mismatch dialog: what it says, and which answer each of its buttons gives.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>

#include "platform/host/ScriptedUi.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Styles.h"

namespace tc {
namespace {

TEST(SizeMismatchDialog, ShowsBothSizesWithoutAPrefixOrOwner) {
  ScriptedUi ui;
  std::u16string text;
  DialogTemplate shown;
  ui.OnDialog(u"Tessaly Corvalo", [&](ScriptedDialog& d) {
    text = d.Text(IDC_SIZE_MISMATCH_TEXT);
    shown = d.Template();
    d.Click(kIdOk);
  });
  EXPECT_EQ(RunSizeMismatchDialog(ui, 1234, 4294967295u), kIdOk);
  EXPECT_EQ(text,
            u"The size of the JAR file differs from that in the JAD file.\n"
            u"The JAR file size is 1234 bytes.\n"
            u"The \"MIDlet-Jar-Size\" attribute is 4294967295 bytes in the JAD file.");
  EXPECT_EQ(ui.dialogOwners, std::vector<WindowId>{kNoWindow});

  EXPECT_EQ(shown.rect.width, 172);
  EXPECT_EQ(shown.rect.height, 123);
  EXPECT_EQ(shown.font, u"MS Shell Dlg");
  EXPECT_EQ(shown.pointSize, 8);
  EXPECT_EQ(shown.style & (style::kCaption | style::kSysMenu | style::kDsModalFrame),
            style::kCaption | style::kSysMenu | style::kDsModalFrame);
  struct Expected {
    int id;
    std::u16string text;
    Rect rect;
    std::uint32_t style;  // bits that must be set
  };
  const Expected controls[] = {
      {IDC_STATIC, u"Warning", {7, 3, 158, 58}, style::kBsGroupBox | style::kBsCenter},
      {IDC_SIZE_MISMATCH_TEXT, {}, {14, 12, 143, 42}, style::kSsNoPrefix},
      {kIdOk, u"Correct this JAD file", {7, 66, 158, 14}, style::kBsDefPushButton},
      {IDB_TEMPORARY_JAD, u"Create a temporary JAD file", {7, 84, 158, 14}, 0},
      {kIdCancel, u"Cancel", {7, 102, 158, 14}, 0},
  };
  ASSERT_EQ(shown.controls.size(), std::size(controls));
  for (size_t i = 0; i < std::size(controls); ++i) {
    const ControlTemplate& control = shown.controls[i];
    EXPECT_EQ(control.id, controls[i].id);
    if (!controls[i].text.empty()) {
      EXPECT_EQ(control.text, controls[i].text);
    }
    EXPECT_EQ(control.rect.x, controls[i].rect.x);
    EXPECT_EQ(control.rect.y, controls[i].rect.y);
    EXPECT_EQ(control.rect.width, controls[i].rect.width);
    EXPECT_EQ(control.rect.height, controls[i].rect.height);
    EXPECT_EQ(control.style & controls[i].style, controls[i].style) << control.id;
  }
  // Only OK is the default button.
  EXPECT_EQ(shown.controls[3].style & 0xF, style::kBsPushButton);
  EXPECT_EQ(shown.controls[4].style & 0xF, style::kBsPushButton);
}

TEST(SizeMismatchDialog, EachButtonEndsWithItsOwnAnswer) {
  const std::pair<std::function<void(ScriptedDialog&)>, int> cases[] = {
      {[](ScriptedDialog& d) { d.Click(kIdOk); }, 1},
      {[](ScriptedDialog& d) { d.Click(IDB_TEMPORARY_JAD); }, 1013},
      {[](ScriptedDialog& d) { d.Click(kIdCancel); }, 2},
      {[](ScriptedDialog& d) { d.Close(); }, 2},
  };
  for (const auto& [act, code] : cases) {
    ScriptedUi ui;
    ui.OnDialog(u"Tessaly Corvalo", act);
    EXPECT_EQ(RunSizeMismatchDialog(ui, 1, 2), code);
    EXPECT_TRUE(ui.problems.empty());
  }
}

}  // namespace
}  // namespace tc
