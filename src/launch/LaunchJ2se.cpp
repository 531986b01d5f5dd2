// Starting a desktop Java archive with a J2SE starter.
#include "launch/LaunchJ2se.h"

#include "launch/ChooseStarter.h"
#include "launch/GetJava.h"
#include "launch/JavaVersionCheck.h"
#include "launch/ProgramKind.h"
#include "launch/StartStarter.h"

namespace tc {

bool LaunchJ2se(Context& context, const std::u16string& archivePath, JarReader& jar, const AttributeFile& manifest,
                bool useDefaultAction, const std::u16string& externalArguments) {
  std::uint32_t slot = ChooseStarter(context, StarterKind::J2se, useDefaultAction);
  const ProgramLook look = LookAtProgram(context.platform.files, archivePath, jar, manifest);
  if (slot != 0) {
    slot = CheckJavaVersion(context, jar, manifest, archivePath, slot, look.usesJavaFx);
  } else if (!context.Catalogue().HasStarters(StarterKind::J2se) && !context.Policy().disableJavaDownload &&
             !RefuseNonProgram(context, jar, manifest, archivePath)) {
    // Still no Java after the setup dialog: the way out is to get one.
    slot = GetJava(context, RequiredJava(jar, manifest));
  }
  if (slot == 0) return false;
  // Closed before the program starts: one that replaces its own JAR while it is watched must not find it held.
  jar.CloseJar();
  return StartStarter(context, StarterKind::J2se, slot,
                      {{archivePath}, externalArguments, archivePath, archivePath, look});
}

}  // namespace tc
