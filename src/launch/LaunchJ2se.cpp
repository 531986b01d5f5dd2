// Starting a desktop Java archive with a J2SE starter.
#include "launch/LaunchJ2se.h"

#include "launch/ChooseStarter.h"
#include "launch/JavaVersionCheck.h"

namespace tc {

bool LaunchJ2se(Context& context, const std::u16string& archivePath, JarReader& jar, const AttributeFile& manifest,
                bool useDefaultAction, const std::u16string& externalArguments) {
  std::uint32_t slot = ChooseStarter(context, StarterKind::J2se, useDefaultAction);
  if (slot != 0) slot = CheckJavaVersion(context, jar, manifest, archivePath, slot);
  if (slot == 0) return false;
  return StartStarter(context, StarterKind::J2se, slot, {archivePath}, externalArguments);
}

}  // namespace tc
