// The detectors of Symbian and Nokia SDKs, found through their XML descriptions, and of Motorola SDKs.
#include "base/Path.h"
#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "detect/FolderSearch.h"
#include "detect/J2meScanner.h"

namespace tc {

namespace {

constexpr char16_t kEmulator[] = u"bin\\emulator.exe";

}  // namespace

struct J2meScanner::IdenLayout {
  const char16_t* key;
  const char16_t* value;
  const char16_t* deviceFile;
};

void J2meScanner::DetectSymbianEpocSdks() {
  static const std::u16string kDevices = u"/devices/device";
  for (const std::u16string& root : ReadMachineStrings(u"SOFTWARE\\Symbian\\EPOC SDKs", u"CommonPath")) {
    const std::u16string file = JoinPath(root, u"devices.xml");
    for (std::int32_t i = 0; i < xml_.XmlCount(file, kDevices); ++i) {
      const std::u16string device = IndexedQuery(kDevices, i);
      const std::u16string id = xml_.XmlAttribute(file, device, u"id");
      if (id.empty()) continue;
      const std::u16string epocRoot = xml_.XmlText(file, device + u"/epocroot");
      if (epocRoot.empty()) continue;
      const std::u16string emulator = JoinPath(epocRoot, kEmulator);
      if (FileExists(context_.platform.files, emulator)) AddSymbian(u"Symbian - " + id, emulator);
    }
  }
}

void J2meScanner::DetectS60ThirdEditionSdk() {
  Files& files = context_.platform.files;
  for (const UninstallEntry& entry : UninstallKeys) {
    if (!StartsWith(ReadUninstall(entry, u"DisplayName"), u"S60 3rd Edition SDK")) continue;
    const std::u16string location = ReadUninstall(entry, u"InstallLocation");
    if (location.empty()) continue;
    // The installer puts each SDK beside the others, so every sibling of the installation folder is one.
    const std::u16string parent = FullPath(files, JoinPath(location, u".."));
    if (parent.empty()) continue;
    for (const std::u16string& sdk : ListSubfolders(files, parent)) {
      const std::u16string folder = JoinPath(parent, sdk);
      const std::u16string file = JoinPath(folder, sdk + u".xml");
      if (!FileExists(files, file)) continue;
      const std::u16string group = xml_.XmlAttribute(file, u"/properties/group", u"name");
      if (group.empty()) continue;
      const std::u16string emulator = JoinPath(folder, kEmulator);
      if (FileExists(files, emulator)) AddSymbian(group, emulator);
    }
  }
}

void J2meScanner::DetectNokiaConnectivityFramework() {
  Files& files = context_.platform.files;
  for (const std::u16string& home : ReadMachineStrings(u"SOFTWARE\\Nokia\\Connectivity_Framework", u"home")) {
    const std::u16string integrations = JoinPath(home, u"integrations");
    for (const std::u16string& integration : ListSubfolders(files, integrations)) {
      const std::u16string file = JoinPath(JoinPath(integrations, integration), integration + u".xml");
      if (!FileExists(files, file)) continue;
      const std::u16string product = xml_.XmlText(file, u"/ProductData/ProductName");
      if (product.empty()) continue;
      const std::u16string productHome = xml_.XmlText(file, u"/ProductData/ProductHome");
      if (productHome.empty()) continue;
      const std::u16string executable = xml_.XmlText(file, u"/ProductData/ExecutableFile");
      if (executable.empty()) continue;
      const std::u16string emulator = JoinPath(productHome, executable);
      if (FileExists(files, emulator)) AddSymbian(product, emulator);
    }
  }
}

void J2meScanner::DetectSeries60MidpSdk1() {
  Files& files = context_.platform.files;
  for (const UninstallEntry& entry : UninstallKeys) {
    // This installer is known by its entry's name; its display name varies.
    if (!StartsWith(entry.name, u"Series 60 MIDP SDK 1")) continue;
    const std::u16string location = ReadUninstall(entry, u"InstallLocation");
    if (location.empty()) continue;
    for (const std::u16string& sdk : ListSubfolders(files, location)) {
      const std::u16string folder = JoinPath(location, sdk);
      const std::u16string file = JoinPath(folder, sdk + u".xml");
      if (!FileExists(files, file)) continue;
      const std::u16string vendor = xml_.XmlAttribute(
          file, u"/properties/group[@name='identification']/property[@name='vendor']", u"value");
      if (vendor.empty()) continue;
      const std::u16string emulator = JoinPath(folder, kEmulator);
      if (FileExists(files, emulator)) AddSymbian(vendor, emulator);
    }
  }
}

void J2meScanner::DetectNokiaInstallationRegistry() {
  // On the root of the current drive, wherever the SDKs themselves went.
  static const std::u16string kFile = u"\\Nokia\\Registry\\installationRegistry.xml";
  static const std::u16string kEmulators = u"/registry/product[@type='emulator']";
  for (std::int32_t i = 0; i < xml_.XmlCount(kFile, kEmulators); ++i) {
    const std::u16string product = IndexedQuery(kEmulators, i);
    const std::u16string name = xml_.XmlText(kFile, product + u"/name");
    if (name.empty()) continue;
    const std::u16string location = xml_.XmlText(kFile, product + u"/location");
    if (location.empty()) continue;
    const std::u16string emulator = JoinPath(location, u"emulator.exe");
    if (FileExists(context_.platform.files, emulator)) AddPlain(name, name, emulator);
  }
}

void J2meScanner::DetectMotodevSdk() {
  Files& files = context_.platform.files;
  for (const UninstallEntry& entry : UninstallKeys) {
    if (!StartsWith(ReadUninstall(entry, u"DisplayName"), u"MOTODEV SDK for Java ME")) continue;
    const std::u16string location = ReadUninstall(entry, u"InstallLocation");
    if (location.empty()) continue;
    const std::u16string emulator = JoinPath(location, u"JMESDK\\bin\\emulator.exe");
    if (!FileExists(files, emulator)) continue;
    AddDefaultEmulator(u"MOTODEV SDK - Default Emulator", emulator);
    const std::u16string devices = JoinPath(location, u"JMESDK\\res\\devices");
    for (const std::u16string& deviceFile : ListFiles(files, devices, u"*.xml")) {
      // The wildcard also matches a longer extension through the file's short name.
      if (!EndsWithIgnoreCase(deviceFile, u".xml")) continue;
      const std::u16string device = deviceFile.substr(0, deviceFile.size() - 4);
      const std::u16string file = JoinPath(devices, deviceFile);
      // Device files come in two formats.
      std::u16string shown = xml_.XmlText(file, u"/properties/entry[@key='device.displayname']");
      if (shown.empty()) shown = xml_.XmlText(file, u"/device/displayname");
      if (shown.empty()) continue;
      AddDevice(Format(u"MOTODEV SDK - %s Emulator", {device}), Format(u"MOTODEV SDK - %s Emulator", {shown}),
                emulator, device);
    }
  }
}

void J2meScanner::DetectIden(const IdenLayout& layout) {
  Files& files = context_.platform.files;
  for (const std::u16string& home : ReadMachineStrings(layout.key, layout.value)) {
    const std::u16string emulator = JoinPath(home, kEmulator);
    if (!FileExists(files, emulator)) continue;
    const std::u16string devices = JoinPath(home, u"device");
    for (const std::u16string& device : ListSubfolders(files, devices)) {
      if (!FileExists(files, JoinPath(JoinPath(devices, device), layout.deviceFile))) continue;
      AddDevice(Format(u"Motorola iDEN SDK - %s Emulator", {device}), Format(u"Motorola - %s Emulator", {device}),
                emulator, device);
    }
  }
}

void J2meScanner::DetectIdenMidp20Sdk() {
  static constexpr IdenLayout kLayout{u"SOFTWARE\\Motorola\\iDEN\\SDK for J2ME(TM) Technology (MIDP 2.0)",
                                      u"DesPath", u"resources\\device.props"};
  DetectIden(kLayout);
}

void J2meScanner::DetectIdenSdk() {
  static constexpr IdenLayout kLayout{u"SOFTWARE\\Motorola\\iDEN\\SDK for J2ME(TM)", u"Path", u"device.props"};
  DetectIden(kLayout);
}

}  // namespace tc
