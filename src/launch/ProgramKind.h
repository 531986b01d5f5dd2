// What kind of program a desktop JAR holds, judged from its manifest and class files before it starts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/AttributeFile.h"
#include "formats/JarReader.h"
#include "platform/Files.h"

namespace tc {

// Console: a program for the command line; Window: one that shows windows; Unknown: can't be sure, so it starts
// as any program does.
enum class ProgramKind { Unknown, Window, Console };

// A class that names a class in one of these packages belongs to a program that shows windows.
inline constexpr std::string_view kWindowToolkits[] = {
    "java/awt/",       "javax/swing/", "javafx/",         "java/applet/",
    "org/eclipse/swt/", "org/lwjgl/",  "com/badlogic/gdx/", "com/jogamp/",
    "processing/core/", "androidx/compose/ui/window/", "org/jetbrains/skiko/",
};

struct ProgramLook {
  ProgramKind kind = ProgramKind::Unknown;
  bool usesJavaFx = false;  // the manifest names a JavaFX application, or a walked class names javafx/
  std::uint32_t classesWalked = 0;
  bool bringsJavaFx = false;  // its own JARs hold JavaFX: it needs none of the runtime
};

// `jar` is the archive at `archivePath`, open, and `manifest` its manifest; the JARs its Class-Path names are
// opened beside it through `files`. A launcher that loads the real program by name (Eclipse's JAR-in-JAR loader,
// Spring Boot, One-JAR, Capsule) is followed to the class its manifest names, where it loads it from. Bounded in
// classes walked, bytes inflated, names looked up and JARs opened, whatever the archive holds.
ProgramLook LookAtProgram(Files& files, const std::u16string& archivePath, JarReader& jar,
                          const AttributeFile& manifest);

}  // namespace tc
