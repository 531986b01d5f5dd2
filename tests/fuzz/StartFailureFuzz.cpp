// libFuzzer target: anything a failed program may write, and any "Class-Path", through the diagnosis: the text
// shown is well formed, the look at the disk is bounded, and every row says something.
//
// Input: four bytes of exit code, two bytes of "Class-Path" length, that many bytes of "Class-Path" (UTF-8), then
// the output. Reaching the bound on the look at the disk takes 4,096 names of two bytes each: run with a
// -max_len above 8,198.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Text.h"
#include "launch/StartFailure.h"
#include "platform/host/MemoryEnvironment.h"

#include "FuzzCheck.h"

namespace {

// What the dialog shows is text an edit control takes: CR LF line ends, nothing that can't be drawn.
void CheckShownText(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    CHECK(c >= 0x20 || c == u'\t' || c == u'\r' || c == u'\n');
    CHECK(c < 0x7F || c >= 0xA0);
    if (c == u'\r') CHECK(i + 1 < text.size() && text[i + 1] == u'\n');
    if (c == u'\n') CHECK(i > 0 && text[i - 1] == u'\r');
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::uint32_t exitCode = data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t{data[3]} << 24;
  const std::size_t classPathLength = std::min<std::size_t>(data[4] | data[5] << 8, size - 6);

  tc::MemoryEnvironment environment;
  tc::StartFailure failure;
  failure.output = tc::OutputText(bytes.substr(6 + classPathLength), environment);
  CheckShownText(failure.output);
  const std::u16string last = tc::LastLines(failure.output, 40);
  CHECK(failure.output.ends_with(last));
  std::size_t lines = 0;
  for (std::size_t at = last.find(u'\n'); at != std::u16string::npos; at = last.find(u'\n', at + 1)) ++lines;
  CHECK(lines <= 40);

  failure.exitCode = exitCode;
  failure.starterName = u"Java";
  failure.starterJava = data[0] % 30;
  failure.requiredJava = data[1] % 30;
  failure.mainClass = data[2] % 2 ? u"app.Main" : u"";
  failure.classPath = tc::FromUtf8(bytes.substr(6, classPathLength));
  failure.archiveFolder = u"C:\\Games";
  // Half the time the JAR's path was one the code page can't hold, as Java read it.
  if (data[2] % 4 >= 2) failure.pathReadWrongly = u"C:\\Games\\????.jar";
  std::size_t looks = 0;
  const tc::Diagnosis diagnosis = tc::DiagnoseStartFailure(failure, [&](const std::u16string& path) {
    ++looks;
    CHECK(path.starts_with(u"C:\\Games\\"));
    return data[3] % 2 == 0;
  });
  CHECK(looks <= 4096);
  CHECK(!diagnosis.text.empty() && diagnosis.text.size() < 512);  // every name quoted is clipped
  if (diagnosis.kind == tc::FailureKind::NewerJava) CHECK(diagnosis.requiredJava > 0 && diagnosis.requiredJava <= 0xFFFF);
  if (diagnosis.kind == tc::FailureKind::PathOutsideCodePage) CHECK(!failure.pathReadWrongly.empty());
  return 0;
}
