// The update check as the user sees it: the progress dialog, its worker's steps, cancelling, and the result.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Styles.h"
#include "unit/HostMachine.h"
#include "unit/update/ReplyBuilder.h"
#include "update/UpdateChecker.h"

namespace tc {
namespace {

using namespace test;

constexpr WindowId kOwner = 0x4242;
const std::u16string kCaption = u"Checking for Updates";
const std::u16string kError = u"Server connection error. Please check your Internet connection.";
const std::u16string kUpdates = u"There are some updates for the program.";
const std::u16string kLatest = u"This is the latest version of the program.";

class UpdateCheckTest : public ::testing::Test {
 protected:
  const std::u16string address = UpdateChecker(TC_UPDATE_URL).RequestAddress();

  void Serve(std::uint32_t version, std::string downloadUrl = "http://www.tessaly.example/download/") {
    machine.http.Serve(address, {ValidBody(version, downloadUrl)});
  }

  // Runs the check with a user who does nothing; `act` may cancel at a chosen moment.
  void Run() {
    machine.ui.OnDialog(kCaption, [&](ScriptedDialog& d) {
      dialog = &d;
      openRange = d.ProgressRange(IDC_UPDATE_PROGRESS);
      openPosition = d.Progress(IDC_UPDATE_PROGRESS);
      machine.threads.RunWorkers();
      while (!d.HasEnded() && d.DeliverPosted()) positions.push_back(d.Progress(IDC_UPDATE_PROGRESS));
      cancelEnabled = d.IsEnabled(kIdCancel);
      endCode = d.EndCode();
      dialog = nullptr;
    });
    RunUpdateCheck(machine.context, kOwner);
    EXPECT_TRUE(machine.ui.problems.empty()) << machine.ui.problems.front();
  }

  void CancelAtWait(int which) {
    machine.threads.whileWaiting = [this, which, count = 0](std::uint32_t) mutable {
      if (++count == which) dialog->Click(kIdCancel);
    };
  }

  std::vector<std::u16string> MessageTexts() const {
    std::vector<std::u16string> texts;
    for (const auto& message : machine.ui.messages) texts.push_back(message.text);
    return texts;
  }

