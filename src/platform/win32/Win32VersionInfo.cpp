// The version-resource port over the version library.
#include "platform/win32/Win32VersionInfo.h"

#include <windows.h>

#include "platform/win32/Win32Text.h"

namespace tc {

namespace {

class Win32VersionResource final : public VersionResource {
 public:
  explicit Win32VersionResource(std::vector<std::uint8_t> block) : block_(std::move(block)) {}

  std::optional<std::vector<std::uint8_t>> QueryBinary(const std::u16string& subBlock) const override {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block_.data(), Wide(subBlock), &value, &length) || !value) return std::nullopt;
    const auto* bytes = static_cast<const std::uint8_t*>(value);
    return std::vector<std::uint8_t>(bytes, bytes + length);
  }

  std::optional<std::u16string> QueryString(const std::u16string& subBlock) const override {
    void* value = nullptr;
    UINT length = 0;  // characters, the terminator included
    if (!VerQueryValueW(block_.data(), Wide(subBlock), &value, &length) || !value) return std::nullopt;
    std::u16string text = FromWide(static_cast<const wchar_t*>(value), length);
    const auto end = text.find(u'\0');
    if (end != std::u16string::npos) text.resize(end);
    return text;
  }

 private:
  std::vector<std::uint8_t> block_;
};

}  // namespace

std::unique_ptr<VersionResource> Win32VersionInfo::Read(const std::u16string& executable) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(Wide(executable), &ignored);
  if (size == 0) return nullptr;
  std::vector<std::uint8_t> block(size);
  if (!GetFileVersionInfoW(Wide(executable), 0, size, block.data())) return nullptr;
  return std::make_unique<Win32VersionResource>(std::move(block));
}

}  // namespace tc
