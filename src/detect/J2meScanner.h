// The scan for J2ME starters: the emulators of the SDKs installed on the machine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "detect/StarterScanner.h"
#include "detect/XmlDocumentCache.h"

namespace tc {

// An entry under HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall", with the registry
// view it was listed in, from which its values are read.
struct UninstallEntry {
  std::u16string name;
  RegistryView view = RegistryView::Default;
};

class J2meScanner final : public StarterScanner {
 public:
  explicit J2meScanner(Context& context);
  std::u16string StatusText() const override { return u"Scanning for J2ME Starters"; }
  std::u16string NoneFoundText() const override { return u"No J2ME starters are detected."; }
  std::u16string ListTitle() const override { return u"Detected J2ME Starters"; }
  // Lists the Uninstall entries, then runs the detectors in their fixed order: the fourteen SDK families, then
  // the unzipped emulators people use today.
  void Detect() override;

  // The detectors, in the order Detect runs them. Each reads the machine and adds what it finds.
  void DetectSunWirelessToolkit();
  void DetectSunMeSdk30Ea();
  void DetectSunMeSdk30();
  void DetectSymbianEpocSdks();
  void DetectS60ThirdEditionSdk();
  void DetectNokiaConnectivityFramework();
  void DetectSeries60MidpSdk1();
  void DetectNokiaInstallationRegistry();
  void DetectMotodevSdk();
  void DetectIdenMidp20Sdk();
  void DetectIdenSdk();
  void DetectSonyEricssonSdk();
  void DetectSamsungSdk();
  void DetectLgSdk();
  void DetectKEmulator();
  void DetectMicroEmulator();
  void DetectFreeJ2me();

  // Filled by Detect: the 32-bit view's entries, then the 64-bit view's.
  std::vector<UninstallEntry> UninstallKeys;

 private:
  struct Sdk30Layout;
  struct IdenLayout;

  // The three shapes of candidate: an emulator with its default device, one of its devices, and a Symbian
  // or Nokia emulator that chooses its device itself.
  void AddDefaultEmulator(const std::u16string& name, const std::u16string& emulator);
  void AddDevice(const std::u16string& group, const std::u16string& name, const std::u16string& emulator,
                 const std::u16string& device);
  void AddPlain(const std::u16string& group, const std::u16string& name, const std::u16string& emulator);
  void AddSymbian(const std::u16string& name, const std::u16string& emulator);
  // An emulator that is a JAR, started by the newest Java runtime in the form its JAR calls for; nothing without a
  // runtime.
  void AddJarEmulator(const char16_t* jarName);

  // The folders an unzipped emulator may lie in, and the Java runtime that starts the JAR ones: each found
  // once per Detect and shared by the three detectors.
  const std::vector<std::u16string>& EmulatorFolders();
  const std::u16string& JavaRuntime();

  // One toolkit installation: its emulator, then each device folder holding its properties file; false when
  // the emulator is missing, which yields nothing.
  bool AddToolkit(const std::u16string& home, std::u16string_view defaultName, std::u16string_view deviceName,
                  const std::u16string& version);
  // Every version of a toolkit product, each a subkey of the product key naming its "InstallDir".
  void AddToolkitProduct(const std::u16string& productKey, std::u16string_view defaultName,
                         std::u16string_view deviceName);
  void DetectSunMeSdk(const Sdk30Layout& layout);
  void DetectIden(const IdenLayout& layout);

  // HKEY_LOCAL_MACHINE's value in the 32-bit view, then in the 64-bit view; each distinct non-empty one.
  std::vector<std::u16string> ReadMachineStrings(const std::u16string& path, const std::u16string& name);
  std::u16string ReadUninstall(const UninstallEntry& entry, const std::u16string& name);

  // The scan's XML questions share one cache, so that a file several questions read is loaded once.
  XmlDocumentCache xml_;
  std::optional<std::vector<std::u16string>> emulatorFolders_;
  std::optional<std::u16string> javaRuntime_;
};

}  // namespace tc
