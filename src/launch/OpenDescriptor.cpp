// Opening a JAD descriptor: checked against its archive, repaired if the user wants, started with a J2ME starter.
#include "launch/OpenDescriptor.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "base/Text.h"
#include "formats/AttributeFile.h"
#include "launch/ChooseStarter.h"
#include "launch/TemporaryCopy.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

namespace tc {

namespace {

// The declared size as the dialog shows it: negative numbers wrap as unsigned ones do, larger ones saturate.
std::uint32_t ShownSize(std::int64_t declared) {
  constexpr std::int64_t kMax = std::numeric_limits<std::uint32_t>::max();
  return declared > kMax ? static_cast<std::uint32_t>(kMax) : static_cast<std::uint32_t>(declared);
}

// The archive's size; nullopt after the message was shown.
std::optional<std::uint32_t> ArchiveSize(Context& context, const std::u16string& archivePath) {
  Ui& ui = context.platform.ui;
  const std::unique_ptr<FileReader> archive = context.platform.files.OpenForReading(archivePath);
  if (!archive) {
    ShowLaunchError(ui, Format(u"File \"%s\" read error.", {std::u16string_view(archivePath)}));
    return std::nullopt;
  }
  const std::optional<std::uint64_t> size = archive->Size();
  // A descriptor declares the size in 32 bits; a larger archive can't be described, let alone started.
  if (!size || *size > std::numeric_limits<std::uint32_t>::max()) {
    ShowLaunchError(ui, u"Invalid JAR file size.");
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(*size);
}

}  // namespace

bool OpenDescriptor(Context& context, const std::u16string& descriptorPath, bool useDefaultAction,
                    const std::u16string& externalArguments) {
  Ui& ui = context.platform.ui;
  Files& files = context.platform.files;
  std::u16string descriptor = descriptorPath;

  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(files, descriptor, bytes)) {
    ShowLaunchError(ui, Format(u"File \"%s\" read error.", {std::u16string_view(descriptor)}));
    return false;
  }
  AttributeFile attributes;
  attributes.Parse(bytes);

  const std::u16string sizeText = attributes.GetValue(u"MIDlet-Jar-Size", true);
  if (sizeText.empty()) {
    ShowLaunchError(ui, u"No \"MIDlet-Jar-Size\" attribute is defined in the JAD file.");
    return false;
  }
  const std::int64_t declaredSize = ParseLeadingDecimal(sizeText);
  const std::u16string url = attributes.GetValue(u"MIDlet-Jar-URL", true);
  if (url.empty()) {
    ShowLaunchError(ui, u"No \"MIDlet-Jar-URL\" attribute is defined in the JAD file.");
    return false;
  }

  // A relative address is taken from the descriptor's folder; one with a scheme names no file and fails to open.
  const std::u16string folder = SplitPath(descriptor).folder;
  std::u16string archive = files.CombinePath(folder, url).value_or(folder + url);
  const std::optional<std::uint32_t> realSize = ArchiveSize(context, archive);
  if (!realSize) return false;

  if (declaredSize != *realSize) {
    attributes.SetValue(u"MIDlet-Jar-Size", Format(u"%u", {*realSize}));
    const int choice = RunSizeMismatchDialog(ui, *realSize, ShownSize(declaredSize));
    if (choice == IDB_TEMPORARY_JAD) {
      const std::optional<TemporaryCopy> copy = CopyToTemporaryFolder(context, archive);
      if (!copy) return false;
      descriptor = copy->descriptorPath;
      archive = copy->archivePath;
      attributes.SetValue(u"MIDlet-Jar-URL", copy->archiveName);
    } else if (choice != kIdOk) {
      return false;  // cancelled: nothing written
    }
    attributes.Serialize(bytes);
    if (!WriteWholeFile(files, descriptor, bytes)) {
      ShowLaunchError(ui, Format(u"File \"%s\" write error.", {std::u16string_view(descriptor)}));
      return false;
    }
  }

  const std::uint32_t slot = ChooseStarter(context, StarterKind::J2me, useDefaultAction);
  if (slot == 0) return false;
  return StartStarter(context, StarterKind::J2me, slot, {descriptor, archive}, externalArguments);
}

}  // namespace tc
