// A registry key object over the registry port: opened on first use, closed when destroyed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace tc {

class RegistryKey {
 public:
  RegistryKey(Registry& registry, RegistryRoot root, std::u16string path,
              RegistryView view = RegistryView::Default);
  ~RegistryKey();
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey& operator=(RegistryKey&&) = delete;

  RegistryKey Child(const std::u16string& name) const;

  // Opens for reading only; the first write reopens the key for writing, creating it when missing.
  bool Open();
  bool OpenOrCreate();

  std::u16string ReadString(const std::u16string& name, const std::u16string& fallback = {});
  // A REG_SZ or REG_EXPAND_SZ value as ReadString reads it; nullopt when it is missing or of another type.
  std::optional<std::u16string> ReadText(const std::u16string& name);
  std::uint32_t ReadNumber(const std::u16string& name, std::uint32_t fallback);
  // A REG_DWORD value; nullopt when it is missing or of another type.
  std::optional<std::uint32_t> ReadDword(const std::u16string& name);
  bool HasValue(const std::u16string& name);
  // Each write returns false when the key could not be opened for writing or the value was refused.
  bool WriteString(const std::u16string& name, const std::u16string& text);
  bool WriteNumber(const std::u16string& name, std::uint32_t value);
  // REG_NONE without data: a value that says something by its name alone.
  bool WriteNone(const std::u16string& name);

  const std::u16string& Path() const { return path_; }
  RegistryRoot Root() const { return root_; }

 private:
  Registry& registry_;
  RegistryRoot root_;
  std::u16string path_;
  RegistryView view_;
  std::optional<Registry::Handle> handle_;
  bool writable_ = false;  // opened for writing, not only for reading
};

std::u16string ReadStringAt(Registry& registry, RegistryRoot root, const std::u16string& path,
                            const std::u16string& name, RegistryView view = RegistryView::Default);

std::vector<std::u16string> ListSubkeys(Registry& registry, RegistryRoot root, const std::u16string& path,
                                        RegistryView view = RegistryView::Default);

// Deletes the key and all its subkeys; returns the registry's error code (a missing key is an error here).
long DeleteTree(Registry& registry, RegistryRoot root, const std::u16string& path,
                RegistryView view = RegistryView::Default);

// True when the value was there and is gone.
bool DeleteValue(Registry& registry, RegistryRoot root, const std::u16string& path, const std::u16string& name);

// Deletes the key only when it holds neither values nor subkeys; true when it did.
bool DeleteIfEmpty(Registry& registry, RegistryRoot root, const std::u16string& path);

}  // namespace tc
