// A machine in memory for the launch flows: starters stored as the setup dialog leaves them, archives built here.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "catalogue/StarterCatalogue.h"
#include "formats/AttributeFile.h"
#include "formats/JarReader.h"
#include "launch/LaunchJ2se.h"
#include "unit/HostMachine.h"

namespace tc {

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::string_view text) { return {text.begin(), text.end()}; }

// A ZIP archive of stored entries, as `jar -0` writes it.
inline Bytes StoredZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  Bytes out;
  Bytes directory;
  auto put16 = [](Bytes& to, std::uint32_t v) {
    to.push_back(static_cast<std::uint8_t>(v));
    to.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto put32 = [&](Bytes& to, std::uint32_t v) {
    put16(to, v & 0xFFFF);
    put16(to, v >> 16);
  };
  for (const auto& [name, data] : entries) {
    const auto crc = static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    const auto size = static_cast<std::uint32_t>(data.size());
    const auto offset = static_cast<std::uint32_t>(out.size());
    put32(out, 0x04034B50);
    put16(out, 10);
    put16(out, 0);
    put16(out, 0);
    put32(out, 0);
    put32(out, crc);
    put32(out, size);
    put32(out, size);
    put16(out, static_cast<std::uint32_t>(name.size()));
    put16(out, 0);
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), data.begin(), data.end());

    put32(directory, 0x02014B50);
    put16(directory, 20);
    put16(directory, 10);
    put16(directory, 0);
    put16(directory, 0);
    put32(directory, 0);
    put32(directory, crc);
    put32(directory, size);
    put32(directory, size);
    put16(directory, static_cast<std::uint32_t>(name.size()));
    put16(directory, 0);
    put16(directory, 0);
    put16(directory, 0);
    put16(directory, 0);
    put32(directory, 0);
    put32(directory, offset);
    directory.insert(directory.end(), name.begin(), name.end());
  }
  const auto directoryOffset = static_cast<std::uint32_t>(out.size());
  out.insert(out.end(), directory.begin(), directory.end());
  put32(out, 0x06054B50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<std::uint32_t>(entries.size()));
  put16(out, static_cast<std::uint32_t>(entries.size()));
  put32(out, static_cast<std::uint32_t>(directory.size()));
  put32(out, directoryOffset);
  put16(out, 0);
  return out;
}

inline Bytes JarWithManifest(const std::string& manifest) {
  return StoredZip({{"META-INF/MANIFEST.MF", manifest}, {"app/Main.class", std::string(100, 'c')}});
}

// A class file's first bytes, of the given major version.
inline std::string ClassFile(std::uint16_t major) {
  return std::string("\xCA\xFE\xBA\xBE\0\0", 6) + char(major >> 8) + char(major & 0xFF) + std::string(40, '\0');
}

