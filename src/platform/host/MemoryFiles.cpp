// An in-memory file system with the Windows file system's semantics.
#include "platform/host/MemoryFiles.h"

#include <algorithm>
#include <cstring>

#include "base/Path.h"
#include "base/Text.h"

namespace tc {

namespace {

constexpr std::uint32_t kSettableAttributes = attribute::kReadOnly | attribute::kHidden | attribute::kSystem |
                                              attribute::kArchive | attribute::kNormal | 0x100 /* temporary */ |
                                              0x1000 /* offline */ | 0x2000 /* not content indexed */;

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }
bool HasDrive(std::u16string_view path) { return path.size() >= 2 && IsLetter(path[0]) && path[1] == u':'; }
bool HasWildcard(std::u16string_view name) { return name.find_first_of(u"*?") != std::u16string_view::npos; }

bool ValidPlainName(std::u16string_view name) {
  if (name.empty()) return false;
  for (char16_t c : name) {
    if (c < 0x20 || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos) return false;
  }
  return true;
}

// A file's stream is named after it, "game.jar:Zone.Identifier", and kept beside it as a file, as Wine keeps it.
bool ValidName(std::u16string_view name) {
  const size_t colon = name.find(u':');
  if (colon == std::u16string_view::npos) return ValidPlainName(name);
  return ValidPlainName(name.substr(0, colon)) && ValidPlainName(name.substr(colon + 1));
}

// Windows drops the trailing dots and spaces of a path's last name ("file." is "file", "..." is nothing), and
// one trailing dot of a name inside the path ("folder.\file"). The steps "." and ".." are not names.
std::u16string TrimName(std::u16string name, bool last) {
  if (last) {
    while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.pop_back();
  } else if (!name.empty() && name.back() == u'.') {
    name.pop_back();
  }
  return name;
}

// The file system's wildcard match: "*" any run, "?" one character, letters in either case; a trailing run of
// "." and "*" also matches the end of the name, so "*.*" takes names without a dot.
bool MatchWildcard(std::u16string_view mask, std::u16string_view name) {
  while (!mask.empty()) {
    if (mask[0] == u'*') {
      while (mask.size() > 1 && mask[1] == u'*') mask.remove_prefix(1);
      for (size_t skip = 0; skip <= name.size(); ++skip) {
        if (MatchWildcard(mask.substr(1), name.substr(skip))) return true;
      }
      return false;
    }
    if (name.empty()) break;
    if (mask[0] != u'?' && UpperCase(mask[0]) != UpperCase(name[0])) return false;
    mask.remove_prefix(1);
    name.remove_prefix(1);
  }
  return name.empty() && mask.find_first_not_of(u".*") == std::u16string_view::npos;
}

}  // namespace

class MemoryFiles::Reader final : public FileReader {
 public:
  Reader(std::shared_ptr<Node> node, std::shared_ptr<int> openReaders)
      : node_(std::move(node)), openReaders_(std::move(openReaders)) {
    ++node_->readers;
    ++*openReaders_;
  }
  ~Reader() override {
    --node_->readers;
    --*openReaders_;
  }

  std::optional<std::uint64_t> Size() override {
    if (node_->fault == FileFault::SizeFails) return std::nullopt;
    return node_->bytes.size();
  }

  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    if (node_->fault == FileFault::ReadFails) return std::nullopt;
    const std::vector<std::uint8_t>& bytes = node_->bytes;
    if (offset >= bytes.size()) return 0;
    const std::size_t count = std::min<std::uint64_t>(length, bytes.size() - offset);
    if (count > 0) std::memcpy(buffer, bytes.data() + offset, count);
    return count;
  }

 private:
  std::shared_ptr<Node> node_;
  std::shared_ptr<int> openReaders_;
};

bool MemoryFiles::NameLess::operator()(const std::u16string& a, const std::u16string& b) const {
  // NTFS orders names by their upper-case form, which puts "_" after the letters.
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return UpperCase(x) < UpperCase(y); });
}

