// Writes a known starter catalogue into the real registry through the program's own code, for e2e checks.
#include "catalogue/StarterCatalogue.h"
#include "platform/win32/Win32Registry.h"

int wmain() {
  tc::Win32Registry registry;
  tc::StarterCatalogue catalogue(registry);
  for (tc::StarterKind kind : {tc::StarterKind::J2se, tc::StarterKind::J2me}) {
    for (std::uint32_t slot = catalogue.NextStarter(kind, 0); slot != 0; slot = catalogue.NextStarter(kind, 0)) {
      catalogue.DeleteStarter(kind, slot);
    }
  }
  const auto first = *catalogue.AddStarter(tc::StarterKind::J2se);
  catalogue.GetStarter(tc::StarterKind::J2se, first) = {u"Java 8", u"C:\\Java\\bin\\javaw.exe", u"-jar %1 %*"};
  const auto second = *catalogue.AddStarter(tc::StarterKind::J2se);
  catalogue.GetStarter(tc::StarterKind::J2se, second) = {u"Hole", u"x", u"y"};
  const auto third = *catalogue.AddStarter(tc::StarterKind::J2se);
  catalogue.GetStarter(tc::StarterKind::J2se, third) = {u"Java 17", u"C:\\Java17\\bin\\java.exe", u""};
  catalogue.DeleteStarter(tc::StarterKind::J2se, second);
  catalogue.SetDefaultAction(tc::StarterKind::J2se, tc::kLastUsedAction);
  const auto emulator = *catalogue.AddStarter(tc::StarterKind::J2me);
  catalogue.GetStarter(tc::StarterKind::J2me, emulator) = {u"Emulator \u00e9", u"C:\\WTK\\bin\\emulator.exe",
                                                           u"-Xdescriptor:%1"};
  catalogue.SetDefaultAction(tc::StarterKind::J2me, emulator);
  catalogue.Save();
  catalogue.SetLastAction(tc::StarterKind::J2se, third);
  return 0;
}
