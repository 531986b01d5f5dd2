// The starter catalogue over the in-memory registry: loading, saving and the action rules.
#include <gtest/gtest.h>

#include "catalogue/StarterCatalogue.h"
#include "platform/host/MemoryRegistry.h"

namespace tc {
namespace {

const std::u16string kJ2se = std::u16string(kSettingsPath) + u"\\J2SE";
const std::u16string kJ2me = std::u16string(kSettingsPath) + u"\\J2ME";

class CatalogueTest : public ::testing::Test {
 protected:
  RegistryKey Key(const std::u16string& path) { return RegistryKey(registry, RegistryRoot::CurrentUser, path); }
  void Store(const std::u16string& kindPath, const std::u16string& subkey, const std::u16string& name) {
    RegistryKey key = Key(kindPath + u"\\" + subkey);
    key.WriteString(u"Name", name);
    key.WriteString(u"ExecutableFile", name + u".exe");
    key.WriteString(u"Arguments", u"-jar %1");
  }
  std::vector<std::uint32_t> Slots(const StarterCatalogue& catalogue, StarterKind kind) {
    std::vector<std::uint32_t> slots;
    for (auto slot = catalogue.NextStarter(kind, 0); slot != 0; slot = catalogue.NextStarter(kind, slot)) {
      slots.push_back(slot);
    }
    return slots;
  }
  std::optional<RegistryValue> Raw(const std::u16string& path, const std::u16string& name) {
    auto handle = registry.Open(RegistryRoot::CurrentUser, path, kKeyRead, RegistryView::Default);
    if (!handle) return std::nullopt;
    auto value = registry.QueryValue(*handle, name);
    registry.Close(*handle);
    return value;
  }

