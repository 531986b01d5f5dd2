// The version-resource port over the version library.
#pragma once

#include "platform/VersionInfo.h"

namespace tc {

class Win32VersionInfo final : public VersionInfo {
 public:
  std::unique_ptr<VersionResource> Read(const std::u16string& executable) override;
};

}  // namespace tc
