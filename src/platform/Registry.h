// The registry port: the few registry calls the core makes, in the registry's own terms.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tc {

enum class RegistryRoot { CurrentUser, LocalMachine };

// Which view of HKEY_LOCAL_MACHINE a key is opened in; HKEY_CURRENT_USER is not redirected.
enum class RegistryView { Default, Bits32, Bits64 };

enum class RegistryType : std::uint32_t { None = 0, String = 1, ExpandString = 2, Binary = 3, Number = 4 };

struct RegistryValue {
  RegistryType type = RegistryType::None;
  std::vector<std::uint8_t> data;
};

struct RegistryKeyInfo {
  std::uint32_t subkeyCount = 0;
  std::uint32_t longestSubkeyName = 0;
  std::uint32_t valueCount = 0;
};

// KEY_READ and KEY_WRITE: a user who is not elevated gets no more than KEY_READ on HKEY_LOCAL_MACHINE.
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr long kRegistryOk = 0;
constexpr long kRegistryFileNotFound = 2;
constexpr long kRegistryAccessDenied = 5;

class Registry {
 public:
  using Handle = std::uintptr_t;  // never 0 for an open key

  virtual ~Registry() = default;

  // RegOpenKeyExW; an empty path opens the root itself.
  virtual std::optional<Handle> Open(RegistryRoot root, const std::u16string& path, std::uint32_t access,
                                     RegistryView view) = 0;
  // RegCreateKeyExW: creates missing keys on the path.
  virtual std::optional<Handle> Create(RegistryRoot root, const std::u16string& path, std::uint32_t access,
                                       RegistryView view = RegistryView::Default) = 0;
  virtual void Close(Handle key) = 0;

  virtual std::optional<RegistryValue> QueryValue(Handle key, const std::u16string& name) = 0;
  virtual bool SetValue(Handle key, const std::u16string& name, const RegistryValue& value) = 0;
  // RegDeleteValueW; false when the value was not there or could not be deleted.
  virtual bool DeleteValue(Handle key, const std::u16string& name) = 0;

  // RegEnumKeyExW with a buffer of maxNameLength characters; nullopt for no more items or any error.
  virtual std::optional<std::u16string> EnumerateSubkey(Handle key, std::uint32_t index,
                                                        std::uint32_t maxNameLength) = 0;
  virtual std::optional<RegistryKeyInfo> QueryInfo(Handle key) = 0;

  // RegDeleteKeyW of a key without subkeys; returns the registry's error code.
  virtual long DeleteKey(RegistryRoot root, const std::u16string& path, RegistryView view) = 0;
};

}  // namespace tc
