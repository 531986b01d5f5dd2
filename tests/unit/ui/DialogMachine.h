// A machine in memory for the dialog tests: starters stored in the registry, and what the dialogs left there.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "catalogue/StarterCatalogue.h"
#include "unit/HostMachine.h"

namespace tc {

class DialogMachine : public ::testing::Test {
 protected:
  static std::u16string KindPath(StarterKind kind) { return std::u16string(kSettingsPath) + u"\\" + KindKeyName(kind); }

  // Stored before the catalogue is first asked for, as an earlier run of the program would have left it.
  void Store(StarterKind kind, std::uint32_t slot, const std::u16string& name,
             const std::u16string& executable = u"C:\\java\\bin\\javaw.exe", const std::u16string& arguments = u"-jar %1") {
    RegistryKey key(machine.registry, RegistryRoot::CurrentUser, KindPath(kind) + u"\\" + ToDecimal(slot));
    key.OpenOrCreate();
    key.WriteString(u"Name", name);
    key.WriteString(u"ExecutableFile", executable);
    key.WriteString(u"Arguments", arguments);
  }
  void StoreActions(StarterKind kind, std::uint32_t defaultAction, std::uint32_t lastAction) {
    RegistryKey key(machine.registry, RegistryRoot::CurrentUser, KindPath(kind));
    key.OpenOrCreate();
    key.WriteNumber(u"DefaultAction", defaultAction);
    key.WriteNumber(u"LastAction", lastAction);
  }

  std::optional<std::uint32_t> StoredNumber(StarterKind kind, const std::u16string& name) {
    const auto value = StoredValue(RegistryRoot::CurrentUser, KindPath(kind), name);
    if (!value || value->type != RegistryType::Number || value->data.size() != 4) return std::nullopt;
    const auto& d = value->data;
    return std::uint32_t{d[0]} | std::uint32_t{d[1]} << 8 | std::uint32_t{d[2]} << 16 | std::uint32_t{d[3]} << 24;
  }
  std::vector<std::u16string> StoredSlots(StarterKind kind) {
    return ListSubkeys(machine.registry, RegistryRoot::CurrentUser, KindPath(kind));
  }
  std::optional<std::u16string> StoredString(const std::u16string& path, const std::u16string& name) {
    const auto value = StoredValue(RegistryRoot::CurrentUser, path, name);
    if (!value || value->type != RegistryType::String) return std::nullopt;
    return ReadStringAt(machine.registry, RegistryRoot::CurrentUser, path, name);
  }
  std::optional<RegistryValue> StoredValue(RegistryRoot root, const std::u16string& path, const std::u16string& name) {
    const auto handle = machine.registry.Open(root, path, kKeyRead, RegistryView::Default);
    if (!handle) return std::nullopt;
    auto value = machine.registry.QueryValue(*handle, name);
    machine.registry.Close(*handle);
    return value;
  }

  StarterCatalogue& Catalogue() { return machine.context.Catalogue(); }

  static std::vector<std::uintptr_t> ItemData(const ScriptedDialog& d, int control) {
    std::vector<std::uintptr_t> data;
    for (int i = 0; i < d.ItemCount(control); ++i) data.push_back(d.ItemData(control, i));
    return data;
  }
  static std::u16string SelectedText(const ScriptedDialog& d, int control) {
    const int selected = d.Selection(control);
    return selected < 0 ? u"(none)" : d.ItemText(control, selected);
  }
  static int IndexOfData(const ScriptedDialog& d, int control, std::uintptr_t data) {
    for (int i = 0; i < d.ItemCount(control); ++i) {
      if (d.ItemData(control, i) == data) return i;
    }
    return -1;
  }

  std::vector<std::u16string> MessageTexts() const {
    std::vector<std::u16string> texts;
    for (const auto& message : machine.ui.messages) texts.push_back(message.text);
    return texts;
  }

  // Every scripted dialog came and was ended, and every prepared answer was used.
  void ExpectScriptFollowed() {
    EXPECT_TRUE(machine.ui.problems.empty()) << (machine.ui.problems.empty() ? "" : machine.ui.problems.front());
    EXPECT_TRUE(machine.ui.ScriptDone());
  }

  HostMachine machine;
};

}  // namespace tc
