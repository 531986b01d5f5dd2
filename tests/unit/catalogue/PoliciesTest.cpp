// The policies an organisation sets: the machine's value over the user's, and only REG_DWORD values count.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "catalogue/Policies.h"
#include "platform/host/MemoryRegistry.h"

namespace tc {
namespace {

TEST(ReadPolicies, TheMachineWinsAndOnlyADwordCounts) {
  using Stored = std::optional<RegistryValue>;  // nullopt: no value
  const Stored absent, zero{{RegistryType::Number, {0, 0, 0, 0}}}, one{{RegistryType::Number, {1, 0, 0, 0}}};
  const Stored two{{RegistryType::Number, {2, 0, 0, 0}}}, seven{{RegistryType::Number, {7, 0, 0, 0}}};
  const Stored binary{{RegistryType::Binary, {1, 0, 0, 0}}};  // the number 1, were the type not checked
  const struct {
    Stored machine, user;
    std::uint32_t counts;  // the value that counts
  } cases[] = {
      {absent, absent, 0}, {absent, one, 1}, {one, absent, 1}, {one, zero, 1}, {zero, one, 0},
      {binary, absent, 0}, {binary, one, 1}, {absent, binary, 0}, {two, one, 2}, {seven, two, 7},
  };
  for (const std::u16string name : {u"DisableUpdateCheck", u"DisableJavaDownload", u"FilesFromTheInternet"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(ToUtf8(name) + " case " + std::to_string(&c - cases));
      MemoryRegistry registry;
      const std::pair<RegistryRoot, Stored> roots[] = {{RegistryRoot::LocalMachine, c.machine},
                                                       {RegistryRoot::CurrentUser, c.user}};
      for (const auto& [root, stored] : roots) {
        const auto key = registry.Create(root, u"Software\\Policies\\Tessaly\\Corvalo", kKeyRead | kKeyWrite);
        if (stored) registry.SetValue(*key, name, *stored);
        registry.Close(*key);
      }
      const Policies policies = ReadPolicies(registry);
      EXPECT_EQ(policies.disableUpdateCheck, c.counts == 1 && name == u"DisableUpdateCheck");
      EXPECT_EQ(policies.disableJavaDownload, c.counts == 1 && name == u"DisableJavaDownload");
      // A number that is no choice asks, as a missing value does.
      const bool choice = name == u"FilesFromTheInternet" && c.counts <= 2;
      EXPECT_EQ(policies.filesFromTheInternet, choice ? FromTheInternet{c.counts} : FromTheInternet::Ask);
    }
  }
}

}  // namespace
}  // namespace tc
