// An in-memory registry with the Windows registry's semantics.
#include "platform/host/MemoryRegistry.h"

#include <algorithm>

#include "base/Text.h"

namespace tc {

namespace {

std::vector<std::u16string> SplitKeyPath(const std::u16string& path) {
  std::vector<std::u16string> parts;
  if (path.empty()) return parts;
  size_t begin = 0;
  while (true) {
    const size_t end = path.find(u'\\', begin);
    parts.push_back(path.substr(begin, end == std::u16string::npos ? std::u16string::npos : end - begin));
    if (end == std::u16string::npos) return parts;
    begin = end + 1;
  }
}

// The 32-bit view of HKEY_LOCAL_MACHINE\Software lives under Software\Wow6432Node.
std::vector<std::u16string> ViewPath(RegistryRoot root, std::vector<std::u16string> parts, RegistryView view) {
  if (root == RegistryRoot::LocalMachine && view == RegistryView::Bits32 && !parts.empty() &&
      EqualsIgnoreCase(parts[0], u"Software") && !(parts.size() > 1 && EqualsIgnoreCase(parts[1], u"Wow6432Node"))) {
    parts.insert(parts.begin() + 1, u"Wow6432Node");
  }
  return parts;
}

}  // namespace

bool MemoryRegistry::CaseInsensitiveLess::operator()(const std::u16string& a, const std::u16string& b) const {
  // The registry orders names by their upper-case form.
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return UpperCase(x) < UpperCase(y); });
}

MemoryRegistry::MemoryRegistry() : currentUser_(std::make_shared<Node>()), localMachine_(std::make_shared<Node>()) {}

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Find(RegistryRoot root, const std::u16string& path,
                                                           RegistryView view, bool create) {
  std::shared_ptr<Node> node = root == RegistryRoot::CurrentUser ? currentUser_ : localMachine_;
  for (const std::u16string& part : ViewPath(root, SplitKeyPath(path), view)) {
    if (part.empty() || part.size() > 255) return nullptr;
    auto it = node->subkeys.find(part);
    if (it == node->subkeys.end()) {
      if (!create || node->readOnly) return nullptr;
      auto child = std::make_shared<Node>();
      child->name = part;
      it = node->subkeys.emplace(part, std::move(child)).first;
    }
    node = it->second;
  }
  return node;
}

const MemoryRegistry::OpenKey* MemoryRegistry::Live(Handle key) const {
  const auto it = handles_.find(key);
  if (it == handles_.end() || it->second.node->deleted) return nullptr;
  return &it->second;
}

// An open asking more than a read-only key grants fails, as ERROR_ACCESS_DENIED does.
std::optional<Registry::Handle> MemoryRegistry::Register(std::shared_ptr<Node> node, std::uint32_t access) {
  if (!node || (node->readOnly && (access & ~kKeyRead) != 0)) return std::nullopt;
  const Handle handle = nextHandle_++;
  handles_.emplace(handle, OpenKey{std::move(node), access});
  return handle;
}

void MemoryRegistry::MakeReadOnly(RegistryRoot root, const std::u16string& path, RegistryView view) {
  const auto mark = [](const auto& self, Node& node) -> void {
    node.readOnly = true;
    for (auto& [name, child] : node.subkeys) self(self, *child);
  };
  if (const auto node = Find(root, path, view, false)) mark(mark, *node);
}

std::optional<Registry::Handle> MemoryRegistry::Open(RegistryRoot root, const std::u16string& path,
                                                     std::uint32_t access, RegistryView view) {
  return Register(Find(root, path, view, false), access);
}

std::optional<Registry::Handle> MemoryRegistry::Create(RegistryRoot root, const std::u16string& path,
                                                       std::uint32_t access, RegistryView view) {
  return Register(Find(root, path, view, true), access);
}

void MemoryRegistry::Close(Handle key) { handles_.erase(key); }

std::optional<RegistryValue> MemoryRegistry::QueryValue(Handle key, const std::u16string& name) {
  const auto open = Live(key);
  if (!open) return std::nullopt;
  const auto& node = open->node;
  const auto it = node->values.find(name);
  if (it == node->values.end()) return std::nullopt;
  return it->second;
}

bool MemoryRegistry::SetValue(Handle key, const std::u16string& name, const RegistryValue& value) {
  const auto open = Live(key);
  if (!open || (open->access & kKeySetValue) == 0) return false;
  open->node->values[name] = value;
  return true;
}

bool MemoryRegistry::DeleteValue(Handle key, const std::u16string& name) {
  const auto open = Live(key);
  return open && (open->access & kKeySetValue) != 0 && open->node->values.erase(name) == 1;
}

std::optional<std::u16string> MemoryRegistry::EnumerateSubkey(Handle key, std::uint32_t index,
                                                              std::uint32_t maxNameLength) {
  const auto open = Live(key);
  if (!open || index >= open->node->subkeys.size()) return std::nullopt;
  const auto& node = open->node;
  const std::u16string& name = std::next(node->subkeys.begin(), index)->second->name;
  if (name.size() >= maxNameLength) return std::nullopt;  // ERROR_MORE_DATA: the name and its null don't fit
  return name;
}

std::optional<RegistryKeyInfo> MemoryRegistry::QueryInfo(Handle key) {
  const auto open = Live(key);
  if (!open) return std::nullopt;
  const auto& node = open->node;
  RegistryKeyInfo info;
  info.subkeyCount = static_cast<std::uint32_t>(node->subkeys.size());
  info.valueCount = static_cast<std::uint32_t>(node->values.size());
  for (const auto& [name, child] : node->subkeys) {
    info.longestSubkeyName = std::max(info.longestSubkeyName, static_cast<std::uint32_t>(name.size()));
  }
  return info;
}

long MemoryRegistry::DeleteKey(RegistryRoot root, const std::u16string& path, RegistryView view) {
  auto parts = ViewPath(root, SplitKeyPath(path), view);
  if (parts.empty()) return kRegistryAccessDenied;
  const std::u16string last = parts.back();
  parts.pop_back();
  std::u16string parentPath;
  for (const auto& part : parts) parentPath += (parentPath.empty() ? u"" : u"\\") + part;
  const auto parent = Find(root, parentPath, RegistryView::Default, false);
  if (!parent) return kRegistryFileNotFound;
  const auto it = parent->subkeys.find(last);
  if (it == parent->subkeys.end()) return kRegistryFileNotFound;
  if (!it->second->subkeys.empty() || it->second->readOnly) return kRegistryAccessDenied;
  it->second->deleted = true;
  parent->subkeys.erase(it);
  return kRegistryOk;
}

}  // namespace tc
