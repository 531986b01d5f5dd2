// The one pair of temporary files a MIDlet suite is started from when its own can't be used.
#include "launch/TemporaryCopy.h"

#include "base/Text.h"
#include "ui/Messages.h"

namespace tc {

std::optional<TemporaryCopy> CopyToTemporaryFolder(Context& context, const std::u16string& archivePath) {
  Files& files = context.platform.files;
  Ui& ui = context.platform.ui;
  const auto copyError = [&] {
    ShowLaunchError(ui, Format(u"File \"%s\" copy error.", {std::u16string_view(archivePath)}));
    return std::nullopt;
  };

  // Without a temporary folder the names below would land in the current folder; refuse that instead.
  const std::optional<std::u16string> temporary = files.TemporaryFolder();
  if (!temporary || temporary->empty()) return copyError();
  const std::u16string folder = files.LongPath(*temporary).value_or(*temporary);

  const std::optional<std::u16string> descriptor = files.CombinePath(folder, kTemporaryDescriptorName);
  const std::optional<std::u16string> archive = files.CombinePath(folder, kTemporaryArchiveName);
  if (!descriptor || !archive) return copyError();

  if (const std::optional<std::uint32_t> attributes = files.Attributes(*archive);
      attributes && (*attributes & attribute::kReadOnly)) {
    const std::uint32_t kept = *attributes & ~attribute::kReadOnly;
    if (!files.SetAttributes(*archive, kept ? kept : attribute::kNormal)) {
      ShowLaunchError(ui, Format(u"File \"%s\" access error.", {std::u16string_view(*archive)}));
      return std::nullopt;
    }
  }
  if (!files.CopyFile(archivePath, *archive)) return copyError();
  return TemporaryCopy{*descriptor, *archive, kTemporaryArchiveName};
}

}  // namespace tc
