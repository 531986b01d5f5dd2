// The registry contract, and its run against the in-memory registry.
#include "contract/RegistryContract.h"

#include <chrono>

#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "platform/host/MemoryRegistry.h"

namespace tc {

void RegistryContract::SetUp() {
  registry = GetParam()();
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  scratch = u"Software\\Tessaly\\ContractTests\\" + ToDecimal(static_cast<std::uint64_t>(stamp));
}

void RegistryContract::TearDown() { DeleteTree(*registry, RegistryRoot::CurrentUser, scratch); }

namespace {

RegistryValue StringValue(std::u16string_view text, bool terminated) {
  RegistryValue value{RegistryType::String, {}};
  for (char16_t c : text) {
    value.data.push_back(static_cast<std::uint8_t>(c));
    value.data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  if (terminated) value.data.insert(value.data.end(), {0, 0});
  return value;
}

}  // namespace

TEST_P(RegistryContract, EnumeratesSubkeysInCaseInsensitiveSortedOrder) {
  RegistryKey key(*registry, RegistryRoot::CurrentUser, scratch);
  for (const char16_t* name : {u"b", u"A", u"c", u"10", u"9", u"05", u"5"}) key.Child(name).OpenOrCreate();
  EXPECT_EQ(ListSubkeys(*registry, RegistryRoot::CurrentUser, scratch),
            (std::vector<std::u16string>{u"05", u"10", u"5", u"9", u"A", u"b", u"c"}));
}

TEST_P(RegistryContract, KeyAndValueNamesIgnoreCase) {
  RegistryKey key(*registry, RegistryRoot::CurrentUser, scratch + u"\\Mixed");
  key.WriteString(u"Name", u"first");
  key.WriteString(u"NAME", u"second");
  EXPECT_EQ(ReadStringAt(*registry, RegistryRoot::CurrentUser, scratch + u"\\mIXED", u"name"), u"second");
  EXPECT_EQ(ListSubkeys(*registry, RegistryRoot::CurrentUser, scratch), std::vector<std::u16string>{u"Mixed"});
}

TEST_P(RegistryContract, StringsAreStoredWithTheirTerminator) {
  RegistryKey key(*registry, RegistryRoot::CurrentUser, scratch);
  key.WriteString(u"Text", u"abc");
  key.WriteString(u"Empty", u"");
  key.WriteNumber(u"Number", 0xFFFFFFFF);
  ASSERT_TRUE(key.Open());
  auto handle = registry->Open(RegistryRoot::CurrentUser, scratch, kKeyRead, RegistryView::Default);
  ASSERT_TRUE(handle);
  const auto text = registry->QueryValue(*handle, u"Text");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->type, RegistryType::String);
  EXPECT_EQ(text->data.size(), 8u);
  EXPECT_EQ(registry->QueryValue(*handle, u"Empty")->data.size(), 2u);
  const auto number = registry->QueryValue(*handle, u"Number");
  EXPECT_EQ(number->type, RegistryType::Number);
  EXPECT_EQ(number->data.size(), 4u);
  registry->Close(*handle);
  EXPECT_EQ(key.ReadNumber(u"Number", 0), 0xFFFFFFFFu);
}

TEST_P(RegistryContract, ReadsStringsOfOddShapes) {
  auto handle = registry->Create(RegistryRoot::CurrentUser, scratch, kKeyRead | kKeyWrite);
  ASSERT_TRUE(handle);
  registry->SetValue(*handle, u"Unterminated", StringValue(u"ab", false));
  registry->SetValue(*handle, u"EmbeddedNull", StringValue(std::u16string(u"ab\0cd", 5), true));
  registry->SetValue(*handle, u"OneCharacter", StringValue(u"x", false));
  registry->Close(*handle);
  RegistryKey key(*registry, RegistryRoot::CurrentUser, scratch);
  EXPECT_EQ(key.ReadString(u"Unterminated"), u"ab");
  EXPECT_EQ(key.ReadString(u"EmbeddedNull"), u"ab");
  EXPECT_EQ(key.ReadString(u"OneCharacter", u"fallback"), u"");  // fewer than 2 characters
  EXPECT_EQ(key.ReadString(u"Missing", u"fallback"), u"fallback");
  EXPECT_EQ(key.ReadNumber(u"Missing", 7), 7u);
}

TEST_P(RegistryContract, EmptyMarkersAndDeletedValues) {
  const std::u16string path = scratch + u"\\Marked";
  {
    RegistryKey key(*registry, RegistryRoot::CurrentUser, path);
    key.WriteNone(u"Marker");
    key.WriteString(u"", u"default");
  }
  auto handle = registry->Open(RegistryRoot::CurrentUser, path, kKeyRead, RegistryView::Default);
  ASSERT_TRUE(handle);
  const auto marker = registry->QueryValue(*handle, u"Marker");
  ASSERT_TRUE(marker);
  EXPECT_EQ(marker->type, RegistryType::None);
  EXPECT_TRUE(marker->data.empty());
  EXPECT_EQ(registry->QueryInfo(*handle)->valueCount, 2u);
  registry->Close(*handle);

  EXPECT_FALSE(DeleteIfEmpty(*registry, RegistryRoot::CurrentUser, path));     // it holds values
  EXPECT_FALSE(DeleteIfEmpty(*registry, RegistryRoot::CurrentUser, scratch));  // it holds a subkey
  EXPECT_TRUE(DeleteValue(*registry, RegistryRoot::CurrentUser, path, u"marker"));
  EXPECT_FALSE(DeleteValue(*registry, RegistryRoot::CurrentUser, path, u"Marker"));
  EXPECT_TRUE(DeleteValue(*registry, RegistryRoot::CurrentUser, path, u""));
  EXPECT_TRUE(DeleteIfEmpty(*registry, RegistryRoot::CurrentUser, path));
  EXPECT_FALSE(DeleteIfEmpty(*registry, RegistryRoot::CurrentUser, path));
  EXPECT_FALSE(DeleteValue(*registry, RegistryRoot::CurrentUser, path, u""));
}

TEST_P(RegistryContract, CreateMakesTheWholePathAndOpenDoesNot) {
  EXPECT_FALSE(registry->Open(RegistryRoot::CurrentUser, scratch + u"\\a\\b", kKeyRead, RegistryView::Default));
  auto created = registry->Create(RegistryRoot::CurrentUser, scratch + u"\\a\\b", kKeyWrite);
  ASSERT_TRUE(created);
  registry->Close(*created);
  auto opened = registry->Open(RegistryRoot::CurrentUser, scratch + u"\\a\\b", kKeyRead, RegistryView::Default);
  ASSERT_TRUE(opened);
  registry->Close(*opened);
  auto root = registry->Open(RegistryRoot::CurrentUser, u"", kKeyRead, RegistryView::Default);
  EXPECT_TRUE(root);
  if (root) registry->Close(*root);
}

TEST_P(RegistryContract, AKeyOpenedForReadingTakesNoValue) {
  RegistryKey(*registry, RegistryRoot::CurrentUser, scratch).WriteString(u"Kept", u"before");
  auto reading = registry->Open(RegistryRoot::CurrentUser, scratch, kKeyRead, RegistryView::Default);
  ASSERT_TRUE(reading);
  EXPECT_FALSE(registry->SetValue(*reading, u"Kept", StringValue(u"after", true)));
  registry->Close(*reading);
  RegistryKey key(*registry, RegistryRoot::CurrentUser, scratch);
  EXPECT_EQ(key.ReadString(u"Kept"), u"before");
  EXPECT_TRUE(key.WriteString(u"Kept", u"after"));  // the key object reopens itself for writing
  EXPECT_EQ(key.ReadString(u"Kept"), u"after");
}

TEST_P(RegistryContract, DeleteKeyRefusesAKeyWithSubkeys) {
  RegistryKey(*registry, RegistryRoot::CurrentUser, scratch + u"\\a\\b").OpenOrCreate();
  EXPECT_NE(registry->DeleteKey(RegistryRoot::CurrentUser, scratch + u"\\a", RegistryView::Default), kRegistryOk);
  EXPECT_EQ(registry->DeleteKey(RegistryRoot::CurrentUser, scratch + u"\\a\\b", RegistryView::Default), kRegistryOk);
  EXPECT_EQ(registry->DeleteKey(RegistryRoot::CurrentUser, scratch + u"\\a", RegistryView::Default), kRegistryOk);
  EXPECT_EQ(registry->DeleteKey(RegistryRoot::CurrentUser, scratch + u"\\a", RegistryView::Default),
            kRegistryFileNotFound);
}

TEST_P(RegistryContract, DeleteTreeRemovesEverythingBelow) {
  RegistryKey base(*registry, RegistryRoot::CurrentUser, scratch + u"\\tree");
  for (const char16_t* path : {u"1", u"2\\x", u"2\\y\\z", u"3"}) base.Child(path).WriteString(u"v", u"w");
  EXPECT_EQ(DeleteTree(*registry, RegistryRoot::CurrentUser, scratch + u"\\tree"), kRegistryOk);
  EXPECT_TRUE(ListSubkeys(*registry, RegistryRoot::CurrentUser, scratch).empty());
  EXPECT_NE(DeleteTree(*registry, RegistryRoot::CurrentUser, scratch + u"\\tree"), kRegistryOk);
}

TEST_P(RegistryContract, EnumerationStopsWhenTheNameDoesNotFit) {
  RegistryKey(*registry, RegistryRoot::CurrentUser, scratch + u"\\abcdef").OpenOrCreate();
  auto handle = registry->Open(RegistryRoot::CurrentUser, scratch, kKeyRead, RegistryView::Default);
  ASSERT_TRUE(handle);
  EXPECT_FALSE(registry->EnumerateSubkey(*handle, 0, 6));
  EXPECT_EQ(registry->EnumerateSubkey(*handle, 0, 7), u"abcdef");
  EXPECT_FALSE(registry->EnumerateSubkey(*handle, 1, 256));
  const auto info = registry->QueryInfo(*handle);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->subkeyCount, 1u);
  EXPECT_EQ(info->longestSubkeyName, 6u);
  registry->Close(*handle);
}

