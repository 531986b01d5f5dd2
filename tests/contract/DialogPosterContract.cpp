// The dialog poster contract, and its run on the scripted host.
#include "contract/DialogPosterContract.h"

#include <thread>
#include <utility>
#include <vector>

#include "platform/host/ScriptedUi.h"
#include "ui/Styles.h"

namespace tc {

namespace {

DialogTemplate PostedDialog() {
  using namespace style;
  return DialogTemplate{u"Poster Contract",
                        {0, 0, 120, 40},
                        kPopup | kCaption | kSysMenu | kDsModalFrame | kDsShellFont,
                        0,
                        u"MS Shell Dlg",
                        8,
                        {{kIdCancel, control::kButton, u"Cancel", {35, 20, 50, 14}, 0}}};
}

class PostedHandler final : public DialogHandler {
 public:
  void OnOpen(DialogWindow& window) override {
    poster = window.Poster();
    // Another thread posts; joined here, so all posts are waiting before the dialog takes any message.
    std::thread worker([target = poster] {
      target->Post(1, 10);
      target->Post(2, -20);
      target->Post(3, 30);  // still waiting when the dialog ends: dropped
    });
    worker.join();
  }
  void OnPosted(DialogWindow& window, int message, std::intptr_t value) override {
    received.emplace_back(message, value);
    if (message == 2) {
      window.End(7);
      poster->Post(4, 40);  // after the end: dropped
    }
  }

  std::shared_ptr<DialogPoster> poster;
  std::vector<std::pair<int, std::intptr_t>> received;
};

}  // namespace

TEST_P(DialogPosterContract, PostsFromAnotherThreadArriveInOrderUntilTheDialogEnds) {
  auto ui = GetParam().make();
  PostedHandler handler;
  GetParam().letPostsArrive(*ui, u"Poster Contract");
  EXPECT_EQ(ui->RunModal(PostedDialog(), handler, kNoWindow), 7);
  EXPECT_EQ(handler.received, (std::vector<std::pair<int, std::intptr_t>>{{1, 10}, {2, -20}}));
  ASSERT_TRUE(handler.poster);
  handler.poster->Post(5, 50);  // the dialog is gone: nothing happens
}

INSTANTIATE_TEST_SUITE_P(Scripted, DialogPosterContract,
                         ::testing::Values(PosterHost{[] { return std::make_unique<ScriptedUi>(); },
                                                      [](Ui& ui, const std::u16string& caption) {
                                                        static_cast<ScriptedUi&>(ui).OnDialog(
                                                            caption, [](ScriptedDialog& d) {
                                                              while (d.DeliverPosted()) {
                                                              }
                                                            });
                                                      }}));

}  // namespace tc
