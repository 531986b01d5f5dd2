// The internet port over WinINet.
#pragma once

#include "platform/Http.h"

namespace tc {

class Win32Http final : public Http {
 public:
  std::unique_ptr<HttpSession> OpenSession(const std::u16string& agent, HttpProxy proxy) override;
};

}  // namespace tc
