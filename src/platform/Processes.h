// The process port: starting the child program.
#pragma once

#include <string>

namespace tc {

class Processes {
 public:
  virtual ~Processes() = default;
  // CreateProcessW with no application name, handles not inherited, flags 0, the inherited environment
  // and current folder; both handles are closed at once. True when the process started.
  virtual bool Start(const std::u16string& commandLine) = 0;
};

}  // namespace tc
