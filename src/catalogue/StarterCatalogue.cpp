// The user's starters of both kinds and the action on opening a file.
#include "catalogue/StarterCatalogue.h"

#include "base/Text.h"

namespace tc {

const char16_t kSettingsPath[] = u"Software\\Tessaly\\Corvalo\\setup1";

StarterCatalogue::StarterCatalogue(Registry& registry)
    : registry_(registry), settings_(registry, RegistryRoot::CurrentUser, kSettingsPath) {
  Load();
}

bool StarterCatalogue::IsOccupied(const Kind& kind, std::uint32_t slot) const {
  return slot >= 1 && slot < kind.slots.size() && kind.slots[slot] != nullptr;
}

void StarterCatalogue::Load() {
  j2se_ = Kind{};
  j2me_ = Kind{};
  LoadKind(StarterKind::J2se);
  LoadKind(StarterKind::J2me);
}

void StarterCatalogue::LoadKind(StarterKind which) {
  Kind& kind = Of(which);
  kind.slots.push_back(std::make_unique<Starter>());  // the placeholder in slot 0
  RegistryKey key = settings_.Child(KindKeyName(which));
  if (!key.Open()) return;

  for (const std::u16string& subkey : ListSubkeys(registry_, key.Root(), key.Path())) {
    const std::int64_t number = ParseLeadingDecimal(subkey);
    if (number < 1 || number > kHighestSlot) continue;  // not a starter; the ones after it still are
    const auto slot = static_cast<std::uint32_t>(number);
    if (slot >= kind.slots.size()) kind.slots.resize(slot + 1);
    RegistryKey values = key.Child(subkey);
    kind.slots[slot] = std::make_unique<Starter>(Starter{values.ReadString(u"Name", u"Name"),
                                                         values.ReadString(u"ExecutableFile", u"ExecutableFile"),
                                                         values.ReadString(u"Arguments", u"Arguments")});
  }

  const std::uint32_t defaultAction = key.ReadNumber(u"DefaultAction", 0);
  if (defaultAction == kChoiceOnceOpened || defaultAction == kLastUsedAction || IsOccupied(kind, defaultAction)) {
    kind.defaultAction = defaultAction;
  }
  const std::uint32_t lastAction = key.ReadNumber(u"LastAction", 0);
  if (IsOccupied(kind, lastAction)) kind.lastAction = lastAction;
}

void StarterCatalogue::Save() {
  SaveKind(StarterKind::J2se);
  SaveKind(StarterKind::J2me);
}

void StarterCatalogue::SaveKind(StarterKind which) {
  const Kind& kind = Of(which);
  RegistryKey key = settings_.Child(KindKeyName(which));
  DeleteTree(registry_, key.Root(), key.Path());
  key.WriteNumber(u"DefaultAction", kind.defaultAction);
  key.WriteNumber(u"LastAction", kind.lastAction);
  for (std::uint32_t slot = 1; slot < kind.slots.size(); ++slot) {
    const Starter* starter = kind.slots[slot].get();
    if (!starter) continue;
    RegistryKey values = key.Child(ToDecimal(slot));
    values.WriteString(u"Name", starter->name);
    values.WriteString(u"ExecutableFile", starter->executableFile);
    values.WriteString(u"Arguments", starter->arguments);
  }
}

std::uint32_t StarterCatalogue::NextStarter(StarterKind which, std::uint32_t after) const {
  const Kind& kind = Of(which);
  for (std::uint64_t slot = std::uint64_t{after} + 1; slot < kind.slots.size(); ++slot) {
    if (kind.slots[slot]) return static_cast<std::uint32_t>(slot);
  }
  return 0;
}

Starter& StarterCatalogue::GetStarter(StarterKind kind, std::uint32_t slot) { return *Of(kind).slots.at(slot); }

const Starter& StarterCatalogue::GetStarter(StarterKind kind, std::uint32_t slot) const {
  return *Of(kind).slots.at(slot);
}

std::optional<std::uint32_t> StarterCatalogue::AddStarter(StarterKind which) {
  Kind& kind = Of(which);
  std::uint32_t slot = 1;
  while (slot < kind.slots.size() && kind.slots[slot]) ++slot;
  if (slot > kHighestSlot) return std::nullopt;  // Save could store it, but Load could never read it back
  if (slot == kind.slots.size()) kind.slots.emplace_back();
  kind.slots[slot] = std::make_unique<Starter>();
  return slot;
}

void StarterCatalogue::DeleteStarter(StarterKind which, std::uint32_t slot) {
  Kind& kind = Of(which);
  if (!IsOccupied(kind, slot)) return;
  kind.slots[slot].reset();
  if (kind.defaultAction == slot) kind.defaultAction = kChoiceOnceOpened;
  if (kind.lastAction == slot) kind.lastAction = 0;
}

std::uint32_t StarterCatalogue::DefaultAction(StarterKind kind) const { return Of(kind).defaultAction; }

void StarterCatalogue::SetDefaultAction(StarterKind kind, std::uint32_t value) { Of(kind).defaultAction = value; }

std::uint32_t StarterCatalogue::LastAction(StarterKind kind) const { return Of(kind).lastAction; }

void StarterCatalogue::SetLastAction(StarterKind kind, std::uint32_t slot) {
  Of(kind).lastAction = slot;
  settings_.Child(KindKeyName(kind)).WriteNumber(u"LastAction", slot);
}

std::uint32_t StarterCatalogue::ResolveAction(StarterKind kind) const {
  const std::uint32_t action = DefaultAction(kind);
  return action == kLastUsedAction ? LastAction(kind) : action;
}

}  // namespace tc
