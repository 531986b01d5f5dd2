// Version resources from a table, for running detection off Windows.
#include "base/Text.h"
#include "platform/host/HostPorts.h"

namespace tc {

namespace {

class TableResource final : public VersionResource {
 public:
  explicit TableResource(TableVersionInfo::Resource resource) : resource_(std::move(resource)) {}
  std::optional<std::vector<std::uint8_t>> QueryBinary(const std::u16string& subBlock) const override {
    const auto it = resource_.binary.find(subBlock);
    if (it == resource_.binary.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::u16string> QueryString(const std::u16string& subBlock) const override {
    const auto it = resource_.strings.find(subBlock);
    if (it == resource_.strings.end()) return std::nullopt;
    return it->second;
  }

 private:
  TableVersionInfo::Resource resource_;
};

}  // namespace

void TableVersionInfo::AddFullVersion(const std::u16string& executable, const std::u16string& fullVersion,
                                      std::uint16_t language, std::uint16_t codePage) {
  Resource& resource = resources[executable];
  resource.binary[u"\\VarFileInfo\\Translation"] = {
      static_cast<std::uint8_t>(language), static_cast<std::uint8_t>(language >> 8),
      static_cast<std::uint8_t>(codePage), static_cast<std::uint8_t>(codePage >> 8)};
  resource.strings[Format(u"\\StringFileInfo\\%04x%04x\\Full Version", {std::uint32_t{language},
                                                                          std::uint32_t{codePage}})] = fullVersion;
}

void TableVersionInfo::AddFileVersion(const std::u16string& executable, std::uint16_t major, std::uint16_t minor,
                                      std::uint16_t build, std::uint16_t revision) {
  std::vector<std::uint8_t> info(52);  // sizeof(VS_FIXEDFILEINFO)
  const auto put32 = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) info[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put32(0, 0xFEEF04BD);  // dwSignature
  put32(4, 0x00010000);  // dwStrucVersion
  put32(8, std::uint32_t{major} << 16 | minor);
  put32(12, std::uint32_t{build} << 16 | revision);
  resources[executable].binary[u"\\"] = info;
}

std::unique_ptr<VersionResource> TableVersionInfo::Read(const std::u16string& executable) {
  const auto it = resources.find(executable);
  if (it == resources.end()) return nullptr;
  return std::make_unique<TableResource>(it->second);
}

}  // namespace tc
