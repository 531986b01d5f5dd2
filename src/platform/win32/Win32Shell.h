// The shell port over shell32.
#pragma once

#include "platform/Shell.h"

namespace tc {

class Win32Shell final : public Shell {
 public:
  bool Open(const std::u16string& target) override;
  void NotifyAssociationsChanged() override;
  std::u16string ProgramPath() override;
};

}  // namespace tc