MemoryFiles::MemoryFiles() : temporaryFolder_(u"C:\\Users\\user\\AppData\\Local\\Temp\\") {
  currentFolder_.root = u"C:";
  Root(u"C:", true);
  AddFolder(temporaryFolder_);
}

MemoryFiles::~MemoryFiles() {
  // A link to a folder above it is a loop of shared nodes; emptying every folder breaks it.
  std::vector<std::shared_ptr<Node>> pending;
  for (const auto& [name, root] : roots_) pending.push_back(root);
  while (!pending.empty()) {
    const std::shared_ptr<Node> node = std::move(pending.back());
    pending.pop_back();
    for (const auto& [name, child] : node->children) pending.push_back(child);
    node->children.clear();
  }
}

std::shared_ptr<MemoryFiles::Node> MemoryFiles::NewNode(bool folder, std::uint32_t volume) {
  auto node = std::make_shared<Node>();
  node->index = nextIndex_++;
  node->volume = volume;
  node->folder = folder;
  node->attributes = folder ? attribute::kDirectory : attribute::kArchive;
  return node;
}

std::optional<MemoryFiles::Location> MemoryFiles::Locate(const std::u16string& path) const {
  if (path.empty() || path.find(u'\0') != std::u16string::npos) return std::nullopt;
  std::u16string text = path;
  std::replace(text.begin(), text.end(), u'/', u'\\');

  Location location;
  std::u16string rest;
  bool separatorAfterRoot = true;
  if (text.size() >= 2 && text[0] == u'\\' && text[1] == u'\\') {
    const size_t server = text.find(u'\\', 2);
    const size_t share = server == std::u16string::npos ? server : text.find(u'\\', server + 1);
    location.root = text.substr(0, share);
    separatorAfterRoot = share != std::u16string::npos;
    if (separatorAfterRoot) rest = text.substr(share + 1);
  } else if (HasDrive(text)) {
    if (text.size() > 2 && text[2] == u'\\') {
      location.root = text.substr(0, 2);
      rest = text.substr(3);
    } else {
      // "C:file" is relative to the current folder when C: is the current drive, else to the drive's root.
      if (EqualsIgnoreCase(currentFolder_.root, text.substr(0, 2))) {
        location = currentFolder_;
      } else {
        location.root = text.substr(0, 2);
      }
      rest = text.substr(2);
      separatorAfterRoot = false;
    }
  } else if (text[0] == u'\\') {
    location.root = currentFolder_.root;
    rest = text.substr(1);
  } else {
    location = currentFolder_;
    rest = text;
  }
  if (rest.empty() && !separatorAfterRoot) return location;

  bool trailing = false;
  for (size_t begin = 0;;) {
    size_t end = rest.find(u'\\', begin);
    const bool last = end == std::u16string::npos;
    if (last) end = rest.size();
    const std::u16string part = rest.substr(begin, end - begin);
    // Only the step ".." goes up: "...\" trimmed to ".." is a name, as Wine has it.
    if (part == u"..") {
      if (!location.names.empty()) location.names.pop_back();
    } else if (!part.empty() && part != u".") {
      location.names.push_back(last ? part : TrimName(part, false));
    }
    if (last) {
      trailing = part.empty();
      break;
    }
    begin = end + 1;
  }
  // The end of the folded path loses its dots and spaces, and a name made only of them goes, leaving the
  // separator before it: "C:\a\b. " is "C:\a\b", "C:\a\..." is "C:\a\".
  if (!trailing && !location.names.empty()) {
    location.names.back() = TrimName(location.names.back(), true);
    if (location.names.back().empty()) {
      location.names.pop_back();
      trailing = true;
    }
  }
  location.trailingSeparator = trailing && (!location.names.empty() || !HasDrive(location.root));
  return location;
}

