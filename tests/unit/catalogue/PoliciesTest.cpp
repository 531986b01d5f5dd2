// The policies an organisation sets: the machine's value over the user's, and only REG_DWORD values count.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "catalogue/Policies.h"
#include "platform/host/MemoryRegistry.h"

namespace tc {
namespace {

// What one root holds for a policy.
struct Stored {
  RegistryType type = RegistryType::None;  // None: no value
  std::uint8_t data = 0;                   // the four bytes' lowest; a text is this digit
};

void Put(MemoryRegistry& registry, RegistryRoot root, const std::u16string& name, Stored stored) {
  if (stored.type == RegistryType::None) return;
  const auto key = registry.Create(root, u"Software\\Policies\\Tessaly\\Corvalo", kKeyRead | kKeyWrite);
  ASSERT_TRUE(key);
  const std::vector<std::uint8_t> data = stored.type == RegistryType::String
                                             ? std::vector<std::uint8_t>{static_cast<std::uint8_t>('0' + stored.data), 0, 0, 0}
                                             : std::vector<std::uint8_t>{stored.data, 0, 0, 0};
  registry.SetValue(*key, name, RegistryValue{stored.type, data});
  registry.Close(*key);
}

TEST(ReadPolicies, TheMachineWinsAndOnlyADwordCounts) {
  const Stored absent, zero{RegistryType::Number, 0}, one{RegistryType::Number, 1};
  const Stored text{RegistryType::String, 1}, binary{RegistryType::Binary, 1};
  struct Case {
    Stored machine;
    Stored user;
    bool set;
  };
  const Case cases[] = {
      {absent, absent, false}, {absent, one, true},  {one, absent, true},    {one, zero, true},
      {zero, one, false},      {text, absent, false}, {binary, absent, false}, {text, one, true},
      {absent, binary, false},
  };
  for (const std::u16string name : {u"DisableUpdateCheck", u"DisableJavaDownload"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(ToUtf8(name) + " " + std::to_string(&c - cases));
      MemoryRegistry registry;
      Put(registry, RegistryRoot::LocalMachine, name, c.machine);
      Put(registry, RegistryRoot::CurrentUser, name, c.user);
      const Policies policies = ReadPolicies(registry);
      EXPECT_EQ(policies.disableUpdateCheck, c.set && name == u"DisableUpdateCheck");
      EXPECT_EQ(policies.disableJavaDownload, c.set && name == u"DisableJavaDownload");
    }
  }
}

}  // namespace
}  // namespace tc