TEST_P(RegistryContract, TheTwoViewsOfTheMachineKeyAreApart) {
  const std::u16string path = u"SOFTWARE\\Tessaly\\ContractViews" + scratch.substr(scratch.rfind(u'\\'));
  RegistryKey(*registry, RegistryRoot::LocalMachine, path, RegistryView::Bits32).WriteString(u"Home", u"32");
  RegistryKey(*registry, RegistryRoot::LocalMachine, path, RegistryView::Bits64).WriteString(u"Home", u"64");
  EXPECT_EQ(ReadStringAt(*registry, RegistryRoot::LocalMachine, path, u"Home", RegistryView::Bits32), u"32");
  EXPECT_EQ(ReadStringAt(*registry, RegistryRoot::LocalMachine, path, u"Home", RegistryView::Bits64), u"64");
  // A 64-bit program sees the 32-bit view under Wow6432Node.
  const std::u16string redirected = u"SOFTWARE\\Wow6432Node" + path.substr(std::u16string(u"SOFTWARE").size());
  EXPECT_EQ(ReadStringAt(*registry, RegistryRoot::LocalMachine, redirected, u"Home", RegistryView::Bits64), u"32");
  EXPECT_EQ(DeleteTree(*registry, RegistryRoot::LocalMachine, path, RegistryView::Bits32), kRegistryOk);
  EXPECT_EQ(ReadStringAt(*registry, RegistryRoot::LocalMachine, path, u"Home", RegistryView::Bits32), u"");
  EXPECT_EQ(ReadStringAt(*registry, RegistryRoot::LocalMachine, path, u"Home", RegistryView::Bits64), u"64");
  EXPECT_EQ(DeleteTree(*registry, RegistryRoot::LocalMachine, path, RegistryView::Bits64), kRegistryOk);
}

INSTANTIATE_TEST_SUITE_P(Memory, RegistryContract,
                         ::testing::Values(RegistryFactory([] { return std::make_unique<MemoryRegistry>(); })));

}  // namespace tc
