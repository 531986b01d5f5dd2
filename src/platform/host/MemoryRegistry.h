// An in-memory registry with the Windows registry's semantics, for running the core off Windows.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace tc {

class MemoryRegistry final : public Registry {
 public:
  MemoryRegistry();

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

  size_t OpenHandles() const { return handles_.size(); }
  // The key and every key below it grant no more than KEY_READ, as HKEY_LOCAL_MACHINE does to a user who is
  // not elevated; an empty path makes the whole root so.
  void MakeReadOnly(RegistryRoot root, const std::u16string& path, RegistryView view = RegistryView::Default);

 private:
  struct CaseInsensitiveLess {
    bool operator()(const std::u16string& a, const std::u16string& b) const;
  };
  struct Node {
    std::u16string name;
    std::map<std::u16string, RegistryValue, CaseInsensitiveLess> values;
    std::map<std::u16string, std::shared_ptr<Node>, CaseInsensitiveLess> subkeys;
    bool deleted = false;
    bool readOnly = false;
  };
  struct OpenKey {
    std::shared_ptr<Node> node;
    std::uint32_t access = 0;
  };

  std::shared_ptr<Node> Find(RegistryRoot root, const std::u16string& path, RegistryView view, bool create);
  const OpenKey* Live(Handle key) const;
  std::optional<Handle> Register(std::shared_ptr<Node> node, std::uint32_t access);

  std::shared_ptr<Node> currentUser_;
  std::shared_ptr<Node> localMachine_;
  std::map<Handle, OpenKey> handles_;
  Handle nextHandle_ = 1;
};

}  // namespace tc