  HostMachine machine;
  ScriptedDialog* dialog = nullptr;
  std::pair<int, int> openRange;
  int openPosition = -1;
  std::vector<int> positions;  // after each post the dialog received
  bool cancelEnabled = true;
  int endCode = -1;
};

TEST_F(UpdateCheckTest, ShowsTheProgressDialogOwnedByTheCaller) {
  Serve(OwnVersion);
  DialogTemplate shown;
  machine.ui.OnDialog(kCaption, [&](ScriptedDialog& d) {
    shown = d.Template();
    machine.threads.RunWorkers();
    while (d.DeliverPosted()) {
    }
  });
  RunUpdateCheck(machine.context, kOwner);
  EXPECT_EQ(machine.ui.dialogOwners, std::vector<WindowId>{kOwner});
  EXPECT_EQ(shown.rect.width, 186);
  EXPECT_EQ(shown.rect.height, 47);
  EXPECT_EQ(shown.font, u"MS Shell Dlg");
  EXPECT_EQ(shown.pointSize, 8);
  EXPECT_EQ(shown.style & style::kSysMenu, style::kSysMenu);
  ASSERT_EQ(shown.controls.size(), 2u);
  const ControlTemplate& bar = shown.controls[0];
  EXPECT_EQ(bar.id, IDC_UPDATE_PROGRESS);
  EXPECT_EQ(bar.className, control::kProgress);
  EXPECT_EQ((std::vector<int>{bar.rect.x, bar.rect.y, bar.rect.width, bar.rect.height}),
            (std::vector<int>{7, 7, 172, 14}));
  EXPECT_EQ(bar.style & style::kBorder, style::kBorder);
  const ControlTemplate& cancel = shown.controls[1];
  EXPECT_EQ(cancel.id, kIdCancel);
  EXPECT_EQ(cancel.text, u"Cancel");
  EXPECT_EQ((std::vector<int>{cancel.rect.x, cancel.rect.y, cancel.rect.width, cancel.rect.height}),
            (std::vector<int>{68, 26, 50, 14}));
}

TEST_F(UpdateCheckTest, TellsTheResultByTheServersVersion) {
  const struct {
    std::uint32_t version;
    std::u16string message;
    bool opens;
  } cases[] = {
      {0x01010101, kUpdates, true},   // 1.1.1.1
      {0x02000000, kUpdates, true},   // 2.0.0.0
      {0xFFFFFFFF, kUpdates, true},   // compared unsigned
      {OwnVersion, kLatest, false},   // 1.1.1.0
      {0x010100FF, kLatest, false},   // 1.1.0.255
      {0x00000000, kLatest, false},
  };
  for (const auto& c : cases) {
    HostMachine fresh;
    fresh.http.Serve(address, {ValidBody(c.version, "http://www.tessaly.example/download/")});
    fresh.ui.OnDialog(kCaption, [&](ScriptedDialog& d) {
      fresh.threads.RunWorkers();
      while (d.DeliverPosted()) {
      }
    });
    RunUpdateCheck(fresh.context, kOwner);
    ASSERT_EQ(fresh.ui.messages.size(), 1u) << c.version;
    const auto& shown = fresh.ui.messages[0];
    EXPECT_EQ(shown.text, c.message) << c.version;
    EXPECT_EQ(shown.caption, u"Complete");
    EXPECT_EQ(shown.icon, MessageIcon::None);
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    EXPECT_EQ(shown.owner, kOwner);
    EXPECT_EQ(fresh.shell.opened,
              c.opens ? std::vector<std::u16string>{u"http://www.tessaly.example/download/"}
                      : std::vector<std::u16string>{})
        << c.version;
  }
}

TEST_F(UpdateCheckTest, ASuccessStepsThroughTheProgressAndStaysOpenForAtLeast600Ms) {
  Serve(0x01010101);
  std::vector<std::size_t> postsAtWaits;
  machine.threads.whileWaiting = [&](std::uint32_t) { postsAtWaits.push_back(dialog->PostsWaiting()); };
  Run();
  EXPECT_EQ(openRange, (std::pair<int, int>{0, 3}));
  EXPECT_EQ(openPosition, 0);
  EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 3}));  // the last post ends the dialog
  EXPECT_EQ(endCode, kIdOk);
  EXPECT_EQ(machine.threads.waits, (std::vector<std::uint32_t>{200, 200, 200}));
  // Nothing before the first wait; progress 1 and 2 before the second; 3 before the third; the end after it.
  EXPECT_EQ(postsAtWaits, (std::vector<std::size_t>{0, 2, 3}));
  EXPECT_EQ(machine.http.requests.size(), 1u);
}

TEST_F(UpdateCheckTest, AFailedRequestEndsAfterTheFirstStepWithTheErrorMessage) {
  Run();  // nothing serves the address
  EXPECT_EQ(positions, (std::vector<int>{1, 1}));
  EXPECT_EQ(endCode, kIdOk);
  EXPECT_EQ(machine.threads.waits, std::vector<std::uint32_t>{200});
  ASSERT_EQ(machine.ui.messages.size(), 1u);
  EXPECT_EQ(machine.ui.messages[0].text, kError);
  EXPECT_EQ(machine.ui.messages[0].caption, u"Error");
  EXPECT_EQ(machine.ui.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(machine.ui.messages[0].owner, kOwner);
  EXPECT_TRUE(machine.shell.opened.empty());
}

TEST_F(UpdateCheckTest, AnInvalidReplyGivesTheErrorMessage) {
  const std::string bodies[] = {
      "<html>Not here</html>",
      ValidBody(0x02000000, "http://a.test/") + "\n",
      Body(VersionRecord(0x02000000)),
      Body(VersionRecord(0x02000000) + VersionRecord(0x02000000) + AddressRecord("http://a.test/")),
      Body(Record(1, std::string("\x02\x00\x00", 3)) + AddressRecord("http://a.test/")),
  };
  for (const std::string& body : bodies) {
    HostMachine fresh;
    fresh.http.Serve(address, {body});
    fresh.ui.OnDialog(kCaption, [&](ScriptedDialog& d) {
      fresh.threads.RunWorkers();
      while (d.DeliverPosted()) {
      }
    });
    RunUpdateCheck(fresh.context, kOwner);
    std::vector<std::u16string> texts;
    for (const auto& message : fresh.ui.messages) texts.push_back(message.text);
    EXPECT_EQ(texts, std::vector<std::u16string>{kError}) << body;
    EXPECT_TRUE(fresh.shell.opened.empty()) << body;
  }
}

TEST_F(UpdateCheckTest, ANewerVersionWithAnAddressThatIsNotOnTheWebOpensNothing) {
  Serve(0x09000000, "C:\\Windows\\System32\\calc.exe");
  Run();
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{kError});
  EXPECT_TRUE(machine.shell.opened.empty());
}