std::shared_ptr<MemoryFiles::Node> MemoryFiles::Root(const std::u16string& root, bool create) {
  auto it = roots_.find(root);
  if (it != roots_.end()) return it->second;
  if (!create) return nullptr;
  const std::shared_ptr<Node> node = NewNode(true, static_cast<std::uint32_t>(nextIndex_));
  return roots_.emplace(root, node).first->second;
}

std::shared_ptr<MemoryFiles::Node> MemoryFiles::Child(const std::shared_ptr<Node>& folder, const std::u16string& name,
                                                      std::u16string* onDisk) const {
  if (!folder || !folder->folder || !ValidName(name)) return nullptr;
  auto it = folder->children.find(name);
  if (it == folder->children.end()) {
    it = std::find_if(folder->children.begin(), folder->children.end(), [&](const auto& entry) {
      return !entry.second->shortName.empty() && EqualsIgnoreCase(entry.second->shortName, name);
    });
  }
  if (it == folder->children.end()) return nullptr;
  if (onDisk) *onDisk = it->first;
  return it->second;
}

std::shared_ptr<MemoryFiles::Node> MemoryFiles::Lookup(const std::u16string& path) {
  const std::optional<Location> location = Locate(path);
  if (!location) return nullptr;
  std::shared_ptr<Node> node = Root(location->root, false);
  for (const std::u16string& name : location->names) {
    node = Child(node, name);
    if (!node) return nullptr;
  }
  if (!node || (location->trailingSeparator && !node->folder)) return nullptr;
  return node;
}

std::shared_ptr<MemoryFiles::Node> MemoryFiles::Parent(const std::u16string& path, std::u16string& name) {
  const std::optional<Location> location = Locate(path);
  if (!location || location->names.empty() || location->trailingSeparator) return nullptr;
  std::shared_ptr<Node> node = Root(location->root, false);
  for (size_t i = 0; i + 1 < location->names.size(); ++i) {
    node = Child(node, location->names[i]);
    if (!node) return nullptr;
  }
  name = location->names.back();
  return node && node->folder && ValidName(name) ? node : nullptr;
}

std::shared_ptr<MemoryFiles::Node> MemoryFiles::MakeFolders(const Location& location, size_t count) {
  std::shared_ptr<Node> node = Root(location.root, true);
  for (size_t i = 0; i < count; ++i) {
    const std::u16string& name = location.names[i];
    if (!ValidName(name)) return nullptr;
    std::shared_ptr<Node> child = Child(node, name);
    if (!child) child = node->children.emplace(name, NewNode(true, node->volume)).first->second;
    if (!child->folder) return nullptr;
    node = child;
  }
  return node;
}

bool MemoryFiles::Writable(const std::shared_ptr<Node>& existing) const {
  // A reader shares reading only, so a file being read can't be opened for writing.
  return !existing->folder && existing->fault != FileFault::Locked && existing->readers == 0 &&
         !(existing->attributes & attribute::kReadOnly);
}

std::shared_ptr<MemoryFiles::Node> MemoryFiles::NewFile(const std::shared_ptr<Node>& folder,
                                                           const std::u16string& name) {
  return folder->children.emplace(name, NewNode(false, folder->volume)).first->second;
}

bool MemoryFiles::Write(const std::shared_ptr<Node>& node, const std::vector<std::uint8_t>& bytes) {
  if (writeLimit_ && bytes.size() > *writeLimit_) {
    node->bytes.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(*writeLimit_));
    return false;
  }
  node->bytes = bytes;
  return true;
}

std::optional<std::uint32_t> MemoryFiles::Attributes(const std::u16string& path) {
  const std::shared_ptr<Node> node = Lookup(path);
  if (!node) return std::nullopt;
  return node->attributes;
}

bool MemoryFiles::SetAttributes(const std::u16string& path, std::uint32_t attributes) {
  const std::shared_ptr<Node> node = Lookup(path);
  if (!node) return false;
  // FILE_ATTRIBUTE_NORMAL only stands for "none of the others"; the directory bit can't be set or cleared.
  const std::uint32_t kept = attributes & kSettableAttributes & ~attribute::kNormal;
  if (node->folder) {
    node->attributes = attribute::kDirectory | kept;
  } else {
    node->attributes = kept ? kept : attribute::kNormal;
  }
  return true;
}

