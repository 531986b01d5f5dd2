// The registry port over advapi32.
#pragma once

#include "platform/Registry.h"

namespace tc {

class Win32Registry final : public Registry {
 public:
  std::optional<Handle> Open(RegistryRoot root, const std::u16string& path, std::uint32_t access,
                             RegistryView view) override;
  std::optional<Handle> Create(RegistryRoot root, const std::u16string& path, std::uint32_t access,
                               RegistryView view = RegistryView::Default) override;
  void Close(Handle key) override;
  std::optional<RegistryValue> QueryValue(Handle key, const std::u16string& name) override;
  bool SetValue(Handle key, const std::u16string& name, const RegistryValue& value) override;
  bool DeleteValue(Handle key, const std::u16string& name) override;
  std::optional<std::u16string> EnumerateSubkey(Handle key, std::uint32_t index,
                                                std::uint32_t maxNameLength) override;
  std::optional<RegistryKeyInfo> QueryInfo(Handle key) override;
  long DeleteKey(RegistryRoot root, const std::u16string& path, RegistryView view) override;
};

}  // namespace tc
