// What an organisation turns off for its users.
#include "catalogue/Policies.h"

#include <optional>

#include "catalogue/RegistryKey.h"

namespace tc {

namespace {

constexpr char16_t kPoliciesPath[] = u"Software\\Policies\\Tessaly\\Corvalo";

bool PolicySet(RegistryKey& machine, RegistryKey& user, const std::u16string& name) {
  std::optional<std::uint32_t> value = machine.ReadDword(name);
  if (!value) value = user.ReadDword(name);
  return value.value_or(0) == 1;
}

}  // namespace

Policies ReadPolicies(Registry& registry) {
  RegistryKey machine(registry, RegistryRoot::LocalMachine, kPoliciesPath);
  RegistryKey user(registry, RegistryRoot::CurrentUser, kPoliciesPath);
  return Policies{PolicySet(machine, user, u"DisableUpdateCheck"), PolicySet(machine, user, u"DisableJavaDownload")};
}

}  // namespace tc