std::unique_ptr<FileReader> MemoryFiles::OpenForReading(const std::u16string& path) {
  std::shared_ptr<Node> node = Lookup(path);
  if (!node || node->folder || node->fault == FileFault::Locked) return nullptr;
  return std::make_unique<Reader>(std::move(node), openReaders_);
}

bool MemoryFiles::WriteFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
  std::u16string name;
  const std::shared_ptr<Node> folder = Parent(path, name);
  if (!folder) return false;
  std::shared_ptr<Node> node = Child(folder, name);
  if (node) {
    // CREATE_ALWAYS with FILE_ATTRIBUTE_NORMAL refuses to replace a hidden or system file.
    if (!Writable(node) || (node->attributes & (attribute::kHidden | attribute::kSystem))) return false;
    node->attributes = (node->attributes & ~attribute::kNormal) | attribute::kArchive;
  } else {
    node = NewFile(folder, name);
  }
  return Write(node, bytes);
}

bool MemoryFiles::WriteNewFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
  std::u16string name;
  const std::shared_ptr<Node> folder = Parent(path, name);
  if (!folder || Child(folder, name)) return false;
  if (Write(NewFile(folder, name), bytes)) return true;
  folder->children.erase(name);
  return false;
}

bool MemoryFiles::Replace(const std::u16string& replaced, const std::u16string& replacement) {
  std::u16string name, replacementName;
  const std::shared_ptr<Node> folder = Parent(replaced, name);
  const std::shared_ptr<Node> source = Parent(replacement, replacementName);
  if (!folder || !source) return false;
  const std::shared_ptr<Node> target = Child(folder, name);
  std::u16string movedName;
  const std::shared_ptr<Node> moved = Child(source, replacementName, &movedName);
  if (!moved || !Writable(moved) || moved == target || (target && !Writable(target))) return false;
  source->children.erase(movedName);
  if (!target) {
    folder->children.emplace(name, moved);
    moved->shortName.clear();
    return true;
  }
  // The replaced file takes the replacement's bytes and keeps everything else: name, attributes, identity.
  target->bytes = std::move(moved->bytes);
  return true;
}

bool MemoryFiles::RemoveFile(const std::u16string& path) {
  std::u16string name, onDisk;
  const std::shared_ptr<Node> folder = Parent(path, name);
  const std::shared_ptr<Node> node = folder ? Child(folder, name, &onDisk) : nullptr;
  if (!node || !Writable(node)) return false;
  // The read-only attribute is the file's, and holds for its streams too.
  const size_t colon = name.find(u':');
  const std::shared_ptr<Node> file = colon == std::u16string::npos ? nullptr : Child(folder, name.substr(0, colon));
  if (file && (file->attributes & attribute::kReadOnly)) return false;
  folder->children.erase(onDisk);
  return true;
}

std::optional<FileIdentity> MemoryFiles::Identity(const std::u16string& path) {
  const std::shared_ptr<Node> node = Lookup(path);
  if (!node) return std::nullopt;
  return FileIdentity{node->volume, node->index};
}

bool MemoryFiles::CopyFile(const std::u16string& from, const std::u16string& to) {
  const std::shared_ptr<Node> source = Lookup(from);
  if (!source || source->folder || source->fault != FileFault::None) return false;
  std::u16string name;
  const std::shared_ptr<Node> folder = Parent(to, name);
  if (!folder) return false;
  std::shared_ptr<Node> target = Child(folder, name);
  if (target == source) return false;  // the source is open for reading while the target is opened for writing
  if (target && !Writable(target)) return false;
  if (!target) target = NewFile(folder, name);
  target->bytes = source->bytes;
  // The copy takes the source's attributes, read-only included, and is marked for archiving.
  target->attributes = (source->attributes & ~attribute::kNormal) | attribute::kArchive;
  return true;
}

