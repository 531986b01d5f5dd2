// Opening a JAR: a desktop program goes to a J2SE starter, a MIDlet suite to its descriptor.
#include "launch/OpenArchive.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "base/Path.h"
#include "base/Text.h"
#include "formats/AttributeFile.h"
#include "formats/JarReader.h"
#include "launch/FileZone.h"
#include "launch/LaunchJ2se.h"
#include "launch/OpenDescriptor.h"
#include "launch/TemporaryCopy.h"
#include "ui/Messages.h"

namespace tc {

namespace {

bool IsMidletSuite(const AttributeFile& manifest) {
  for (const char16_t* name : {u"MIDlet-Vendor", u"MIDlet-Version", u"MicroEdition-Configuration",
                               u"MicroEdition-Profile", u"MIDlet-Name", u"MIDlet-1"}) {
    if (manifest.HasAttribute(name)) return true;
  }
  return false;
}

void ShowReadError(Ui& ui, const std::u16string& path) {
  ShowLaunchError(ui, Format(u"File \"%s\" read error.", {std::u16string_view(path)}));
}

// Opens the archive and reads its manifest; false, after the message, when either can't be had.
bool OpenWithManifest(Context& context, const std::u16string& archivePath, JarReader& jar, AttributeFile& manifest) {
  if (!jar.OpenJar(context.platform.files, archivePath)) {
    ShowReadError(context.platform.ui, archivePath);
    return false;
  }
  std::vector<std::uint8_t> bytes;
  if (!jar.ReadEntry("META-INF/MANIFEST.MF", bytes)) {
    ShowLaunchError(context.platform.ui, u"No manifest is found.");
    return false;
  }
  manifest.Parse(bytes);
  return true;
}

}  // namespace

std::optional<StarterKind> JavaFileKind(Context& context, const std::u16string& path) {
  if (EndsWithIgnoreCase(path, u".jad")) {
    if (context.platform.files.OpenForReading(path)) return StarterKind::J2me;
    ShowReadError(context.platform.ui, path);
    return std::nullopt;
  }
  JarReader jar;
  AttributeFile manifest;
  if (!OpenWithManifest(context, path, jar, manifest)) return std::nullopt;
  return IsMidletSuite(manifest) ? StarterKind::J2me : StarterKind::J2se;
}

bool OpenArchive(Context& context, const std::u16string& archivePath, bool useDefaultAction,
                 const std::u16string& externalArguments, bool inConsole) {
  Ui& ui = context.platform.ui;
  Files& files = context.platform.files;

  JarReader jar;
  AttributeFile descriptor;
  if (!OpenWithManifest(context, archivePath, jar, descriptor)) return false;
  if (!IsMidletSuite(descriptor)) {
    if (!MayStartFromItsZone(context, archivePath)) return false;
    return LaunchJ2se(context, archivePath, jar, descriptor, useDefaultAction, externalArguments, inConsole);
  }
  // The suite needs nothing more of its archive: held open through the start and its watch, it could not be
  // replaced, and an emulator that opens it for writing would fail.
  jar.CloseJar();

  const PathParts parts = SplitPath(archivePath);
  const std::u16string sibling = parts.folder + parts.baseName + u".jad";
  if (files.Attributes(sibling)) {
    return OpenDescriptor(context, sibling, useDefaultAction, externalArguments, archivePath);
  }

  const std::optional<TemporaryCopy> copy = CopyToTemporaryFolder(context, archivePath);
  if (!copy) return false;

  // The manifest's sections run together into one descriptor, every line ended by LF.
  descriptor.RemoveAttribute(u"Manifest-Version");
  descriptor.RemoveEmptyLines();
  descriptor.SetAllLineEndings(u"\n");

  std::uint32_t size = 0;
  {
    const std::unique_ptr<FileReader> archive = files.OpenForReading(copy->archivePath);
    if (!archive) {
      ShowLaunchError(ui, Format(u"File \"%s\" read error.", {std::u16string_view(copy->archivePath)}));
      return false;
    }
    const std::optional<std::uint64_t> archiveSize = archive->Size();
    if (!archiveSize || *archiveSize > std::numeric_limits<std::uint32_t>::max()) {
      ShowLaunchError(ui, u"Invalid JAR file size.");
      return false;
    }
    size = static_cast<std::uint32_t>(*archiveSize);
  }
  descriptor.SetValue(u"MIDlet-Jar-Size", Format(u"%u", {size}));
  descriptor.SetValue(u"MIDlet-Jar-URL", copy->archiveName);
  // Lines appended to a descriptor of fewer than two lines would end with LF CR, which a descriptor reader
  // takes for an empty line between attributes.
  descriptor.SetAllLineEndings(u"\n");

  std::vector<std::uint8_t> bytes;
  descriptor.Serialize(bytes);
  if (!WriteWholeFile(files, copy->descriptorPath, bytes)) {
    ShowLaunchError(ui, Format(u"File \"%s\" write error.", {std::u16string_view(copy->descriptorPath)}));
    return false;
  }
  return OpenDescriptor(context, copy->descriptorPath, useDefaultAction, externalArguments, archivePath);
}

}  // namespace tc
