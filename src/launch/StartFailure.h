// Why a program that stopped at once failed, told from what it wrote: the table of what Java says and what it
// means, and the output as a person reads it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Environment.h"

namespace tc {

// What a diagnosis quotes (a name, the options) is cut to this, so that the dialog stays on the screen.
constexpr std::size_t kMaxQuoted = 100;

// What a failed start is judged by.
struct StartFailure {
  std::u16string output;          // what the child wrote, as OutputText makes it
  std::uint32_t exitCode = 0;
  std::u16string starterName;
  std::uint32_t starterJava = 0;   // the Java the starter runs; 0 when unknown
  std::uint32_t requiredJava = 0;  // the Java the JAR's main class needs; 0 when unknown
  std::u16string mainClass;        // the manifest's "Main-Class" when the starter runs the JAR by it, else ""
  std::u16string classPath;        // the manifest's "Class-Path"
  std::u16string archiveFolder;    // the folder the "Class-Path" is relative to
  // A file's path that the starter was given although the system's code page can't hold it, as the starter read
  // it ("C:\Games\????.jar"); "" when every path fitted.
  std::u16string pathReadWrongly;
};

enum class FailureKind {
  NewerJava = 1,
  JavaFx,
  PathOutsideCodePage,
  FilesMissing,
  MainClassMissing,
  Needs32Bit,
  BadJavaOptions,
  OutOfMemory,
  ExitCode,
};

struct Diagnosis {
  FailureKind kind = FailureKind::ExitCode;
  std::u16string text;
  std::uint32_t requiredJava = 0;  // NewerJava: the Java it needs
};

// The first row of the table that the output matches. `exists` tells whether a file the "Class-Path" names is
// there; it is asked only when the output says a class is missing.
Diagnosis DiagnoseStartFailure(const StartFailure& failure, const std::function<bool(const std::u16string&)>& exists);

// An exit code as people read it: signed decimal, with its hexadecimal form after it when it is no small number
// ("-1073741515 (0xC0000135)").
std::u16string ExitCodeText(std::uint32_t exitCode);

// A child's output as text: UTF-16 when it writes that, else UTF-8 when the bytes are valid UTF-8, else the
// system's code page; every line end a CR LF, and every character that can't be shown a U+FFFD.
std::u16string OutputText(std::string_view bytes, Environment& environment);

// The last `count` lines of a text, line ends kept.
std::u16string LastLines(std::u16string_view text, std::size_t count);

}  // namespace tc