std::optional<std::u16string> MemoryFiles::TemporaryFolder() {
  if (temporaryFolder_.empty()) return std::nullopt;
  return temporaryFolder_;
}

std::optional<std::u16string> MemoryFiles::LongPath(const std::u16string& path) { return NamesOf(path, false); }

std::optional<std::u16string> MemoryFiles::ShortPath(const std::u16string& path) { return NamesOf(path, true); }

std::optional<std::u16string> MemoryFiles::NamesOf(const std::u16string& path, bool shortNames) {
  if (!Lookup(path)) return std::nullopt;
  // Each name is replaced by its name on disk (or its alias), which expands short names; the rest of the text is
  // kept.
  const std::u16string& text = path;
  size_t begin = 0;
  if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
    const size_t server = text.find_first_of(u"\\/", 2);
    const size_t share = server == std::u16string::npos ? server : text.find_first_of(u"\\/", server + 1);
    begin = share == std::u16string::npos ? text.size() : share + 1;
  } else if (HasDrive(text) || IsSeparator(text[0])) {
    begin = HasDrive(text) ? 2 : 0;
    if (begin < text.size() && IsSeparator(text[begin])) ++begin;
  }
  // The folders from the root down to where the names start, so that ".." can go above a relative start.
  const std::optional<Location> start = Locate(begin == 0 ? u"." : text.substr(0, begin));
  if (!start) return std::nullopt;
  std::vector<std::shared_ptr<Node>> folders{Root(start->root, false)};
  for (const std::u16string& name : start->names) folders.push_back(Child(folders.back(), name));
  if (!folders.back()) return std::nullopt;

  std::u16string result = text.substr(0, begin);
  while (begin < text.size()) {
    size_t end = text.find_first_of(u"\\/", begin);
    const bool last = end == std::u16string::npos;
    if (last) end = text.size();
    const std::u16string name = text.substr(begin, end - begin);
    const std::u16string trimmed = TrimName(name, last);
    if (name == u"..") {
      if (folders.size() > 1) folders.pop_back();
      result += name;
    } else if (name == u"." || trimmed.empty()) {
      result += name;
    } else {
      std::u16string onDisk;
      std::shared_ptr<Node> node = Child(folders.back(), trimmed, &onDisk);
      if (!node) return std::nullopt;
      // A name typed with trailing dots or spaces is kept as typed, as Wine does.
      result += shortNames && !node->shortName.empty() ? node->shortName : trimmed == name ? onDisk : name;
      folders.push_back(std::move(node));
    }
    if (!last) result += text[end];
    begin = end + 1;
  }
  return result;
}

std::optional<std::u16string> MemoryFiles::FullPath(const std::u16string& path) {
  const std::optional<Location> location = Locate(path);
  if (!location) return std::nullopt;
  std::u16string full = location->root;
  const bool drive = HasDrive(location->root);
  if (drive) full += u'\\';
  for (size_t i = 0; i < location->names.size(); ++i) {
    if (i > 0 || !drive) full += u'\\';
    full += location->names[i];
  }
  if (location->trailingSeparator) full += u'\\';
  return full;
}

std::optional<std::u16string> MemoryFiles::CombinePath(const std::u16string& folder, const std::u16string& file) {
  return tc::CombinePath(folder, file);
}