TEST_F(UpdateCheckTest, CancelBeforeTheRequestSendsNothingAndSaysNothing) {
  Serve(0x02000000);
  CancelAtWait(1);
  Run();
  EXPECT_TRUE(machine.http.requests.empty());
  EXPECT_TRUE(machine.http.agents.empty());
  EXPECT_EQ(endCode, kIdCancel);
  EXPECT_FALSE(cancelEnabled);
  EXPECT_EQ(positions, std::vector<int>{0});
  EXPECT_TRUE(machine.ui.messages.empty());
  EXPECT_TRUE(machine.shell.opened.empty());
}

TEST_F(UpdateCheckTest, CancelDuringARequestThatFailsSaysNothing) {
  machine.http.Serve(address, {ValidBody(0x02000000, "http://a.test/"), 256, 0,
                               [&] { dialog->Click(kIdCancel); }});
  Run();
  EXPECT_EQ(machine.http.requests.size(), 1u);
  EXPECT_EQ(endCode, kIdCancel);
  EXPECT_TRUE(machine.ui.messages.empty());
}

TEST_F(UpdateCheckTest, CancelAtAnyLaterStepSaysNothingAndOpensNothing) {
  // The close box and Escape arrive as Cancel too.
  const struct {
    const char* name;
    int wait;             // cancel in this wait; 0: while the request is sent
    bool byCloseBox;
    std::vector<std::uint32_t> waits;
  } cases[] = {
      {"during a request that succeeds", 0, false, {200}},
      {"in the second wait", 2, false, {200, 200}},
      {"in the third wait", 3, true, {200, 200, 200}},
  };
  for (const auto& c : cases) {
    HostMachine fresh;
    ScriptedDialog* shown = nullptr;
    const auto cancel = [&] { c.byCloseBox ? shown->Close() : shown->Click(kIdCancel); };
    ScriptedHttp::Reply reply{ValidBody(0x02000000, "http://a.test/")};
    if (c.wait == 0) reply.whileSending = cancel;
    fresh.http.Serve(address, reply);
    fresh.threads.whileWaiting = [&, count = 0](std::uint32_t) mutable {
      if (++count == c.wait) cancel();
    };
    int code = -1;
    fresh.ui.OnDialog(kCaption, [&](ScriptedDialog& d) {
      shown = &d;
      fresh.threads.RunWorkers();
      while (d.DeliverPosted()) {
      }
      EXPECT_FALSE(d.IsEnabled(kIdCancel)) << c.name;
      code = d.EndCode();
    });
    RunUpdateCheck(fresh.context, kOwner);
    EXPECT_EQ(code, kIdCancel) << c.name;
    EXPECT_EQ(fresh.threads.waits, c.waits) << c.name;
    EXPECT_TRUE(fresh.ui.messages.empty()) << c.name;
    EXPECT_TRUE(fresh.shell.opened.empty()) << c.name;
  }
}