// A program whose main class app.Main needs the given Java (0: any).
inline Bytes ProgramJar(unsigned javaVersion) {
  return StoredZip({{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\nMain-Class: app.Main\r\n\r\n"},
                    {"app/Main.class", ClassFile(static_cast<std::uint16_t>(javaVersion ? javaVersion + 44 : 45))}});
}

// The J2SE flow entered as the archive flow enters it: the archive open, its manifest parsed.
inline bool LaunchJar(Context& context, const std::u16string& archive, bool useDefaultAction,
                      const std::u16string& externalArguments) {
  JarReader jar;
  AttributeFile manifest;
  std::vector<std::uint8_t> bytes;
  if (jar.OpenJar(context.platform.files, archive) && jar.ReadEntry("META-INF/MANIFEST.MF", bytes)) {
    manifest.Parse(bytes);
  }
  return LaunchJ2se(context, archive, jar, manifest, useDefaultAction, externalArguments);
}

inline constexpr char16_t kTemporaryFolder[] = u"C:\\Users\\user\\AppData\\Local\\Temp\\";
inline const std::u16string kTemporaryJad = std::u16string(kTemporaryFolder) + u"qvo_temp.jad";
inline const std::u16string kTemporaryJar = std::u16string(kTemporaryFolder) + u"qvo_temp.jar";

inline RegistryKey KindKey(Registry& registry, StarterKind kind) {
  return RegistryKey(registry, RegistryRoot::CurrentUser, std::u16string(kSettingsPath) + u"\\" + KindKeyName(kind));
}

// A starter as the setup dialog stores it; to be called before a flow first takes the catalogue.
inline void StoreStarter(Registry& registry, StarterKind kind, std::uint32_t slot, const std::u16string& name,
                         const std::u16string& executable, const std::u16string& arguments) {
  RegistryKey key = KindKey(registry, kind).Child(ToDecimal(slot));
  key.WriteString(u"Name", name);
  key.WriteString(u"ExecutableFile", executable);
  key.WriteString(u"Arguments", arguments);
}

inline void StoreActions(Registry& registry, StarterKind kind, std::uint32_t defaultAction, std::uint32_t lastAction) {
  KindKey(registry, kind).WriteNumber(u"DefaultAction", defaultAction);
  KindKey(registry, kind).WriteNumber(u"LastAction", lastAction);
}

// The user's machine: starters in the registry, files on disk, and a user who acts as each test scripts.
class LaunchMachine : public ::testing::Test {
 protected:
  void Store(StarterKind kind, std::uint32_t slot, const std::u16string& name, const std::u16string& executable,
             const std::u16string& arguments) {
    StoreStarter(machine.registry, kind, slot, name, executable, arguments);
  }
  void StoreActions(StarterKind kind, std::uint32_t defaultAction, std::uint32_t lastAction) {
    tc::StoreActions(machine.registry, kind, defaultAction, lastAction);
  }
  std::uint32_t StoredLastAction(StarterKind kind) {
    return KindKey(machine.registry, kind).ReadNumber(u"LastAction", 0);
  }

  std::vector<std::u16string> MessageTexts() const {
    std::vector<std::u16string> texts;
    for (const auto& message : machine.ui.messages) texts.push_back(message.text);
    return texts;
  }
  void ExpectLaunchErrors(const std::vector<std::u16string>& texts) const { ExpectLaunchErrorsIn(machine.ui, texts); }
  // Every message of the launch path is an error box of the program's own, without owner.
  static void ExpectLaunchErrorsIn(const ScriptedUi& ui, const std::vector<std::u16string>& texts) {
    std::vector<std::u16string> shown;
    for (const auto& message : ui.messages) shown.push_back(message.text);
    EXPECT_EQ(shown, texts);
    for (const auto& message : ui.messages) {
      EXPECT_EQ(message.caption, u"Tessaly Corvalo");
      EXPECT_EQ(message.icon, MessageIcon::Error);
      EXPECT_EQ(message.buttons, MessageButtons::Ok);
      EXPECT_EQ(message.owner, kNoWindow);
    }
  }
  std::string Content(const std::u16string& path) {
    const auto bytes = machine.files.ReadBack(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
  }
  void ExpectScriptFollowed() const {
    EXPECT_TRUE(machine.ui.problems.empty()) << (machine.ui.problems.empty() ? "" : machine.ui.problems.front());
    EXPECT_TRUE(machine.ui.ScriptDone());
  }
  void TearDown() override { EXPECT_EQ(machine.files.OpenReaders(), 0) << "a file was left open"; }

  HostMachine machine;
};

// The user picks the item of this name in the selection dialog and presses OK.
inline ScriptedUi::Script ChooseStarterNamed(std::u16string name) {
  return [name](ScriptedDialog& dialog) {
    const std::vector<std::u16string> items = dialog.Items(1012);
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i] == name) dialog.ChooseItem(1012, static_cast<int>(i));
    }
    dialog.Click(kIdOk);
    if (!dialog.HasEnded()) dialog.Close();
  };
}

}  // namespace tc
