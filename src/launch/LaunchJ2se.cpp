// Starting a desktop Java archive with a J2SE starter.
#include "launch/LaunchJ2se.h"

#include "launch/ChooseStarter.h"
#include "launch/LaunchCommand.h"

namespace tc {

bool LaunchJ2se(Context& context, const std::u16string& archivePath, bool useDefaultAction,
                const std::u16string& externalArguments) {
  const std::uint32_t slot = ChooseStarter(context, StarterKind::J2se, useDefaultAction);
  if (slot == 0) return false;
  const Starter& starter = context.Catalogue().GetStarter(StarterKind::J2se, slot);
  LaunchCommand command(starter.executableFile, starter.arguments);
  command.AddQuotedValue(archivePath);
  return command.Start(context.platform.processes, externalArguments);
}

}  // namespace tc
