// "Checking for Updates": the query runs on a worker behind a progress dialog, then one message tells the result.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Styles.h"
#include "update/UpdateChecker.h"

namespace tc {

namespace {

DialogTemplate UpdateProgressTemplate() {
  using namespace style;
  return DialogTemplate{
      u"Checking for Updates",
      {0, 0, 186, 47},
      kPopup | kCaption | kSysMenu | kDsModalFrame | kDsShellFont,
      0,
      u"MS Shell Dlg",
      8,
      {
          {IDC_UPDATE_PROGRESS, control::kProgress, u"", {7, 7, 172, 14}, kBorder},
          {kIdCancel, control::kButton, u"Cancel", {68, 26, 50, 14}, kBsPushButton | kTabStop},
      }};
}

// What the worker posts to the dialog.
enum : int { kPostProgress = 1, kPostEnd = 2 };

constexpr std::uint32_t kPause = 200;  // ms at each step, so that the progress can be seen

// Shared by the dialog and its worker; the worker holds its own reference, so it never reaches into the dialog.
struct UpdateCheckState {
  std::atomic<bool> cancelRequested{false};
  // Written by the worker before it posts the end, read on the dialog's thread once the end has arrived.
  std::mutex mutex;
  bool success = false;
  bool newer = false;
  std::u16string downloadUrl;
};

void RunWorker(UpdateCheckState& state, UpdateChecker& checker, DialogPoster& dialog, Platform& platform) {
  const auto cancelled = [&] { return state.cancelRequested.load(); };
  Threads& threads = platform.threads;
  threads.Wait(kPause);
  if (cancelled()) return dialog.Post(kPostEnd, kIdCancel);
  dialog.Post(kPostProgress, 1);
  if (!checker.CheckForUpdates(platform.http, platform.environment)) {
    return dialog.Post(kPostEnd, cancelled() ? kIdCancel : kIdOk);
  }
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.success = true;
    state.newer = checker.ServerVersion() > OwnVersion;
    state.downloadUrl = checker.DownloadUrl();
  }
  if (cancelled()) return dialog.Post(kPostEnd, kIdCancel);
  dialog.Post(kPostProgress, 2);
  threads.Wait(kPause);
  if (cancelled()) return dialog.Post(kPostEnd, kIdCancel);
  dialog.Post(kPostProgress, 3);
  threads.Wait(kPause);
  dialog.Post(kPostEnd, cancelled() ? kIdCancel : kIdOk);
}

class UpdateProgressDialog final : public DialogHandler {
 public:
  explicit UpdateProgressDialog(Platform& platform)
      : platform_(platform), state_(std::make_shared<UpdateCheckState>()) {}

  void OnOpen(DialogWindow& window) override {
    window.SetProgressRange(IDC_UPDATE_PROGRESS, 0, 3);
    window.SetProgress(IDC_UPDATE_PROGRESS, 0);
    Platform& platform = platform_;
    auto work = [state = state_, poster = window.Poster(), checker = UpdateChecker(TC_UPDATE_URL),
                 &platform]() mutable { RunWorker(*state, checker, *poster, platform); };
    const bool started = platform_.threads.StartDetached(std::move(work));
    // Only the worker ends the dialog; without one the check has failed.
    if (!started) window.End(kIdOk);
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    // Cancel, Escape and the close box only ask; the worker ends the dialog at its next step. Enter does nothing.
    if (control != kIdCancel) return;
    window.Enable(kIdCancel, false);
    state_->cancelRequested = true;
  }

  void OnPosted(DialogWindow& window, int message, std::intptr_t value) override {
    if (message == kPostProgress) window.SetProgress(IDC_UPDATE_PROGRESS, static_cast<int>(value));
    if (message == kPostEnd) window.End(static_cast<int>(value));
  }

  bool Success() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->success;
  }
  bool Newer() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->newer;
  }
  std::u16string DownloadUrl() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->downloadUrl;
  }

 private:
  Platform& platform_;
  std::shared_ptr<UpdateCheckState> state_;
};

}  // namespace

void RunUpdateCheck(Context& context, WindowId owner) {
  Platform& platform = context.platform;
  // An organisation that updates the program itself wants no request to leave the computer.
  if (context.Policy().disableUpdateCheck) {
    platform.ui.ShowMessage(owner, u"Updates of Tessaly Corvalo are managed by your organisation.", u"Tessaly Corvalo",
                            MessageIcon::Information, MessageButtons::Ok);
    return;
  }
  UpdateProgressDialog dialog(platform);
  if (platform.ui.RunModal(UpdateProgressTemplate(), dialog, owner) == kIdCancel) return;
  if (!dialog.Success()) {
    platform.ui.ShowMessage(owner, u"Server connection error. Please check your Internet connection.", u"Error",
                            MessageIcon::Error, MessageButtons::Ok);
  } else if (dialog.Newer()) {
    platform.ui.ShowMessage(owner, u"There are some updates for the program.", u"Complete", MessageIcon::None,
                            MessageButtons::Ok);
    platform.shell.Open(dialog.DownloadUrl());
  } else {
    platform.ui.ShowMessage(owner, u"This is the latest version of the program.", u"Complete", MessageIcon::None,
                            MessageButtons::Ok);
  }
}

}  // namespace tc
