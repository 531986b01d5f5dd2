// Reads a layout file line by line: registry values, empty files and folders, files given inline, stand-in
// runtimes and environment variables.
#include "unit/detect/SdkLayout.h"

#include <fstream>

#include "base/Text.h"
#include "catalogue/RegistryKey.h"

namespace tc {

namespace {

std::u16string WithProfile(std::u16string text) {
  constexpr std::u16string_view kReference = u"%USERPROFILE%";
  const size_t at = text.find(kReference);
  if (at != std::u16string::npos) text.replace(at, kReference.size(), kProfile);
  return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t bar; (bar = text.find(separator, start)) != std::string::npos; start = bar + 1) {
    parts.push_back(text.substr(start, bar - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

bool SetValue(HostMachine& machine, const std::string& view, const std::string& line) {
  const std::vector<std::string> parts = Split(line, '|');
  if (parts.size() != 3) return false;
  RegistryRoot root = RegistryRoot::LocalMachine;
  RegistryView registryView = RegistryView::Default;
  if (view == "HKLM32") {
    registryView = RegistryView::Bits32;
  } else if (view == "HKLM64") {
    registryView = RegistryView::Bits64;
  } else if (view == "HKCU") {
    root = RegistryRoot::CurrentUser;
  } else {
    return false;
  }
  RegistryKey key(machine.registry, root, FromUtf8(parts[0]), registryView);
  if (!key.OpenOrCreate()) return false;
  key.WriteString(FromUtf8(parts[1]), WithProfile(FromUtf8(parts[2])));
  return true;
}

// The stand-in runtime of the e2e scenarios as far as a scan reads it: its PE header and its "Full Version".
bool AddRuntime(HostMachine& machine, const std::string& line) {
  const std::vector<std::string> parts = Split(line, '|');
  if (parts.size() != 2) return false;
  std::uint16_t machineField = 0;
  if (parts[1] == "x86") {
    machineField = 0x014C;
  } else if (parts[1] == "x64") {
    machineField = 0x8664;
  } else if (parts[1] == "ARM64") {
    machineField = 0xAA64;
  } else {
    return false;
  }
  const std::u16string path = WithProfile(FromUtf8(parts[0]));
  machine.versions.AddFullVersion(path, kStandInFullVersion);
  return machine.files.AddFile(path, PeHeaders(machineField));
}

bool Define(HostMachine& machine, const std::string& line) {
  const std::vector<std::string> parts = Split(line, '|');
  if (parts.size() != 2) return false;
  machine.environment.Define(FromUtf8(parts[0]), FromUtf8(parts[1]));
  return true;
}

}  // namespace

std::vector<std::uint8_t> PeHeaders(std::uint16_t machineField, std::uint16_t subsystem) {
  std::vector<std::uint8_t> bytes(0x140, 0);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  bytes[0x3C] = 0x40;  // e_lfanew
  bytes[0x40] = 'P';
  bytes[0x41] = 'E';
  bytes[0x44] = static_cast<std::uint8_t>(machineField);
  bytes[0x45] = static_cast<std::uint8_t>(machineField >> 8);
  bytes[0x54] = 0xF0;  // SizeOfOptionalHeader, as a 64-bit program has it
  bytes[0x9C] = static_cast<std::uint8_t>(subsystem);
  return bytes;
}

::testing::AssertionResult LayOut(HostMachine& machine, const std::string& layoutFile) {
  machine.environment.Define(u"USERPROFILE", kProfile);
  machine.environment.Define(u"LOCALAPPDATA", std::u16string(kProfile) + u"\\AppData\\Local");
  machine.environment.Define(u"ProgramFiles", u"C:\\Program Files");
  machine.environment.Define(u"ProgramFiles(x86)", u"C:\\Program Files (x86)");
  machine.environment.Define(u"SystemDrive", u"C:");
  std::ifstream in(layoutFile);
  if (!in) return ::testing::AssertionFailure() << "no layout file " << layoutFile;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    bool done = false;
    if (verb == "reg") {
      const size_t viewEnd = rest.find(' ');
      done = viewEnd != std::string::npos && SetValue(machine, rest.substr(0, viewEnd), rest.substr(viewEnd + 1));
    } else if (verb == "file") {
      done = machine.files.AddFile(WithProfile(FromUtf8(rest)), "");
    } else if (verb == "folder") {
      done = machine.files.AddFolder(WithProfile(FromUtf8(rest)));
    } else if (verb == "exe") {
      done = AddRuntime(machine, rest);
    } else if (verb == "env") {
      done = Define(machine, rest);
    } else if (verb == "xml" || verb == "text") {
      std::string content;
      for (std::string inner; std::getline(in, inner) && inner != "end"; ++number) content += inner + "\n";
      done = machine.files.AddFile(WithProfile(FromUtf8(rest)), content);
    }
    if (!done) return ::testing::AssertionFailure() << layoutFile << ":" << number << ": " << line;
  }
  return ::testing::AssertionSuccess();
}

std::vector<ExpectedStarter> ReadExpected(const std::string& file) {
  std::vector<ExpectedStarter> starters;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> parts = Split(line, '|');
    if (parts.size() == 3) {
      starters.push_back({FromUtf8(parts[0]), WithProfile(FromUtf8(parts[1])), WithProfile(FromUtf8(parts[2]))});
    }
  }
  return starters;
}

std::ostream& operator<<(std::ostream& out, const ExpectedStarter& s) {
  return out << ToUtf8(s.name) << "|" << ToUtf8(s.executable) << "|" << ToUtf8(s.arguments);
}

}  // namespace tc