TEST_F(UpdateCheckTest, CancelOnlyAsksTheWorkerToStop) {
  Serve(OwnVersion);
  bool openAfterCancel = false;
  machine.ui.OnDialog(kCaption, [&](ScriptedDialog& d) {
    d.Click(kIdCancel);
    openAfterCancel = !d.HasEnded();
    d.Close();  // a second request changes nothing
    machine.threads.RunWorkers();
    while (d.DeliverPosted()) {
    }
    endCode = d.EndCode();
  });
  RunUpdateCheck(machine.context, kOwner);
  EXPECT_TRUE(openAfterCancel);
  EXPECT_EQ(endCode, kIdCancel);
  EXPECT_TRUE(machine.ui.messages.empty());
}

TEST_F(UpdateCheckTest, WithoutAWorkerTheCheckFailsAtOnce) {
  Serve(0x02000000);
  machine.threads.canStart = false;
  RunUpdateCheck(machine.context, kOwner);  // the dialog ends in its opening, with no script
  EXPECT_EQ(machine.ui.dialogsShown, std::vector<std::u16string>{kCaption});
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{kError});
  EXPECT_TRUE(machine.http.requests.empty());
}

TEST_F(UpdateCheckTest, PostsAfterTheDialogEndedGoNowhere) {
  Serve(OwnVersion);
  std::shared_ptr<DialogPoster> poster;
  machine.ui.OnDialog(kCaption, [&](ScriptedDialog& d) {
    poster = d.Poster();
    machine.threads.RunWorkers();
    while (d.DeliverPosted()) {
    }
    poster->Post(1, 2);  // as a late worker would
    EXPECT_EQ(d.PostsWaiting(), 0u);
    EXPECT_FALSE(d.DeliverPosted());
  });
  RunUpdateCheck(machine.context, kOwner);
  poster->Post(1, 3);  // the dialog is gone
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{kLatest});
}

}  // namespace
}  // namespace tc

namespace tc {
namespace {

// The "Check for Updates..." links: each runs the check with its own dialog as the owner.
TEST(UpdateCheckLinks, RunTheCheckOwnedByTheirDialog) {
  const struct {
    std::u16string caption;
    std::function<void(Context&)> open;
  } dialogs[] = {
      {u"Tessaly Corvalo Setup", [](Context& c) { RunSetupDialog(c, kNoWindow); }},
      {u"J2SE Starter Select", [](Context& c) { RunSelectionDialog(c, StarterKind::J2se, kNoWindow); }},
      {u"J2ME Starter Select", [](Context& c) { RunSelectionDialog(c, StarterKind::J2me, kNoWindow); }},
  };
  for (const auto& d : dialogs) {
    HostMachine machine;
    machine.http.Serve(UpdateChecker(TC_UPDATE_URL).RequestAddress(), {ValidBody(OwnVersion, "http://a.test/")});
    WindowId owner = kNoWindow;
    machine.ui.OnDialog(d.caption, [&](ScriptedDialog& dialog) {
      owner = dialog.Id();
      dialog.Click(IDL_CHECK_FOR_UPDATES);
      dialog.Click(kIdCancel);
    });
    machine.ui.OnDialog(u"Checking for Updates", [&](ScriptedDialog& progress) {
      machine.threads.RunWorkers();
      while (progress.DeliverPosted()) {
      }
    });
    d.open(machine.context);
    EXPECT_TRUE(machine.ui.problems.empty()) << ToUtf8(d.caption);
    ASSERT_EQ(machine.ui.dialogOwners.size(), 2u) << ToUtf8(d.caption);
    EXPECT_EQ(machine.ui.dialogOwners[1], owner) << ToUtf8(d.caption);
    ASSERT_EQ(machine.ui.messages.size(), 1u) << ToUtf8(d.caption);
    EXPECT_EQ(machine.ui.messages[0].text, kLatest);
    EXPECT_EQ(machine.ui.messages[0].owner, owner);
  }
}

}  // namespace
}  // namespace tc
