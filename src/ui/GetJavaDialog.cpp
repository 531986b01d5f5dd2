// "Tessaly Corvalo" Get Java dialog, and the dialog shown while winget installs the Java the user chose.
#include "base/Text.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Styles.h"
#include "ui/WarningTemplate.h"

namespace tc {

namespace {

constexpr int kWidth = 232;
// How often the installing dialog looks whether winget has ended.
constexpr std::uint32_t kPollMilliseconds = 250;

DialogTemplate GetJavaTemplate(const GetJavaOffer& offer) {
  const std::u16string text = Format(u"This program needs Java %u or newer, and no Java that can run it is set up.\n"
                                     u"Java %u is free to install from Eclipse Adoptium.",
                                     {offer.required, offer.offered});
  std::vector<WarningAnswer> answers;
  if (offer.withWinget) answers.push_back({kIdOk, Format(u"Install Java %u", {offer.offered})});
  answers.push_back({IDB_OPEN_DOWNLOAD_PAGE, u"Open Download Page"});
  answers.push_back({kIdCancel, u"Cancel"});
  return WarningTemplate({.width = kWidth,
                          .textId = IDC_GET_JAVA_TEXT,
                          .text = text,
                          .answers = std::move(answers),
                          .defaultId = offer.withWinget ? kIdOk : kIdCancel});
}

class GetJavaHandler final : public DialogHandler {
 public:
  void OnCommand(DialogWindow& window, int control, int code) override {
    if (control == kIdOk || control == IDB_OPEN_DOWNLOAD_PAGE || control == kIdCancel) window.End(control);
  }
};

DialogTemplate InstallingTemplate(std::uint32_t version) {
  using namespace style;
  return DialogTemplate{
      u"Tessaly Corvalo",
      {0, 0, kWidth, 73},
      kModalDialog | kDsShellFont,
      0,
      u"MS Shell Dlg",
      8,
      {
          {IDC_INSTALLING_TEXT, control::kStatic,
           Format(u"Installing Java %u with winget. This window closes by itself when the installation has ended.",
                  {version}),
           {7, 7, kWidth - 14, 20}, kSsLeft | kSsNoPrefix},
          {IDC_INSTALLING_PROGRESS, control::kProgress, u"", {7, 32, kWidth - 14, 12}, kPbsMarquee | kBorder},
          {kIdCancel, control::kButton, u"Cancel", {(kWidth - 50) / 2, 52, 50, 14},
           kBsDefPushButton | kGroup | kTabStop},
      }};
}

class InstallingHandler final : public DialogHandler {
 public:
  InstallingHandler(ChildProcess& winget, std::uint32_t& exitCode) : winget_(winget), exitCode_(exitCode) {}

  void OnOpen(DialogWindow& window) override { window.StartTimer(IDT_INSTALL_ENDED, kPollMilliseconds); }

  void OnTimer(DialogWindow& window, int timer) override {
    if (const std::optional<std::uint32_t> code = winget_.ExitCode()) {
      exitCode_ = *code;
      window.End(kIdOk);
    } else {
      window.StartTimer(IDT_INSTALL_ENDED, kPollMilliseconds);
    }
  }

  // Only Cancel, Escape and the close box end it by hand.
  void OnCommand(DialogWindow& window, int control, int code) override {
    if (control == kIdCancel) window.End(kIdCancel);
  }

 private:
  ChildProcess& winget_;
  std::uint32_t& exitCode_;
};

}  // namespace

int RunGetJavaDialog(Ui& ui, const GetJavaOffer& offer) {
  GetJavaHandler handler;
  return ui.RunModal(GetJavaTemplate(offer), handler, kNoWindow);
}

int RunInstallingJavaDialog(Ui& ui, std::uint32_t version, ChildProcess& winget, std::uint32_t& exitCode) {
  InstallingHandler handler(winget, exitCode);
  return ui.RunModal(InstallingTemplate(version), handler, kNoWindow);
}

}  // namespace tc
