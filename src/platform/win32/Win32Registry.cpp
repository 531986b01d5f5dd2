// The registry port over advapi32.
#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Win32Text.h"

namespace tc {

namespace {

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

REGSAM ViewFlag(RegistryView view) {
  switch (view) {
    case RegistryView::Bits32: return KEY_WOW64_32KEY;
    case RegistryView::Bits64: return KEY_WOW64_64KEY;
    default: return 0;
  }
}

HKEY AsKey(Registry::Handle handle) { return reinterpret_cast<HKEY>(handle); }

}  // namespace

std::optional<Registry::Handle> Win32Registry::Open(RegistryRoot root, const std::u16string& path,
                                                    std::uint32_t access, RegistryView view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootKey(root), Wide(path), 0, access | ViewFlag(view), &key) != ERROR_SUCCESS) return std::nullopt;
  return reinterpret_cast<Handle>(key);
}

std::optional<Registry::Handle> Win32Registry::Create(RegistryRoot root, const std::u16string& path,
                                                      std::uint32_t access, RegistryView view) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(RootKey(root), Wide(path), 0, nullptr, REG_OPTION_NON_VOLATILE, access | ViewFlag(view), nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return reinterpret_cast<Handle>(key);
}

void Win32Registry::Close(Handle key) { RegCloseKey(AsKey(key)); }

std::optional<RegistryValue> Win32Registry::QueryValue(Handle key, const std::u16string& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(AsKey(key), Wide(name), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  RegistryValue value{static_cast<RegistryType>(type), std::vector<std::uint8_t>(size)};
  // The value may grow between the two calls; ERROR_MORE_DATA then simply fails the read.
  if (RegQueryValueExW(AsKey(key), Wide(name), nullptr, &type, value.data.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

bool Win32Registry::SetValue(Handle key, const std::u16string& name, const RegistryValue& value) {
  return RegSetValueExW(AsKey(key), Wide(name), 0, static_cast<DWORD>(value.type), value.data.data(),
                        static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(Handle key, const std::u16string& name) {
  return RegDeleteValueW(AsKey(key), Wide(name)) == ERROR_SUCCESS;
}

std::optional<std::u16string> Win32Registry::EnumerateSubkey(Handle key, std::uint32_t index,
                                                             std::uint32_t maxNameLength) {
  std::vector<wchar_t> name(maxNameLength + 1, L'\0');
  DWORD length = maxNameLength;
  if (RegEnumKeyExW(AsKey(key), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return FromWide(name.data(), length);
}

std::optional<RegistryKeyInfo> Win32Registry::QueryInfo(Handle key) {
  DWORD subkeys = 0;
  DWORD longest = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyW(AsKey(key), nullptr, nullptr, nullptr, &subkeys, &longest, nullptr, &values, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return RegistryKeyInfo{subkeys, longest, values};
}

long Win32Registry::DeleteKey(RegistryRoot root, const std::u16string& path, RegistryView view) {
  if (view == RegistryView::Default) return RegDeleteKeyW(RootKey(root), Wide(path));
  return RegDeleteKeyExW(RootKey(root), Wide(path), ViewFlag(view), 0);
}

}  // namespace tc
