// The version-resource port: values of an executable's version resource.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tc {

// One executable's version resource, read once.
class VersionResource {
 public:
  virtual ~VersionResource() = default;
  // VerQueryValueW of a binary value, such as "\VarFileInfo\Translation".
  virtual std::optional<std::vector<std::uint8_t>> QueryBinary(const std::u16string& subBlock) const = 0;
  // VerQueryValueW of a string value: the characters within the length the query reports.
  virtual std::optional<std::u16string> QueryString(const std::u16string& subBlock) const = 0;
};

class VersionInfo {
 public:
  virtual ~VersionInfo() = default;
  // GetFileVersionInfoSizeW and GetFileVersionInfoW: nullptr when the file has no readable version resource.
  virtual std::unique_ptr<VersionResource> Read(const std::u16string& executable) = 0;
};

}  // namespace tc
