// What kind of program a desktop JAR holds, judged from its manifest and class files before it starts.
#pragma once

#include <cstdint>
#include <string>

#include "formats/AttributeFile.h"
#include "formats/JarReader.h"
#include "platform/Files.h"

namespace tc {

// Console: a program for the command line; Window: one that shows windows; Unknown: can't be sure, so it starts
// as any program does.
enum class ProgramKind { Unknown, Window, Console };

struct ProgramLook {
  ProgramKind kind = ProgramKind::Unknown;
  bool usesJavaFx = false;  // the manifest names a JavaFX application, or a walked class names javafx/
  std::uint32_t classesWalked = 0;
  bool bringsJavaFx = false;  // its own JARs hold JavaFX: it needs none of the runtime
};

// `jar` is the archive at `archivePath`, open, and `manifest` its manifest; the JARs its Class-Path names are
// opened beside it through `files`. Bounded in classes walked and bytes inflated, whatever the archive holds.
ProgramLook LookAtProgram(Files& files, const std::u16string& archivePath, JarReader& jar,
                          const AttributeFile& manifest);

}  // namespace tc
