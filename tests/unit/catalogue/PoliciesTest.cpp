// The policies an organisation sets: the machine's value over the user's, and only REG_DWORD values count.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "catalogue/Policies.h"
#include "platform/host/MemoryRegistry.h"

namespace tc {
namespace {

using Stored = std::optional<RegistryValue>;  // nullopt: no value

Policies ReadStored(const std::u16string& name, const Stored& machine, const Stored& user) {
  MemoryRegistry registry;
  const std::pair<RegistryRoot, Stored> roots[] = {{RegistryRoot::LocalMachine, machine},
                                                   {RegistryRoot::CurrentUser, user}};
  for (const auto& [root, stored] : roots) {
    const auto key = registry.Create(root, u"Software\\Policies\\Tessaly\\Corvalo", kKeyRead | kKeyWrite);
    if (stored) registry.SetValue(*key, name, *stored);
    registry.Close(*key);
  }
  return ReadPolicies(registry);
}

TEST(ReadPolicies, TheMachineWinsAndOnlyADwordCounts) {
  const auto number = [](std::uint8_t n) { return Stored{{RegistryType::Number, {n, 0, 0, 0}}}; };
  const Stored absent, zero = number(0), one = number(1), two = number(2), seven = number(7);
  const Stored binary{{RegistryType::Binary, {1, 0, 0, 0}}};  // the number 1, were the type not checked
  const struct {
    Stored machine, user;
    bool set;
  } cases[] = {
      {absent, absent, false}, {absent, one, true},     {one, absent, true}, {one, zero, true},
      {zero, one, false},      {binary, absent, false}, {binary, one, true}, {absent, binary, false},
  };
  for (const std::u16string name : {u"DisableUpdateCheck", u"DisableJavaDownload"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(ToUtf8(name) + " case " + std::to_string(&c - cases));
      const Policies policies = ReadStored(name, c.machine, c.user);
      EXPECT_EQ(policies.disableUpdateCheck, c.set && name == u"DisableUpdateCheck");
      EXPECT_EQ(policies.disableJavaDownload, c.set && name == u"DisableJavaDownload");
      EXPECT_EQ(policies.filesFromTheInternet, FromTheInternet::Ask);
    }
  }
  // A number that is no choice asks, as a missing value does.
  const struct {
    Stored machine, user;
    FromTheInternet choice;
  } choices[] = {
      {absent, absent, FromTheInternet::Ask},         {absent, two, FromTheInternet::StartWithoutAsking},
      {one, two, FromTheInternet::NeverStart},        {zero, one, FromTheInternet::Ask},
      {seven, one, FromTheInternet::Ask},             {binary, one, FromTheInternet::NeverStart},
  };
  for (const auto& c : choices) {
    EXPECT_EQ(ReadStored(u"FilesFromTheInternet", c.machine, c.user).filesFromTheInternet, c.choice)
        << "case " << &c - choices;
  }
}

}  // namespace
}  // namespace tc
