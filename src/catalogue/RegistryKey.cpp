// A registry key object over the registry port.
#include "catalogue/RegistryKey.h"

#include <cstring>
#include <utility>

namespace tc {

namespace {

constexpr std::uint32_t kNameBuffer = 256;

std::u16string JoinKeyPath(const std::u16string& path, const std::u16string& name) {
  return path.empty() ? name : path + u"\\" + name;
}

// Up to the first NUL, with or without one at the end.
std::u16string DecodeString(const std::vector<std::uint8_t>& data) {
  const size_t units = data.size() / 2;
  if (units < 2) return {};
  std::u16string text(units, u'\0');
  std::memcpy(text.data(), data.data(), units * 2);
  const auto end = text.find(u'\0');
  if (end != std::u16string::npos) text.resize(end);
  return text;
}

// A handle opened for one call and closed on every path out of it.
struct ScopedKey {
  ScopedKey(Registry& registry, RegistryRoot root, const std::u16string& path, RegistryView view)
      : registry(registry), handle(registry.Open(root, path, kKeyRead, view)) {}
  ~ScopedKey() {
    if (handle) registry.Close(*handle);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  Registry& registry;
  std::optional<Registry::Handle> handle;
};

}  // namespace

RegistryKey::RegistryKey(Registry& registry, RegistryRoot root, std::u16string path, RegistryView view)
    : registry_(registry), root_(root), path_(std::move(path)), view_(view) {}

RegistryKey::~RegistryKey() {
  if (handle_) registry_.Close(*handle_);
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : registry_(other.registry_), root_(other.root_), path_(std::move(other.path_)), view_(other.view_),
      handle_(std::exchange(other.handle_, std::nullopt)), writable_(other.writable_) {}

RegistryKey RegistryKey::Child(const std::u16string& name) const {
  return RegistryKey(registry_, root_, path_ + u"\\" + name, view_);
}

bool RegistryKey::Open() {
  if (!handle_) handle_ = registry_.Open(root_, path_, kKeyRead, view_);
  return handle_.has_value();
}

bool RegistryKey::OpenOrCreate() {
  if (handle_ && writable_) return true;
  if (handle_) registry_.Close(*std::exchange(handle_, std::nullopt));
  constexpr std::uint32_t access = kKeyRead | kKeyWrite;
  handle_ = path_.empty() ? registry_.Open(root_, path_, access, view_) : registry_.Create(root_, path_, access, view_);
  writable_ = handle_.has_value();
  return writable_;
}

std::u16string RegistryKey::ReadString(const std::u16string& name, const std::u16string& fallback) {
  if (!Open()) return fallback;
  const auto value = registry_.QueryValue(*handle_, name);
  if (!value) return fallback;
  return DecodeString(value->data);
}

std::optional<std::u16string> RegistryKey::ReadText(const std::u16string& name) {
  if (!Open()) return std::nullopt;
  const auto value = registry_.QueryValue(*handle_, name);
  if (!value || (value->type != RegistryType::String && value->type != RegistryType::ExpandString)) {
    return std::nullopt;
  }
  return DecodeString(value->data);
}

std::uint32_t RegistryKey::ReadNumber(const std::u16string& name, std::uint32_t fallback) {
  if (!Open()) return fallback;
  const auto value = registry_.QueryValue(*handle_, name);
  if (!value || value->data.size() < 4) return fallback;
  const auto& d = value->data;
  return std::uint32_t{d[0]} | std::uint32_t{d[1]} << 8 | std::uint32_t{d[2]} << 16 | std::uint32_t{d[3]} << 24;
}

std::optional<std::uint32_t> RegistryKey::ReadDword(const std::u16string& name) {
  if (!Open()) return std::nullopt;
  const auto value = registry_.QueryValue(*handle_, name);
  if (!value || value->type != RegistryType::Number || value->data.size() != 4) return std::nullopt;
  return ReadNumber(name, 0);
}

bool RegistryKey::HasValue(const std::u16string& name) {
  return Open() && registry_.QueryValue(*handle_, name).has_value();
}

bool RegistryKey::WriteString(const std::u16string& name, const std::u16string& text) {
  if (!OpenOrCreate()) return false;
  RegistryValue value{RegistryType::String, std::vector<std::uint8_t>((text.size() + 1) * 2, 0)};
  std::memcpy(value.data.data(), text.data(), text.size() * 2);
  return registry_.SetValue(*handle_, name, value);
}

bool RegistryKey::WriteNumber(const std::u16string& name, std::uint32_t value) {
  if (!OpenOrCreate()) return false;
  return registry_.SetValue(
      *handle_, name,
      RegistryValue{RegistryType::Number,
                    {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                     static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}});
}

bool RegistryKey::WriteNone(const std::u16string& name) {
  if (!OpenOrCreate()) return false;
  return registry_.SetValue(*handle_, name, RegistryValue{RegistryType::None, {}});
}

std::u16string ReadStringAt(Registry& registry, RegistryRoot root, const std::u16string& path,
                            const std::u16string& name, RegistryView view) {
  return RegistryKey(registry, root, path, view).ReadString(name);
}

std::vector<std::u16string> ListSubkeys(Registry& registry, RegistryRoot root, const std::u16string& path,
                                        RegistryView view) {
  std::vector<std::u16string> names;
  const ScopedKey key(registry, root, path, view);
  if (!key.handle) return names;
  for (std::uint32_t index = 0;; ++index) {
    auto name = registry.EnumerateSubkey(*key.handle, index, kNameBuffer);
    if (!name) break;
    names.push_back(std::move(*name));
  }
  return names;
}

long DeleteTree(Registry& registry, RegistryRoot root, const std::u16string& path, RegistryView view) {
  {
    const ScopedKey key(registry, root, path, view);
    if (!key.handle) return kRegistryFileNotFound;
    if (const auto info = registry.QueryInfo(*key.handle)) {
      // From the last index down, so that each deletion leaves the indices still to come in place.
      for (std::uint32_t index = info->subkeyCount; index-- > 0;) {
        const auto name = registry.EnumerateSubkey(*key.handle, index, info->longestSubkeyName + 1);
        if (name) DeleteTree(registry, root, JoinKeyPath(path, *name), view);
      }
    }
  }
  return registry.DeleteKey(root, path, view);
}

bool DeleteValue(Registry& registry, RegistryRoot root, const std::u16string& path, const std::u16string& name) {
  const auto key = registry.Open(root, path, kKeySetValue, RegistryView::Default);
  if (!key) return false;
  const bool deleted = registry.DeleteValue(*key, name);
  registry.Close(*key);
  return deleted;
}

bool DeleteIfEmpty(Registry& registry, RegistryRoot root, const std::u16string& path) {
  {
    const ScopedKey key(registry, root, path, RegistryView::Default);
    if (!key.handle) return false;
    const auto info = registry.QueryInfo(*key.handle);
    if (!info || info->subkeyCount != 0 || info->valueCount != 0) return false;
  }
  return registry.DeleteKey(root, path, RegistryView::Default) == kRegistryOk;
}

}  // namespace tc
