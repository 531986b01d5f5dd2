// Flows not built yet.
#include "launch/OpenArchive.h"
#include "launch/OpenDescriptor.h"
#include "ui/Messages.h"

namespace tc {

bool OpenDescriptor(Context& context, const std::u16string& path, bool, const std::u16string&) {
  ShowLaunchError(context.platform.ui, u"File \"" + path + u"\" read error.");
  return false;
}

bool OpenArchive(Context& context, const std::u16string& path, bool, const std::u16string&) {
  ShowLaunchError(context.platform.ui, u"File \"" + path + u"\" read error.");
  return false;
}

}  // namespace tc
