// Starting a desktop Java archive with a J2SE starter.
#include "launch/LaunchJ2se.h"

#include "catalogue/FileOptions.h"
#include "launch/ChildSurroundings.h"
#include "launch/ChooseStarter.h"
#include "launch/GetJava.h"
#include "launch/JavaStarters.h"
#include "launch/JavaVersionCheck.h"
#include "launch/StartStarter.h"

namespace tc {

bool LaunchJ2se(Context& context, const std::u16string& archivePath, JarReader& jar, const AttributeFile& manifest,
                bool useDefaultAction, const std::u16string& externalArguments, bool inConsole) {
  const FileOptions options = OptionsOfFile(context.platform.registry, context.platform.files, archivePath);
  std::uint32_t slot = ChooseStarter(context, StarterKind::J2se, useDefaultAction, options.starter);
  ProgramFacts program = LearnDesktopProgram(context.platform.files, archivePath, jar, manifest);
  program.displayDpi = DisplayDpi(context.platform.registry);
  program.runs = inConsole ? RunsIn::Console : options.runs;
  program.scaling = options.scaling;
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
  Launch launch{{archivePath}, ArgumentsOfLaunch(options, externalArguments), archivePath, archivePath, program};
  launch.javaOptions = JavaOptionsOf(options);
  return StartStarter(context, StarterKind::J2se, slot, launch);
}

}  // namespace tc
