// The shell port: opening documents and addresses, and telling the shell that file types changed.
#pragma once

#include <string>

namespace tc {

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteW with no verb: the target's default action.
  virtual bool Open(const std::u16string& target) = 0;
  // SHChangeNotify(SHCNE_ASSOCCHANGED).
  virtual void NotifyAssociationsChanged() = 0;
  // The full path of the running program.
  virtual std::u16string ProgramPath() = 0;
};

}  // namespace tc
