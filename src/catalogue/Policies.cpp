// What an organisation turns off or decides for its users.
#include "catalogue/Policies.h"

#include <optional>

#include "catalogue/RegistryKey.h"

namespace tc {

namespace {

constexpr char16_t kPoliciesPath[] = u"Software\\Policies\\Tessaly\\Corvalo";

std::uint32_t PolicyValue(RegistryKey& machine, RegistryKey& user, const std::u16string& name) {
  std::optional<std::uint32_t> value = machine.ReadDword(name);
  if (!value) value = user.ReadDword(name);
  return value.value_or(0);
}

// A number no choice has (a template of a later version, a typing error) asks, as a missing value does.
FromTheInternet InternetChoice(std::uint32_t value) {
  return value <= static_cast<std::uint32_t>(FromTheInternet::StartWithoutAsking) ? static_cast<FromTheInternet>(value)
                                                                                   : FromTheInternet::Ask;
}

}  // namespace

Policies ReadPolicies(Registry& registry) {
  RegistryKey machine(registry, RegistryRoot::LocalMachine, kPoliciesPath);
  RegistryKey user(registry, RegistryRoot::CurrentUser, kPoliciesPath);
  return Policies{PolicyValue(machine, user, u"DisableUpdateCheck") == 1,
                  PolicyValue(machine, user, u"DisableJavaDownload") == 1,
                  InternetChoice(PolicyValue(machine, user, u"FilesFromTheInternet"))};
}

}  // namespace tc
