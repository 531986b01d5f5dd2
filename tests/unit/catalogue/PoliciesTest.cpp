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
      MemoryRegistry registry;
      const std::pair<RegistryRoot, Stored> roots[] = {{RegistryRoot::LocalMachine, c.machine},
                                                       {RegistryRoot::CurrentUser, c.user}};
      for (const auto& [root, stored] : roots) {
        const auto key = registry.Create(root, u"Software\\Policies\\Tessaly\\Corvalo", kKeyRead | kKeyWrite);
        if (stored) registry.SetValue(*key, name, *stored);
        registry.Close(*key);
      }
      const Policies policies = ReadPolicies(registry);
      EXPECT_EQ(policies.disableUpdateCheck, c.set && name == u"DisableUpdateCheck");
      EXPECT_EQ(policies.disableJavaDownload, c.set && name == u"DisableJavaDownload");
    }
  }
}

}  // namespace
}  // namespace tc
