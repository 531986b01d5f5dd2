// Opening a JAD descriptor: checked against its archive, repaired if the user wants, started with a J2ME starter.
#include "launch/OpenDescriptor.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "base/Path.h"
#include "base/Text.h"
#include "catalogue/FileOptions.h"
#include "formats/AttributeFile.h"
#include "formats/JarReader.h"
#include "launch/ArchiveAddress.h"
#include "launch/ChooseStarter.h"
#include "launch/GameScreenSize.h"
#include "launch/StartStarter.h"
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

bool CanOpen(Files& files, const std::u16string& path) { return files.OpenForReading(path) != nullptr; }

// Where the archive lies when the descriptor's address doesn't lead to it, as with descriptors from download
// sites: the file a "file:" URL names, the URL's last segment beside the descriptor, then the descriptor's own
// name with ".jar". Nothing with a scheme other than "file:" is ever handed to the file system.
std::optional<std::u16string> FindArchiveElsewhere(Files& files, const std::u16string& descriptor,
                                                   const std::u16string& url) {
  const PathParts parts = SplitPath(descriptor);
  if (const std::optional<std::u16string> local = FileUrlPath(url)) {
    const std::u16string path = files.CombinePath(parts.folder, *local).value_or(*local);
    if (CanOpen(files, path)) return path;
  }
  if (const std::optional<std::u16string> name = LastSegmentName(url)) {
    if (CanOpen(files, parts.folder + *name)) return parts.folder + *name;
  }
  const std::u16string sameName = parts.folder + parts.baseName + u".jar";
  if (CanOpen(files, sameName)) return sameName;
  return std::nullopt;
}

// The archive's manifest, empty when it has none that can be read; the archive is closed again at once.
AttributeFile ReadManifest(Files& files, const std::u16string& archive) {
  AttributeFile manifest;
  JarReader jar;
  std::vector<std::uint8_t> bytes;
  if (jar.OpenJar(files, archive) && jar.ReadEntry("META-INF/MANIFEST.MF", bytes)) manifest.Parse(bytes);
  return manifest;
}

}  // namespace

bool OpenDescriptor(Context& context, const std::u16string& descriptorPath, bool useDefaultAction,
                    const std::u16string& externalArguments, const std::u16string& openedFile) {
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

  // A relative address is taken from the descriptor's folder.
  const std::u16string folder = SplitPath(descriptor).folder;
  std::u16string archive = files.CombinePath(folder, url).value_or(folder + url);
  bool elsewhere = false;
  if (HasScheme(url) || !CanOpen(files, archive)) {
    if (std::optional<std::u16string> found = FindArchiveElsewhere(files, descriptor, url)) {
      archive = std::move(*found);
      elsewhere = true;
    } else if (HasScheme(url)) {
      ShowLaunchError(ui, Format(u"File \"%s\" read error.", {std::u16string_view(archive)}));
      return false;
    }
  }
  const std::optional<std::uint32_t> realSize = ArchiveSize(context, archive);
  if (!realSize) return false;
  // Named from the user's files, not from the temporary pair they may be started from.
  const ScreenSize screen = GameScreenSize(attributes, ReadManifest(files, archive),
                                           openedFile.empty() ? archive : openedFile, descriptorPath);

  if (elsewhere || declaredSize != *realSize) {
    attributes.SetValue(u"MIDlet-Jar-Size", Format(u"%u", {*realSize}));
    // An archive found elsewhere is not what the descriptor names, and an emulator reading the descriptor would
    // look for the address again: it is started from the temporary pair, with nothing for the user to decide.
    const int choice = elsewhere ? IDB_TEMPORARY_JAD : RunSizeMismatchDialog(ui, *realSize, ShownSize(declaredSize));
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
    if (!ReplaceWholeFile(files, descriptor, bytes)) {
      ShowLaunchError(ui, Format(u"File \"%s\" write error.", {std::u16string_view(descriptor)}));
      return false;
    }
  }

  const std::u16string& shown = openedFile.empty() ? descriptorPath : openedFile;
  const FileOptions options = OptionsOfFile(context.platform.registry, files, shown);
  const std::uint32_t slot = ChooseStarter(context, StarterKind::J2me, useDefaultAction, options.starter);
  if (slot == 0) return false;
  const ScreenSize chosen = options.width != 0 ? ScreenSize{options.width, options.height} : screen;
  return StartStarter(context, StarterKind::J2me, slot,
                      {{descriptor, archive}, ArgumentsOfLaunch(options, externalArguments), shown, {}, {}, chosen});
}

}  // namespace tc
