// The user's starters of both kinds and the action on opening a file, kept in the current user's registry.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/RegistryKey.h"

namespace tc {

struct Starter {
  std::u16string name;
  std::u16string executableFile;
  std::u16string arguments;
};

enum class StarterKind { J2se, J2me };

constexpr std::uint32_t kChoiceOnceOpened = 0;
constexpr std::uint32_t kLastUsedAction = 0xFFFFFFFF;
constexpr std::uint32_t kHighestSlot = 256;

inline const char16_t* KindKeyName(StarterKind kind) { return kind == StarterKind::J2se ? u"J2SE" : u"J2ME"; }

class StarterCatalogue {
 public:
  explicit StarterCatalogue(Registry& registry);

  // Reads both kinds from the registry again, replacing every Starter: a reference taken from GetStarter before
  // dies with it, so a flow that may reach a Load (the setup dialog reloads when it opens and on Cancel) keeps a
  // copy of its starter.
  void Load();
  void Save();

  std::uint32_t NextStarter(StarterKind kind, std::uint32_t after) const;
  Starter& GetStarter(StarterKind kind, std::uint32_t slot);
  const Starter& GetStarter(StarterKind kind, std::uint32_t slot) const;
  // The lowest free slot from 1 upwards; nullopt when that would be above the highest slot that can be stored.
  std::optional<std::uint32_t> AddStarter(StarterKind kind);
  void DeleteStarter(StarterKind kind, std::uint32_t slot);

  std::uint32_t DefaultAction(StarterKind kind) const;
  void SetDefaultAction(StarterKind kind, std::uint32_t value);
  std::uint32_t LastAction(StarterKind kind) const;
  // Sets it in memory and writes that one value to the registry at once.
  void SetLastAction(StarterKind kind, std::uint32_t slot);

  // The slot to run when a file of the kind is opened, or 0 when the user is to choose.
  std::uint32_t ResolveAction(StarterKind kind) const;

  bool HasStarters(StarterKind kind) const { return NextStarter(kind, 0) != 0; }
  bool HoldsStarter(StarterKind kind, std::uint32_t slot) const { return IsOccupied(Of(kind), slot); }

 private:
  struct Kind {
    std::vector<std::unique_ptr<Starter>> slots;
    std::uint32_t defaultAction = kChoiceOnceOpened;
    std::uint32_t lastAction = 0;
  };

  Kind& Of(StarterKind kind) { return kind == StarterKind::J2se ? j2se_ : j2me_; }
  const Kind& Of(StarterKind kind) const { return kind == StarterKind::J2se ? j2se_ : j2me_; }
  bool IsOccupied(const Kind& kind, std::uint32_t slot) const;
  void LoadKind(StarterKind kind);
  void SaveKind(StarterKind kind);

  Registry& registry_;
  RegistryKey settings_;
  Kind j2se_;
  Kind j2me_;
};

extern const char16_t kSettingsPath[];

}  // namespace tc
