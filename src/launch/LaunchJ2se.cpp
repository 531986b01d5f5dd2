// Starting a desktop Java archive with a J2SE starter.
#include "launch/LaunchJ2se.h"

#include "launch/ChildSurroundings.h"
#include "launch/ChooseStarter.h"
#include "launch/GetJava.h"
#include "launch/JavaStarters.h"
#include "launch/JavaVersionCheck.h"
#include "launch/StartStarter.h"

namespace tc {

bool LaunchJ2se(Context& context, const std::u16string& archivePath, JarReader& jar, const AttributeFile& manifest,
                bool useDefaultAction, const std::u16string& externalArguments) {
  std::uint32_t slot = ChooseStarter(context, StarterKind::J2se, useDefaultAction);
  ProgramFacts program = LearnDesktopProgram(context.platform.files, archivePath, jar, manifest);
  program.displayDpi = DisplayDpi(context.platform.registry);
  if (slot != 0) {
    // A starter that is no Java runtime (an archiver, say) takes libraries too.
    if (IsJarStarter(context.Catalogue().GetStarter(StarterKind::J2se, slot)) &&
        RefuseNonProgram(context, jar, manifest, archivePath)) {
      return false;
    }
    slot = CheckStarter(context, program, slot);
  } else if (!context.Catalogue().HasStarters(StarterKind::J2se) && !context.Policy().disableJavaDownload &&
             !RefuseNonProgram(context, jar, manifest, archivePath)) {
    // Still no Java after the setup dialog: the way out is to get one.
    slot = GetJava(context, RequiredJava(jar, manifest));
  }
  if (slot == 0) return false;
  // Closed before the program starts: one that replaces its own JAR while it is watched must not find it held.
  jar.CloseJar();
  return StartStarter(context, StarterKind::J2se, slot, {{archivePath}, externalArguments, archivePath, archivePath, program});
}

}  // namespace tc
