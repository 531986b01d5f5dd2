// The J2ME scan: the Uninstall entries, the detectors in their fixed order, and the shapes of their candidates.
#include "detect/J2meScanner.h"

#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "detect/FolderSearch.h"

namespace tc {

namespace {

constexpr char16_t kDefaultArguments[] = u"-Xdescriptor:%1";

}  // namespace

J2meScanner::J2meScanner(Context& context)
    : StarterScanner(context, StarterKind::J2me), xml_(context.platform.xml) {}

void J2meScanner::Detect() {
  UninstallKeys.clear();
  emulatorFolders_.reset();
  javaRuntime_.reset();
  for (RegistryView view : {RegistryView::Bits32, RegistryView::Bits64}) {
    for (std::u16string& name : ListSubkeys(context_.platform.registry, RegistryRoot::LocalMachine, kUninstallPath,
                                            view)) {
      UninstallKeys.push_back({std::move(name), view});
    }
  }
  // The order decides which of two equal candidates stays, and the order of the new starters.
  DetectSunWirelessToolkit();
  DetectSunMeSdk30Ea();
  DetectSunMeSdk30();
  DetectSymbianEpocSdks();
  DetectS60ThirdEditionSdk();
  DetectNokiaConnectivityFramework();
  DetectSeries60MidpSdk1();
  DetectNokiaInstallationRegistry();
  DetectMotodevSdk();
  DetectIdenMidp20Sdk();
  DetectIdenSdk();
  DetectSonyEricssonSdk();
  DetectSamsungSdk();
  DetectLgSdk();
  DetectKEmulator();
  DetectMicroEmulator();
  DetectFreeJ2me();
}

void J2meScanner::AddDefaultEmulator(const std::u16string& name, const std::u16string& emulator) {
  DetectedStarter candidate;
  candidate.Group = name;
  candidate.Name = name;
  candidate.ExecutableFile = emulator;
  candidate.Arguments = kDefaultArguments;
  // Any existing starter of the emulator that names no device is this one.
  candidate.ExcludePattern = u".*-Xdevice:.*";
  AddDetected(context_.platform.files, list_, candidate);
}

void J2meScanner::AddDevice(const std::u16string& group, const std::u16string& name, const std::u16string& emulator,
                            const std::u16string& device) {
  DetectedStarter candidate;
  candidate.Group = group;
  candidate.Name = name;
  candidate.ExecutableFile = emulator;
  // The device goes in verbatim, so a dot in its name matches any character in the pattern.
  candidate.Arguments = Format(u"-Xdescriptor:%%1 -Xdevice:%s", {device});
  candidate.IncludePattern = Format(u".*-Xdevice:%s.*", {device});
  AddDetected(context_.platform.files, list_, candidate);
}

void J2meScanner::AddPlain(const std::u16string& group, const std::u16string& name, const std::u16string& emulator) {
  DetectedStarter candidate;
  candidate.Group = group;
  candidate.Name = name;
  candidate.ExecutableFile = emulator;
  candidate.Arguments = kDefaultArguments;
  AddDetected(context_.platform.files, list_, candidate);
}

void J2meScanner::AddSymbian(const std::u16string& name, const std::u16string& emulator) {
  // One group for the four Symbian detectors: the same emulator under the same name is proposed once.
  AddPlain(u"Symbian" + emulator, name, emulator);
}

std::vector<std::u16string> J2meScanner::ReadMachineStrings(const std::u16string& path, const std::u16string& name) {
  std::vector<std::u16string> values;
  for (RegistryView view : {RegistryView::Bits32, RegistryView::Bits64}) {
    std::u16string value = ReadStringAt(context_.platform.registry, RegistryRoot::LocalMachine, path, name, view);
    if (!value.empty() && (values.empty() || values.front() != value)) values.push_back(std::move(value));
  }
  return values;
}

std::u16string J2meScanner::ReadUninstall(const UninstallEntry& entry, const std::u16string& name) {
  return ReadUninstallValue(context_.platform.registry, entry.name, name, entry.view);
}

}  // namespace tc
