// What the user said about one file, kept under the settings.
#include "catalogue/FileOptions.h"

#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "catalogue/StarterCatalogue.h"

namespace tc {

namespace {

std::u16string FilesPath() { return std::u16string(kSettingsPath) + u"\\Files"; }

std::u16string KeyPath(std::u16string_view fullPath) { return FilesPath() + u"\\" + FileOptionsKeyName(fullPath); }

std::uint32_t NumberIn(RegistryKey& key, const char16_t* name, std::uint32_t low, std::uint32_t high) {
  const std::optional<std::uint32_t> number = key.ReadDword(name);
  return number && *number >= low && *number <= high ? *number : 0;
}

std::u16string TextIn(RegistryKey& key, const char16_t* name) {
  std::u16string text = key.ReadText(name).value_or(u"");
  return text.size() <= kMaxOptionText ? text : std::u16string();
}

// Whether the file's key is one of those read: all are when there are no more than the limit; else only those the
// registry lists first, which are looked through without holding more than one name.
bool AmongTheFirst(Registry& registry, const std::u16string& name) {
  const std::optional<Registry::Handle> files = registry.Open(RegistryRoot::CurrentUser, FilesPath(), kKeyRead,
                                                               RegistryView::Default);
  if (!files) return false;
  bool among = true;
  const std::optional<RegistryKeyInfo> info = registry.QueryInfo(*files);
  if (info && info->subkeyCount > kMaxFilesWithOptions) {
    among = false;
    for (std::uint32_t index = 0; index < kMaxFilesWithOptions && !among; ++index) {
      const std::optional<std::u16string> listed = registry.EnumerateSubkey(*files, index, 256);
      if (!listed) break;
      among = EqualsIgnoreCase(*listed, name);
    }
  }
  registry.Close(*files);
  return among;
}

std::uint32_t FilesWithOptions(Registry& registry) {
  const std::optional<Registry::Handle> files = registry.Open(RegistryRoot::CurrentUser, FilesPath(), kKeyRead,
                                                               RegistryView::Default);
  if (!files) return 0;
  const std::optional<RegistryKeyInfo> info = registry.QueryInfo(*files);
  registry.Close(*files);
  return info ? info->subkeyCount : 0;
}

}  // namespace

std::u16string FileOptionsKeyName(std::u16string_view fullPath) {
  std::uint64_t hash = 0xCBF29CE484222325;
  for (const char16_t unit : fullPath) {
    const char16_t upper = UpperCase(unit);
    for (const std::uint8_t byte : {static_cast<std::uint8_t>(upper & 0xFF), static_cast<std::uint8_t>(upper >> 8)}) {
      hash = (hash ^ byte) * 0x100000001B3;
    }
  }
  constexpr char16_t kHex[] = u"0123456789abcdef";
  std::u16string name(16, u'0');
  for (int i = 15; i >= 0; --i, hash >>= 4) name[i] = kHex[hash & 0xF];
  return name;
}

std::optional<FileOptions> ReadFileOptions(Registry& registry, const std::u16string& fullPath) {
  RegistryKey key(registry, RegistryRoot::CurrentUser, KeyPath(fullPath));
  // Another file's key when two paths share a hash: the path tells.
  const std::optional<std::u16string> path = key.ReadText(u"Path");
  if (!path || !EqualsIgnoreCase(*path, fullPath) || !AmongTheFirst(registry, FileOptionsKeyName(fullPath))) {
    return std::nullopt;
  }
  FileOptions options;
  options.starter = NumberIn(key, u"Starter", 1, kHighestSlot);
  options.runs = static_cast<RunsIn>(NumberIn(key, u"Runs", 0, 2));
  options.scaling = static_cast<Scaling>(NumberIn(key, u"Scaling", 0, 2));
  options.memory = NumberIn(key, u"Memory", kMinMemory, kMaxMemory);
  options.javaOptions = TextIn(key, u"JavaOptions");
  options.arguments = TextIn(key, u"Arguments");
  options.width = NumberIn(key, u"Width", kMinScreenSide, kMaxScreenSide);
  options.height = NumberIn(key, u"Height", kMinScreenSide, kMaxScreenSide);
  // A screen needs both sides.
  if (options.width == 0 || options.height == 0) options.width = options.height = 0;
  return options;
}

FileOptions OptionsOfFile(Registry& registry, Files& files, const std::u16string& path) {
  return ReadFileOptions(registry, files.FullPath(path).value_or(path)).value_or(FileOptions{});
}

std::u16string ArgumentsOfLaunch(const FileOptions& options, const std::u16string& externalArguments) {
  if (options.arguments.empty()) return externalArguments;
  if (externalArguments.empty()) return options.arguments;
  return options.arguments + u" " + externalArguments;
}

std::u16string JavaOptionsOf(const FileOptions& options) {
  std::u16string text = options.memory != 0 ? Format(u"-Xmx%um", {options.memory}) : u"";
  if (!text.empty() && !options.javaOptions.empty()) text += u' ';
  return text + options.javaOptions;
}

OptionsWrite WriteFileOptions(Registry& registry, const std::u16string& fullPath, const FileOptions& options) {
  if (options.IsDefault()) return ForgetFileOptions(registry, fullPath) ? OptionsWrite::Written : OptionsWrite::Refused;
  const std::u16string path = KeyPath(fullPath);
  if (!RegistryKey(registry, RegistryRoot::CurrentUser, path).Open() &&
      FilesWithOptions(registry) >= kMaxFilesWithOptions) {
    return OptionsWrite::TooManyFiles;
  }
  // The key is written whole, so that nothing of another path that shared the hash stays in it.
  ForgetFileOptions(registry, fullPath);
  RegistryKey key(registry, RegistryRoot::CurrentUser, path);
  bool written = key.WriteString(u"Path", fullPath);
  const auto number = [&](const char16_t* name, std::uint32_t value) {
    if (value != 0) written = key.WriteNumber(name, value) && written;
  };
  const auto text = [&](const char16_t* name, const std::u16string& value) {
    if (!value.empty()) written = key.WriteString(name, value) && written;
  };
  number(u"Starter", options.starter);
  number(u"Runs", static_cast<std::uint32_t>(options.runs));
  number(u"Scaling", static_cast<std::uint32_t>(options.scaling));
  number(u"Memory", options.memory);
  text(u"JavaOptions", options.javaOptions);
  text(u"Arguments", options.arguments);
  number(u"Width", options.width);
  number(u"Height", options.height);
  return written ? OptionsWrite::Written : OptionsWrite::Refused;
}

bool ForgetFileOptions(Registry& registry, const std::u16string& fullPath) {
  const long result = DeleteTree(registry, RegistryRoot::CurrentUser, KeyPath(fullPath));
  return result == kRegistryOk || result == kRegistryFileNotFound;
}

}  // namespace tc