  MemoryRegistry registry;
};

TEST_F(CatalogueTest, NothingStoredGivesTwoEmptyKindsThatAsk) {
  StarterCatalogue catalogue(registry);
  for (StarterKind kind : {StarterKind::J2se, StarterKind::J2me}) {
    EXPECT_FALSE(catalogue.HasStarters(kind));
    EXPECT_EQ(catalogue.DefaultAction(kind), kChoiceOnceOpened);
    EXPECT_EQ(catalogue.LastAction(kind), 0u);
    EXPECT_EQ(catalogue.ResolveAction(kind), 0u);
    EXPECT_EQ(catalogue.AddStarter(kind), 1u);  // slot 0 is the placeholder, never handed out
  }
  EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(CatalogueTest, HolesStayHolesAndAreFilledFirst) {
  Store(kJ2se, u"1", u"one");
  Store(kJ2se, u"3", u"three");
  StarterCatalogue catalogue(registry);
  EXPECT_EQ(Slots(catalogue, StarterKind::J2se), (std::vector<std::uint32_t>{1, 3}));
  EXPECT_EQ(catalogue.NextStarter(StarterKind::J2se, 3), 0u);
  EXPECT_EQ(catalogue.GetStarter(StarterKind::J2se, 3).name, u"three");
  EXPECT_EQ(catalogue.AddStarter(StarterKind::J2se), 2u);
  EXPECT_EQ(catalogue.AddStarter(StarterKind::J2se), 4u);
  EXPECT_FALSE(catalogue.HasStarters(StarterKind::J2me));  // the kinds never mix
}

TEST_F(CatalogueTest, SubkeyNamesReadAsNumbers) {
  Store(kJ2se, u"5", u"five");
  Store(kJ2se, u"05", u"oh-five");  // enumerated first: "05" sorts before "5", so "5" replaces it
  Store(kJ2se, u" 7x", u"seven");
  for (const char16_t* ignored : {u"0", u"300", u"x", u"-2", u"257"}) Store(kJ2se, ignored, u"ignored");
  Store(kJ2se, u"256", u"last");
  StarterCatalogue catalogue(registry);
  EXPECT_EQ(Slots(catalogue, StarterKind::J2se), (std::vector<std::uint32_t>{5, 7, 256}));
  EXPECT_EQ(catalogue.GetStarter(StarterKind::J2se, 5).name, u"five");
  EXPECT_EQ(catalogue.GetStarter(StarterKind::J2se, 7).name, u"seven");
}

TEST_F(CatalogueTest, MissingValuesReadAsTheirOwnNames) {
  Key(kJ2me + u"\\1").WriteString(u"Name", u"");
  StarterCatalogue catalogue(registry);
  const Starter& starter = catalogue.GetStarter(StarterKind::J2me, 1);
  EXPECT_EQ(starter.name, u"");
  EXPECT_EQ(starter.executableFile, u"ExecutableFile");
  EXPECT_EQ(starter.arguments, u"Arguments");
}

TEST_F(CatalogueTest, StoredActionsAreKeptOnlyWhenTheyNameAStarter) {
  struct Case {
    std::uint32_t storedDefault, storedLast, loadedDefault, loadedLast;
  };
  const Case cases[] = {
      {7, 7, 0, 0},                                 // slot 7 is empty
      {kLastUsedAction, 0, kLastUsedAction, 0},     // "last used" holds even with nothing used yet
      {2, 2, 2, 2},
      {kChoiceOnceOpened, kLastUsedAction, 0, 0},   // LastAction is never "last used"
      {1000, 3, 0, 0},
  };
  for (const Case& c : cases) {
    MemoryRegistry fresh;
    RegistryKey(fresh, RegistryRoot::CurrentUser, kJ2se + u"\\2").WriteString(u"Name", u"two");
    RegistryKey kind(fresh, RegistryRoot::CurrentUser, kJ2se);
    kind.WriteNumber(u"DefaultAction", c.storedDefault);
    kind.WriteNumber(u"LastAction", c.storedLast);
    StarterCatalogue catalogue(fresh);
    EXPECT_EQ(catalogue.DefaultAction(StarterKind::J2se), c.loadedDefault) << c.storedDefault;
    EXPECT_EQ(catalogue.LastAction(StarterKind::J2se), c.loadedLast) << c.storedLast;
  }
}

TEST_F(CatalogueTest, ResolvingTheActionFollowsLastUsed) {
  StarterCatalogue catalogue(registry);
  const auto slot = *catalogue.AddStarter(StarterKind::J2me);
  catalogue.SetDefaultAction(StarterKind::J2me, kLastUsedAction);
  EXPECT_EQ(catalogue.ResolveAction(StarterKind::J2me), 0u);
  catalogue.SetLastAction(StarterKind::J2me, slot);
  EXPECT_EQ(catalogue.ResolveAction(StarterKind::J2me), slot);
  catalogue.SetDefaultAction(StarterKind::J2me, slot);
  EXPECT_EQ(catalogue.ResolveAction(StarterKind::J2me), slot);
}

TEST_F(CatalogueTest, DeletingTheChosenStarterResetsTheActions) {
  StarterCatalogue catalogue(registry);
  const auto a = *catalogue.AddStarter(StarterKind::J2se);
  const auto b = *catalogue.AddStarter(StarterKind::J2se);
  catalogue.SetDefaultAction(StarterKind::J2se, a);
  catalogue.SetLastAction(StarterKind::J2se, b);
  catalogue.DeleteStarter(StarterKind::J2se, b);
  EXPECT_EQ(catalogue.DefaultAction(StarterKind::J2se), a);
  EXPECT_EQ(catalogue.LastAction(StarterKind::J2se), 0u);
  catalogue.DeleteStarter(StarterKind::J2se, a);
  EXPECT_EQ(catalogue.DefaultAction(StarterKind::J2se), kChoiceOnceOpened);
}

TEST_F(CatalogueTest, SaveRewritesTheKindsAndKeepsSlotNumbers) {
  Store(kJ2se, u"9", u"stale");  // not in memory after the edits below: Save must remove it
  {
    StarterCatalogue catalogue(registry);
    catalogue.DeleteStarter(StarterKind::J2se, 9);
    for (const char16_t* name : {u"a", u"b", u"c"}) {
      catalogue.GetStarter(StarterKind::J2se, *catalogue.AddStarter(StarterKind::J2se)).name = name;
    }
    catalogue.DeleteStarter(StarterKind::J2se, 2);
    catalogue.SetDefaultAction(StarterKind::J2se, 3);
    catalogue.Save();
  }
  EXPECT_EQ(ListSubkeys(registry, RegistryRoot::CurrentUser, kJ2se), (std::vector<std::u16string>{u"1", u"3"}));
  EXPECT_EQ(Raw(kJ2se + u"\\3", u"Name")->data.size(), 4u);  // "c" and its terminator
  EXPECT_EQ(Raw(kJ2se, u"DefaultAction")->type, RegistryType::Number);
  EXPECT_TRUE(Raw(kJ2me, u"LastAction"));  // the empty kind is written too
  EXPECT_FALSE(Raw(kSettingsPath, u"DefaultAction"));

  StarterCatalogue reloaded(registry);
  EXPECT_EQ(Slots(reloaded, StarterKind::J2se), (std::vector<std::uint32_t>{1, 3}));
  EXPECT_EQ(reloaded.GetStarter(StarterKind::J2se, 3).name, u"c");
  EXPECT_EQ(reloaded.DefaultAction(StarterKind::J2se), 3u);
  EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(CatalogueTest, SetLastActionWritesOnlyThatValue) {
  StarterCatalogue catalogue(registry);
  catalogue.GetStarter(StarterKind::J2me, *catalogue.AddStarter(StarterKind::J2me)).name = u"unsaved";
  catalogue.SetDefaultAction(StarterKind::J2me, 1);
  catalogue.SetLastAction(StarterKind::J2me, 1);
  const auto last = Raw(kJ2me, u"LastAction");
  ASSERT_TRUE(last);
  EXPECT_EQ(last->data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_FALSE(Raw(kJ2me, u"DefaultAction"));
  EXPECT_TRUE(ListSubkeys(registry, RegistryRoot::CurrentUser, kJ2me).empty());
}

TEST_F(CatalogueTest, LoadThrowsUnsavedEditsAway) {
  Store(kJ2se, u"1", u"stored");
  StarterCatalogue catalogue(registry);
  catalogue.GetStarter(StarterKind::J2se, 1).name = u"edited";
  catalogue.AddStarter(StarterKind::J2se);
  catalogue.SetDefaultAction(StarterKind::J2se, kLastUsedAction);
  catalogue.Load();
  EXPECT_EQ(Slots(catalogue, StarterKind::J2se), std::vector<std::uint32_t>{1});
  EXPECT_EQ(catalogue.GetStarter(StarterKind::J2se, 1).name, u"stored");
  EXPECT_EQ(catalogue.DefaultAction(StarterKind::J2se), kChoiceOnceOpened);
}

TEST_F(CatalogueTest, NoSlotAboveTheHighestThatCanBeStored) {
  StarterCatalogue catalogue(registry);
  for (std::uint32_t slot = 1; slot <= kHighestSlot; ++slot) ASSERT_EQ(catalogue.AddStarter(StarterKind::J2se), slot);
  EXPECT_EQ(catalogue.AddStarter(StarterKind::J2se), std::nullopt);
  catalogue.DeleteStarter(StarterKind::J2se, 100);
  EXPECT_EQ(catalogue.AddStarter(StarterKind::J2se), 100u);
}

}  // namespace
}  // namespace tc
