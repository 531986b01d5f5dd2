// The detectors of SDKs laid out like the wireless toolkit ("bin\emulatorw.exe", "wtklib\devices"), and of the
// Java ME platform SDK 3.0, which keeps its devices in the user's work folder.
#include "base/Path.h"
#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "detect/FolderSearch.h"
#include "detect/J2meScanner.h"

namespace tc {

namespace {

constexpr char16_t kToolkitEmulator[] = u"bin\\emulatorw.exe";
constexpr char16_t kToolkitDevices[] = u"wtklib\\devices";

// A device folder counts when it holds a properties file named after it; the file is never read.
bool IsDeviceFolder(Files& files, const std::u16string& devices, const std::u16string& device) {
  return FileExists(files, JoinPath(devices, device + u"\\" + device + u".properties"));
}

}  // namespace

struct J2meScanner::Sdk30Layout {
  const char16_t* key;
  bool userFallback;
  const char16_t* defaultName;
  const char16_t* deviceName;
  const char16_t* workFolder;
};

bool J2meScanner::AddToolkit(const std::u16string& home, std::u16string_view defaultName,
                             std::u16string_view deviceName, const std::u16string& version) {
  Files& files = context_.platform.files;
  const std::u16string emulator = JoinPath(home, kToolkitEmulator);
  if (!FileExists(files, emulator)) return false;
  AddDefaultEmulator(Format(defaultName, {version}), emulator);
  const std::u16string devices = JoinPath(home, kToolkitDevices);
  for (const std::u16string& device : ListSubfolders(files, devices)) {
    if (!IsDeviceFolder(files, devices, device)) continue;
    const std::u16string name = Format(deviceName, {version, device});
    AddDevice(name, name, emulator, device);
  }
  return true;
}

void J2meScanner::AddToolkitProduct(const std::u16string& productKey, std::u16string_view defaultName,
                                    std::u16string_view deviceName) {
  Registry& registry = context_.platform.registry;
  for (RegistryView view : {RegistryView::Bits32, RegistryView::Bits64}) {
    for (const std::u16string& version : ListSubkeys(registry, RegistryRoot::LocalMachine, productKey, view)) {
      const std::u16string home =
          ReadStringAt(registry, RegistryRoot::LocalMachine, productKey + u"\\" + version, u"InstallDir", view);
      if (!home.empty()) AddToolkit(home, defaultName, deviceName, version);
    }
  }
}

void J2meScanner::DetectSunWirelessToolkit() {
  for (const char16_t* product : {u"Sun Java Wireless Toolkit", u"J2ME Wireless Toolkit"}) {
    AddToolkitProduct(std::u16string(u"SOFTWARE\\Sun Microsystems, Inc.\\") + product,
                      u"Sun WTK %s - Default Emulator", u"Sun WTK %s - %s Emulator");
  }
}

void J2meScanner::DetectLgSdk() {
  for (const char16_t* vendor : {u"Sun Microsystems, Inc.", u"LG Electronics, Inc."}) {
    AddToolkitProduct(std::u16string(u"SOFTWARE\\") + vendor + u"\\LG SDK for the Java(TM) ME Platform",
                      u"LG SDK %s - Default Emulator", u"LG SDK %s - %s Emulator");
  }
}

void J2meScanner::DetectSamsungSdk() {
  for (const UninstallEntry& entry : UninstallKeys) {
    const std::u16string name = ReadUninstall(entry, u"DisplayName");
    if (!StartsWith(name, u"SamsungSDK") && !StartsWith(name, u"Samsung SDK")) continue;
    const std::u16string version = ReadUninstall(entry, u"DisplayVersion");
    if (version.empty()) continue;
    const std::u16string home = ReadUninstall(entry, u"InstallLocation");
    if (home.empty()) continue;
    // Only the first installation found counts.
    if (AddToolkit(home, u"Samsung SDK %s - Default Emulator", u"Samsung SDK %s - %s Emulator", version)) return;
  }
}

void J2meScanner::DetectSonyEricssonSdk() {
  struct Row {
    const char16_t* folder;
    const char16_t* label;
  };
  static constexpr Row kRows[] = {
      {u"PC_Emulation\\WTK1", u"WTK1"},
      {u"PC_Emulation\\WTK2", u"WTK2"},
      {u"WTK104_01", u"WTK1"},
      {u"WTK2", u"WTK2"},
  };
  constexpr std::u16string_view kMaker = u"SonyEricsson_";
  const std::u16string key = u"SOFTWARE\\Sony Ericsson\\J2ME SDK";
  Registry& registry = context_.platform.registry;
  Files& files = context_.platform.files;
  for (RegistryView view : {RegistryView::Bits32, RegistryView::Bits64}) {
    for (const std::u16string& version : ListSubkeys(registry, RegistryRoot::LocalMachine, key, view)) {
      const std::u16string sdkHome =
          ReadStringAt(registry, RegistryRoot::LocalMachine, key + u"\\" + version, u"SdkHome", view);
      if (sdkHome.empty()) continue;
      for (const Row& row : kRows) {
        const std::u16string label = row.label;
        const std::u16string folder = JoinPath(sdkHome, row.folder);
        const std::u16string emulator = JoinPath(folder, kToolkitEmulator);
        if (!FileExists(files, emulator)) continue;
        AddDefaultEmulator(Format(u"Sony Ericsson %s %s - Default Emulator", {version, label}), emulator);
        const std::u16string devices = JoinPath(folder, kToolkitDevices);
        for (const std::u16string& folderName : ListSubfolders(files, devices)) {
          if (!IsDeviceFolder(files, devices, folderName)) continue;
          // The second toolkit's emulator knows its devices by the "_Emu" form of the folder's name.
          const std::u16string device = label == u"WTK2" ? folderName + u"_Emu" : folderName;
          const std::u16string shown = StartsWith(device, kMaker) ? device.substr(kMaker.size()) : device;
          const std::u16string name = Format(u"Sony Ericsson %s %s - %s Emulator", {version, label, shown});
          AddDevice(name, name, emulator, device);
        }
      }
    }
  }
}

void J2meScanner::DetectSunMeSdk(const Sdk30Layout& layout) {
  Files& files = context_.platform.files;
  std::vector<std::u16string> homes = ReadMachineStrings(layout.key, u"InstallDir");
  if (homes.empty() && layout.userFallback) {
    std::u16string home = ReadStringAt(context_.platform.registry, RegistryRoot::CurrentUser, layout.key, u"InstallDir");
    if (!home.empty()) homes.push_back(std::move(home));
  }
  for (const std::u16string& home : homes) {
    const std::u16string emulator = JoinPath(home, u"bin\\emulator.exe");
    if (!FileExists(files, emulator)) continue;
    AddDefaultEmulator(layout.defaultName, emulator);
    const std::u16string work = ExpandEnvironment(context_.platform.environment, layout.workFolder);
    for (const std::u16string& folder : ListSubfolders(files, work)) {
      const std::u16string file = JoinPath(JoinPath(work, folder), u"properties.xml");
      if (!FileExists(files, file)) continue;
      std::u16string adapter = xml_.XmlText(file, u"/java/object/void[@property=\"adapter\"]/string");
      for (char16_t& c : adapter) c = FoldCase(c);
      if (adapter.find(u"cldc") == std::u16string::npos) continue;
      const std::u16string device = xml_.XmlText(file, u"/java/object/void[@property=\"name\"]/string");
      if (device.empty()) continue;
      const std::u16string name = Format(layout.deviceName, {device});
      AddDevice(name, name, emulator, device);
    }
  }
}

void J2meScanner::DetectSunMeSdk30Ea() {
  static constexpr Sdk30Layout kLayout{u"SOFTWARE\\Sun Microsystems, Inc.\\Java(TM) ME platform SDK 3.0, EA\\3.0",
                                       false, u"Sun SDK 3.0(1) - Default Emulator", u"Sun SDK 3.0(1) - %s Emulator",
                                       u"%USERPROFILE%\\javame-sdk\\3.0_ea\\work"};
  DetectSunMeSdk(kLayout);
}

void J2meScanner::DetectSunMeSdk30() {
  static constexpr Sdk30Layout kLayout{u"SOFTWARE\\Sun Microsystems, Inc.\\Java(TM) ME platform SDK 3.0", true,
                                       u"Sun SDK 3.0(2) - Default Emulator", u"Sun SDK 3.0(2) - %s Emulator",
                                       u"%USERPROFILE%\\javame-sdk\\3.0\\work"};
  DetectSunMeSdk(kLayout);
}

}  // namespace tc