std::vector<FolderEntry> MemoryFiles::Find(const std::u16string& pattern) {
  const size_t separator = pattern.find_last_of(u"\\/");
  size_t nameStart = separator == std::u16string::npos ? 0 : separator + 1;
  if (nameStart == 0 && HasDrive(pattern)) nameStart = 2;
  const std::u16string mask = pattern.substr(nameStart);
  if (mask.empty()) return {};  // "C:\folder\" names no entry

  if (!HasWildcard(mask)) {
    // A plain name finds that one entry, folded like any path; a root is no entry of a folder.
    std::u16string name, onDisk;
    const std::shared_ptr<Node> folder = Parent(pattern, name);
    const std::shared_ptr<Node> node = folder ? Child(folder, name, &onDisk) : nullptr;
    if (!node) return {};
    return {{onDisk, node->attributes}};
  }

  const std::u16string folderPath = nameStart == 0 ? u".\\" : pattern.substr(0, nameStart);
  const std::shared_ptr<Node> folder = Lookup(folderPath);
  const std::optional<Location> location = Locate(folderPath);
  if (!folder || !folder->folder || !location) return {};

  std::vector<FolderEntry> entries;
  // A folder below the root lists itself as "." and its parent as "..".
  if (!location->names.empty()) {
    if (MatchWildcard(mask, u".")) entries.push_back({u".", folder->attributes});
    if (MatchWildcard(mask, u"..")) {
      const std::shared_ptr<Node> parent = Lookup(folderPath + u"..");
      entries.push_back({u"..", parent ? parent->attributes : attribute::kDirectory});
    }
  }
  for (const auto& [name, child] : folder->children) {
    if (MatchWildcard(mask, name) || (!child->shortName.empty() && MatchWildcard(mask, child->shortName))) {
      entries.push_back({name, child->attributes});
    }
  }
  return entries;
}

bool MemoryFiles::AddFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes,
                          std::uint32_t attributes) {
  const std::optional<Location> location = Locate(path);
  if (!location || location->names.empty() || location->trailingSeparator) return false;
  const std::shared_ptr<Node> folder = MakeFolders(*location, location->names.size() - 1);
  const std::u16string& name = location->names.back();
  if (!folder || !ValidName(name)) return false;
  std::shared_ptr<Node> node = Child(folder, name);
  if (node && node->folder) return false;
  if (!node) node = NewFile(folder, name);
  node->bytes = bytes;
  attributes &= ~attribute::kDirectory;
  node->attributes = attributes ? attributes : attribute::kNormal;
  return true;
}

bool MemoryFiles::AddFile(const std::u16string& path, std::string_view text, std::uint32_t attributes) {
  return AddFile(path, std::vector<std::uint8_t>(text.begin(), text.end()), attributes);
}

bool MemoryFiles::AddFolder(const std::u16string& path) {
  const std::optional<Location> location = Locate(path);
  return location && MakeFolders(*location, location->names.size()) != nullptr;
}

bool MemoryFiles::Link(const std::u16string& link, const std::u16string& folder) {
  const std::shared_ptr<Node> target = Lookup(folder);
  const std::optional<Location> location = Locate(link);
  if (!target || !target->folder || !location || location->names.empty()) return false;
  const std::shared_ptr<Node> parent = MakeFolders(*location, location->names.size() - 1);
  const std::u16string& name = location->names.back();
  if (!parent || !ValidName(name) || Child(parent, name)) return false;
  parent->children.emplace(name, target);
  return true;
}

bool MemoryFiles::SetShortName(const std::u16string& path, const std::u16string& shortName) {
  const std::shared_ptr<Node> node = Lookup(path);
  if (!node || !ValidName(shortName)) return false;
  node->shortName = shortName;
  return true;
}

bool MemoryFiles::SetFault(const std::u16string& path, FileFault fault) {
  const std::shared_ptr<Node> node = Lookup(path);
  if (!node || node->folder) return false;
  node->fault = fault;
  return true;
}

std::optional<std::vector<std::uint8_t>> MemoryFiles::ReadBack(const std::u16string& path) {
  const std::shared_ptr<Node> node = Lookup(path);
  if (!node || node->folder) return std::nullopt;
  return node->bytes;
}

bool MemoryFiles::SetCurrentFolder(const std::u16string& folder) {
  const std::shared_ptr<Node> node = Lookup(folder);
  const std::optional<Location> location = Locate(folder);
  if (!node || !node->folder || !location) return false;
  currentFolder_ = *location;
  currentFolder_.trailingSeparator = false;
  return true;
}

}  // namespace tc
