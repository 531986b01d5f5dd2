// Why a program that stopped at once failed, told from what it wrote.
#include "launch/StartFailure.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "base/Text.h"
#include "launch/ClassPath.h"

namespace tc {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
// Java names a class file's version by a 16-bit number; 45 is Java 1.1's, each release since adds one.
constexpr std::uint32_t kFirstClassVersion = 45;
constexpr std::uint32_t kJavaFromClassVersion = 44;
constexpr std::size_t kShownMissingFiles = 3;

bool Contains(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The highest number that directly follows `marker` anywhere in the text; 0 when none does.
std::uint32_t HighestNumberAfter(std::u16string_view text, std::u16string_view marker) {
  std::uint32_t highest = 0;
  for (std::size_t at = text.find(marker); at != std::u16string_view::npos; at = text.find(marker, at + 1)) {
    std::uint32_t number = 0;
    std::size_t i = at + marker.size();
    for (std::size_t digits = 0; i < text.size() && IsDigit(text[i]) && digits < 6; ++i, ++digits) {
      number = number * 10 + (text[i] - u'0');
    }
    highest = std::max(highest, number);
  }
  return highest;
}

// The word after `marker`: up to the next blank or line end.
std::u16string WordAfter(std::u16string_view text, std::u16string_view marker) {
  const std::size_t at = text.find(marker);
  if (at == std::u16string_view::npos) return {};
  const std::u16string_view rest = text.substr(at + marker.size());
  return std::u16string(rest.substr(0, rest.find_first_of(u" \t\r\n")));
}

std::u16string JoinNames(const std::vector<std::u16string>& names) {
  std::u16string joined;
  for (const std::u16string& name : names) {
    if (!joined.empty()) joined += u", ";
    joined += name;
  }
  return joined;
}

// The names a "Class-Path" lists that are not on the disk, the first few.
std::vector<std::u16string> MissingClassPathFiles(const StartFailure& failure,
                                                  const std::function<bool(const std::u16string&)>& exists) {
  std::vector<std::u16string> missing;
  for (const ClassPathFile& file : ClassPathFiles(failure.classPath, failure.archiveFolder)) {
    if (!exists(file.path)) missing.push_back(Clipped(file.name, kMaxQuoted));
    if (missing.size() == kShownMissingFiles) break;
  }
  return missing;
}

std::optional<Diagnosis> NewerJava(const StartFailure& failure) {
  const std::u16string_view output = failure.output;
  const std::uint32_t classVersion = std::max(HighestNumberAfter(output, u"class file version "),
                                              HighestNumberAfter(output, u"major.minor version "));
  if (classVersion == 0 && !Contains(output, u"UnsupportedClassVersionError")) return std::nullopt;
  std::uint32_t required = failure.requiredJava;
  if (classVersion >= kFirstClassVersion && classVersion <= 0xFFFF) required = classVersion - kJavaFromClassVersion;
  if (required == 0) return std::nullopt;
  const std::u16string name = Clipped(failure.starterName, kMaxQuoted);
  return Diagnosis{FailureKind::NewerJava,
                   failure.starterJava != 0
                       ? Format(u"It needs Java %u or newer; \"%s\" runs Java %u.", {required, name, failure.starterJava})
                       : Format(u"It needs Java %u or newer; \"%s\" runs an older Java.", {required, name}),
                   required};
}

// The first line "Picked up NAME: VALUE" of one of the variables through which Java takes options (newer Javas
// put "NOTE: " before it).
std::optional<std::pair<std::u16string, std::u16string>> PickedUpOptions(std::u16string_view output) {
  for (std::size_t begin = 0; begin < output.size();) {
    std::size_t end = output.find(u'\n', begin);
    if (end == std::u16string_view::npos) end = output.size();
    std::u16string_view line = output.substr(begin, end - begin);
    if (line.ends_with(u'\r')) line.remove_suffix(1);
    begin = end + 1;
    for (const char16_t* variable : {u"_JAVA_OPTIONS", u"JAVA_TOOL_OPTIONS", u"JDK_JAVA_OPTIONS"}) {
      const std::u16string prefix = u"Picked up " + std::u16string(variable) + u": ";
      const std::size_t at = line.find(prefix);
      if (at != std::u16string_view::npos) {
        return std::pair(std::u16string(variable), Clipped(line.substr(at + prefix.size()), kMaxQuoted));
      }
    }
  }
  return std::nullopt;
}

}  // namespace

Diagnosis DiagnoseStartFailure(const StartFailure& failure, const std::function<bool(const std::u16string&)>& exists) {
  const std::u16string_view output = failure.output;
  const std::u16string name = Clipped(failure.starterName, kMaxQuoted);
  if (std::optional<Diagnosis> newer = NewerJava(failure)) return *newer;
  if (Contains(output, u"JavaFX runtime components are missing") || Contains(output, u"NoClassDefFoundError: javafx/")) {
    return {FailureKind::JavaFx, Format(u"It needs JavaFX, which the Java of \"%s\" does not include.", {name})};
  }
  // Java names the JAR it could not open as it read it; a main class it looked for there, without the path.
  if (!failure.pathReadWrongly.empty() &&
      (Contains(output, u"Unable to access jarfile " + failure.pathReadWrongly) ||
       Contains(output, u"Could not find or load main class"))) {
    return {FailureKind::PathOutsideCodePage,
            u"Java could not open it: its path holds characters that this computer's language setting for programs "
            u"can't represent. Move or rename the file so that its path holds only such characters, or turn on "
            u"\"Use Unicode UTF-8 for worldwide language support\" in Windows' region settings."};
  }
  if (Contains(output, u"NoClassDefFoundError") || Contains(output, u"ClassNotFoundException")) {
    const std::vector<std::u16string> missing = MissingClassPathFiles(failure, exists);
    if (!missing.empty()) {
      return {FailureKind::FilesMissing,
              Format(u"It needs files that are not beside it: %s. Keep the JAR in the folder it came in, with the "
                     u"files it names.",
                     {std::u16string_view(JoinNames(missing))})};
    }
  }
  if (Contains(output, u"Could not find or load main class")) {
    const std::u16string mainClass = Clipped(
        !failure.mainClass.empty() ? failure.mainClass : WordAfter(output, u"Could not find or load main class "),
        kMaxQuoted);
    if (!mainClass.empty()) {
      return {FailureKind::MainClassMissing,
              Format(u"Its main class \"%s\" is not in the JAR.", {std::u16string_view(mainClass)})};
    }
  }
  if (Contains(output, u"Can't load IA 32-bit .dll on a AMD 64-bit platform") ||
      Contains(output, u"Cannot load 32-bit SWT libraries on 64-bit JVM")) {
    return {FailureKind::Needs32Bit, u"It needs a 32-bit Java."};
  }
  if (Contains(output, u"Error occurred during initialization of VM") ||
      Contains(output, u"Could not create the Java Virtual Machine")) {
    if (const auto options = PickedUpOptions(output)) {
      return {FailureKind::BadJavaOptions,
              Format(u"The environment variable %s gives Java options that stop it from starting: %s",
                     {std::u16string_view(options->first), std::u16string_view(options->second)})};
    }
  }
  if (Contains(output, u"OutOfMemoryError")) return {FailureKind::OutOfMemory, u"It ran out of memory."};
  return {FailureKind::ExitCode, u"It ended with exit code " + ExitCodeText(failure.exitCode) + u"."};
}

std::u16string ExitCodeText(std::uint32_t exitCode) {
  const auto code = static_cast<std::int32_t>(exitCode);
  std::u16string text = Format(u"%d", {code});
  if (code < 0 || code > 255) text += Format(u" (0x%08X)", {exitCode});
  return text;
}

std::u16string OutputText(std::string_view bytes, Environment& environment) {
  std::u16string text;
  // Java writes to a pipe in the system's code page unless told to write UTF-8; a program that writes UTF-16
  // marks it or leaves every second byte empty.
  const bool utf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                           (bytes.size() >= 4 && bytes[1] == 0 && bytes[3] == 0 && bytes[0] != 0));
  if (utf16) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const unsigned low = static_cast<unsigned char>(bytes[i]);
      const unsigned high = static_cast<unsigned char>(bytes[i + 1]);
      units += static_cast<char16_t>(low | high << 8);
    }
    text = FromUtf8(ToUtf8(units));  // unpaired surrogates become U+FFFD on the way
  } else {
    // Only the end of a long output is kept, which may begin inside a character.
    std::string_view whole = bytes;
    for (int i = 0; i < 3 && !whole.empty() && (static_cast<unsigned char>(whole[0]) & 0xC0) == 0x80; ++i) {
      whole.remove_prefix(1);
    }
    text = FromUtf8(whole);
    if (ToUtf8(text) != whole) text = environment.DecodeAnsi(bytes);
  }
  if (text.starts_with(u'\uFEFF')) text.erase(0, 1);

  std::u16string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      shown += u"\r\n";
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c < 0xA0)) {
      shown += kReplacement;
    } else {
      shown += c;
    }
  }
  return shown;
}

std::u16string LastLines(std::u16string_view text, std::size_t count) {
  if (count == 0) return {};
  std::size_t start = text.size();
  if (start > 0 && text[start - 1] == u'\n') --start;  // a last line end starts no line of its own
  for (std::size_t lines = 0; start > 0; --start) {
    if (text[start - 1] == u'\n' && ++lines == count) break;
  }
  return std::u16string(text.substr(start));
}

}  // namespace tc
