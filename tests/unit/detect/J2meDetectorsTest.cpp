// The J2ME detectors one at a time, each over a machine laid out for the case at hand.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "detect/FolderSearch.h"
#include "detect/J2meScanner.h"
#include "unit/HostMachine.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

using Strings = std::vector<std::u16string>;
using Values = std::initializer_list<std::pair<std::u16string, std::u16string>>;

constexpr RegistryView k32 = RegistryView::Bits32;
constexpr RegistryView k64 = RegistryView::Bits64;
const std::u16string kSunWtk = u"SOFTWARE\\Sun Microsystems, Inc.\\Sun Java Wireless Toolkit";
const std::u16string kJ2meWtk = u"SOFTWARE\\Sun Microsystems, Inc.\\J2ME Wireless Toolkit";
const std::u16string kSdk30 = u"SOFTWARE\\Sun Microsystems, Inc.\\Java(TM) ME platform SDK 3.0";
const std::u16string kSdk30Ea = kSdk30 + u", EA\\3.0";
const std::u16string kSonyEricsson = u"SOFTWARE\\Sony Ericsson\\J2ME SDK";

std::string Sdk30Device(const std::string& adapter, const std::string& name) {
  return "<java><object class=\"sdk.device.Device\"><void property=\"adapter\"><string>" + adapter +
         "</string></void><void property=\"name\"><string>" + name + "</string></void></object></java>";
}

std::string S60Group(const std::string& name) { return "<properties><group name=\"" + name + "\"/></properties>"; }

class J2meDetectorsTest : public ::testing::Test {
 protected:
  void Set(const std::u16string& key, const std::u16string& name, const std::u16string& data, RegistryView view = k32,
           RegistryRoot root = RegistryRoot::LocalMachine) {
    RegistryKey(machine.registry, root, key, root == RegistryRoot::CurrentUser ? RegistryView::Default : view)
        .WriteString(name, data);
  }
  // An Uninstall entry, listed after the ones before it, as Detect lists them.
  void Uninstall(const std::u16string& entry, Values values, RegistryView view = k32) {
    for (const auto& [name, data] : values) Set(std::u16string(kUninstallPath) + u"\\" + entry, name, data, view);
    scanner.UninstallKeys.push_back({entry, view});
  }
  void Put(const std::u16string& path, const std::string& text = "") { ASSERT_TRUE(machine.files.AddFile(path, text)); }
  // A toolkit folder: its emulator, and each device folder with its properties file.
  void ToolkitFolder(const std::u16string& home, std::initializer_list<const char16_t*> devices) {
    Put(home + u"\\bin\\emulatorw.exe");
    for (std::u16string d : devices) Put(home + u"\\wtklib\\devices\\" + d + u"\\" + d + u".properties");
  }
  Strings Names(bool existingOnly = false) {
    Strings names;
    for (const DetectedStarter& d : scanner.List()) {
      if (!existingOnly || d.Exists) names.push_back(d.Name);
    }
    return names;
  }
  const DetectedStarter& At(size_t i) { return scanner.List().at(i); }
  // The scanner, over a machine key that grants reading only, as it does to a user who is not elevated.
  J2meScanner& Scan() {
    machine.registry.MakeReadOnly(RegistryRoot::LocalMachine, u"");
    return scanner;
  }
  // The candidates that one existing starter makes present, on an otherwise unmarked list.
  Strings MarkedBy(const std::u16string& exe, const std::u16string& args, StarterKind kind = StarterKind::J2me) {
    StarterCatalogue& catalogue = machine.context.Catalogue();
    const std::uint32_t slot = catalogue.AddStarter(kind).value();
    catalogue.GetStarter(kind, slot) = Starter{u"mine", exe, args};
    for (DetectedStarter& d : scanner.List()) d.Exists = false;
    scanner.MarkExisting();
    catalogue.DeleteStarter(kind, slot);
    return Names(true);
  }

  HostMachine machine;
  J2meScanner scanner{machine.context};
};

// --- toolkit-style SDKs ---

TEST_F(J2meDetectorsTest, ToolkitVersionWithoutFolderOrEmulatorYieldsNothing) {
  Put(u"C:\\bin\\emulatorw.exe");  // where an empty folder would lead
  Set(kSunWtk + u"\\2.0", u"InstallDir", u"");
  Set(kSunWtk + u"\\2.1", u"Other", u"C:\\WTK21");
  Set(kSunWtk + u"\\2.2", u"InstallDir", u"C:\\WTK22");
  Put(u"C:\\WTK21\\bin\\emulatorw.exe");
  Put(u"C:\\WTK22\\bin\\emulator.exe");
  Put(u"C:\\WTK22\\wtklib\\devices\\DefaultColorPhone\\DefaultColorPhone.properties");
  Scan().DetectSunWirelessToolkit();
  EXPECT_EQ(Names(), Strings{});
}

TEST_F(J2meDetectorsTest, ToolkitDeviceNeedsAFolderHoldingItsOwnPropertiesFile) {
  Set(kSunWtk + u"\\2.5.2", u"InstallDir", u"C:\\WTK\\");
  ToolkitFolder(u"C:\\WTK", {u"Foo", u"Sys"});
  Put(u"C:\\WTK\\wtklib\\devices\\Bar\\Other.properties");
  Put(u"C:\\WTK\\wtklib\\devices\\Loose.properties");
  machine.files.SetAttributes(u"C:\\WTK\\wtklib\\devices\\Sys",
                              attribute::kDirectory | attribute::kHidden | attribute::kSystem);
  Scan().DetectSunWirelessToolkit();
  ASSERT_EQ(Names(), (Strings{u"Sun WTK 2.5.2 - Default Emulator", u"Sun WTK 2.5.2 - Foo Emulator",
                              u"Sun WTK 2.5.2 - Sys Emulator"}));
  const DetectedStarter& emulator = At(0);
  EXPECT_EQ(emulator.ExecutableFile, u"C:\\WTK\\bin\\emulatorw.exe");
  EXPECT_EQ(emulator.Arguments, u"-Xdescriptor:%1");
  EXPECT_EQ(emulator.ExcludePattern, u".*-Xdevice:.*");
  EXPECT_EQ(emulator.IncludePattern, u"");
  const DetectedStarter& device = At(1);
  EXPECT_EQ(device.ExecutableFile, emulator.ExecutableFile);
  EXPECT_EQ(device.Arguments, u"-Xdescriptor:%1 -Xdevice:Foo");
  EXPECT_EQ(device.ExcludePattern, u"");
  EXPECT_EQ(device.IncludePattern, u".*-Xdevice:Foo.*");
  for (const DetectedStarter& d : scanner.List()) {
    EXPECT_EQ(d.Group, d.Name);
    EXPECT_TRUE(d.Main && !d.Exists && !d.Checked && d.Rank == 0) << ToUtf8(d.Name);
  }
}

TEST_F(J2meDetectorsTest, ToolkitUnderBothProductKeysAndBothViews) {
  ToolkitFolder(u"C:\\WTK252", {u"Dev"});
  ToolkitFolder(u"C:\\WTK22", {});
  Set(kSunWtk + u"\\2.5.2", u"InstallDir", u"C:\\WTK252");
  Set(kSunWtk + u"\\2.5.2", u"InstallDir", u"C:\\WTK252", k64);  // the same key in both views
  Set(kJ2meWtk + u"\\2.5.2", u"InstallDir", u"c:\\wtk252\\");   // the same version: dropped
  Set(kJ2meWtk + u"\\2.5", u"InstallDir", u"C:\\WTK252");       // another version: kept
  Set(kJ2meWtk + u"\\2.2", u"InstallDir", u"C:\\WTK22", k64);   // in the 64-bit view only
  Scan().DetectSunWirelessToolkit();
  EXPECT_EQ(Names(), (Strings{u"Sun WTK 2.5.2 - Default Emulator", u"Sun WTK 2.5.2 - Dev Emulator",
                              u"Sun WTK 2.5 - Default Emulator", u"Sun WTK 2.5 - Dev Emulator",
                              u"Sun WTK 2.2 - Default Emulator"}));
}

TEST_F(J2meDetectorsTest, LgSdkUnderEitherVendorKey) {
  ToolkitFolder(u"C:\\LG\\SDK 1.2", {u"LG_Nova.Touch"});
  ToolkitFolder(u"C:\\LG\\SDK 1.0", {});
  Set(u"SOFTWARE\\LG Electronics, Inc.\\LG SDK for the Java(TM) ME Platform\\1.2", u"InstallDir", u"C:\\LG\\SDK 1.2",
      k64);
  Set(u"SOFTWARE\\Sun Microsystems, Inc.\\LG SDK for the Java(TM) ME Platform\\1.0", u"InstallDir",
      u"C:\\LG\\SDK 1.0");
  Scan().DetectLgSdk();
  EXPECT_EQ(Names(), (Strings{u"LG SDK 1.0 - Default Emulator", u"LG SDK 1.2 - Default Emulator",
                              u"LG SDK 1.2 - LG_Nova.Touch Emulator"}));
}

TEST_F(J2meDetectorsTest, ExistingStartersAreToldApartByTheirDevice) {
  const std::u16string exe = u"C:\\WTK\\bin\\emulatorw.exe";
  Set(kSunWtk + u"\\2.5.2", u"InstallDir", u"C:\\WTK");
  ToolkitFolder(u"C:\\WTK", {u"DeviceA", u"DeviceB", u"Nokia.N95"});
  Scan().DetectSunWirelessToolkit();
  ASSERT_EQ(scanner.List().size(), 4u);
  EXPECT_EQ(MarkedBy(exe, u"-Xdescriptor:%1"), Strings{u"Sun WTK 2.5.2 - Default Emulator"});
  // The include pattern is a search: DeviceA2 counts as DeviceA.
  EXPECT_EQ(MarkedBy(exe, u"-Xdescriptor:%1 -Xdevice:DeviceA2"), Strings{u"Sun WTK 2.5.2 - DeviceA Emulator"});
  EXPECT_EQ(MarkedBy(u"c:\\wtk\\BIN\\EMULATORW.EXE", u"-Xdevice:NokiaxN95 -Xdescriptor:%1"),
            Strings{u"Sun WTK 2.5.2 - Nokia.N95 Emulator"});
  EXPECT_EQ(MarkedBy(u"C:\\WTK\\bin\\emulator.exe", u"-Xdescriptor:%1"), Strings{});
  EXPECT_EQ(MarkedBy(exe, u"-Xdescriptor:%1", StarterKind::J2se), Strings{});
}

TEST_F(J2meDetectorsTest, SamsungEntriesAreKnownByTheExactPrefixOfTheirName) {
  ToolkitFolder(u"C:\\Samsung", {});
  const std::pair<const char16_t*, bool> cases[] = {{u"SamsungSDK 1.0", true}, {u"Samsung SDK 1.0", true},
                                                     {u"samsung sdk 1.0", false}, {u"Samsung", false},
                                                     {u" Samsung SDK", false}};
  for (const auto& [display, found] : cases) {
    scanner.List().clear();
    scanner.UninstallKeys.clear();
    Uninstall(u"{S}", {{u"DisplayName", display}, {u"DisplayVersion", u"1.0"}, {u"InstallLocation", u"C:\\Samsung"}});
    scanner.DetectSamsungSdk();  // the entry is rewritten for each case
    EXPECT_EQ(Names(), found ? Strings{u"Samsung SDK 1.0 - Default Emulator"} : Strings{}) << ToUtf8(display);
  }
}

TEST_F(J2meDetectorsTest, SamsungEntryNeedsItsVersionAndLocationInItsOwnView) {
  ToolkitFolder(u"C:\\Samsung", {u"SGH_Z100"});
  Put(u"C:\\bin\\emulatorw.exe");  // where an empty location would lead
  Uninstall(u"{A}", {{u"DisplayName", u"Samsung SDK 1.0"}, {u"InstallLocation", u"C:\\Samsung"}});
  Uninstall(u"{B}", {{u"DisplayName", u"Samsung SDK 1.0"}, {u"DisplayVersion", u"1.0"}});
  Uninstall(u"{C}", {{u"DisplayName", u"Samsung SDK 1.0"}, {u"DisplayVersion", u"1.0"}});
  Set(std::u16string(kUninstallPath) + u"\\{C}", u"InstallLocation", u"C:\\Samsung", k64);
  Scan().Detect();
  EXPECT_EQ(Names(), Strings{});
}

TEST_F(J2meDetectorsTest, SamsungTakesTheFirstInstallationWhoseEmulatorExists) {
  Put(u"C:\\SamsungSDK\\1.0\\wtklib\\devices\\SGH_Z100\\SGH_Z100.properties");  // no emulator
  ToolkitFolder(u"C:\\SamsungSDK\\1.1.2", {u"SGH_Z200"});
  ToolkitFolder(u"C:\\SamsungSDK\\1.2", {u"SGH_Z300"});
  Uninstall(u"{1}", {{u"DisplayName", u"Samsung SDK 1.0"}, {u"DisplayVersion", u"1.0"},
                     {u"InstallLocation", u"C:\\SamsungSDK\\1.0"}});
  Uninstall(u"{2}", {{u"DisplayName", u"SamsungSDK 1.1.2"}, {u"DisplayVersion", u"1.1.2"},
                     {u"InstallLocation", u"C:\\SamsungSDK\\1.1.2"}}, k64);
  Uninstall(u"{3}", {{u"DisplayName", u"Samsung SDK 1.2"}, {u"DisplayVersion", u"1.2"},
                     {u"InstallLocation", u"C:\\SamsungSDK\\1.2"}}, k64);
  Scan().Detect();
  EXPECT_EQ(Names(), (Strings{u"Samsung SDK 1.1.2 - Default Emulator", u"Samsung SDK 1.1.2 - SGH_Z200 Emulator"}));
}

TEST_F(J2meDetectorsTest, SonyEricssonLooksIntoFourEmulatorFolders) {
  const std::u16string home = u"C:\\SE";
  Set(kSonyEricsson + u"\\2.5.0.1", u"SdkHome", home);
  Set(kSonyEricsson + u"\\3.0", u"SdkHome", u"");
  ToolkitFolder(u"C:\\PC_Emulation\\WTK1", {u"Stray"});  // where an empty SdkHome would lead
  ToolkitFolder(home + u"\\PC_Emulation\\WTK1", {u"SonyEricsson_K750"});
  ToolkitFolder(home + u"\\PC_Emulation\\WTK2", {u"DefaultColorPhone", u"SonyEricsson_K800", u"Sonyericsson_Z1"});
  Put(home + u"\\PC_Emulation\\WTK2\\wtklib\\devices\\SonyEricsson_K900\\SonyEricsson_K900_Emu.properties");
  Put(home + u"\\WTK104_01\\wtklib\\devices\\SonyEricsson_T610\\SonyEricsson_T610.properties");  // no emulator
  ToolkitFolder(home + u"\\WTK2", {u"SonyEricsson_W910"});
  Scan().DetectSonyEricssonSdk();
  const std::u16string v = u"Sony Ericsson 2.5.0.1 ";
  ASSERT_EQ(Names(), (Strings{v + u"WTK1 - Default Emulator", v + u"WTK1 - K750 Emulator",
                              v + u"WTK2 - Default Emulator", v + u"WTK2 - DefaultColorPhone_Emu Emulator",
                              v + u"WTK2 - K800_Emu Emulator", v + u"WTK2 - Sonyericsson_Z1_Emu Emulator",
                              v + u"WTK2 - Default Emulator", v + u"WTK2 - W910_Emu Emulator"}));
  EXPECT_EQ(At(1).Arguments, u"-Xdescriptor:%1 -Xdevice:SonyEricsson_K750");
  EXPECT_EQ(At(4).Arguments, u"-Xdescriptor:%1 -Xdevice:SonyEricsson_K800_Emu");
  EXPECT_EQ(At(4).IncludePattern, u".*-Xdevice:SonyEricsson_K800_Emu.*");
  EXPECT_EQ(At(4).ExecutableFile, u"C:\\SE\\PC_Emulation\\WTK2\\bin\\emulatorw.exe");
  EXPECT_EQ(At(6).ExecutableFile, u"C:\\SE\\WTK2\\bin\\emulatorw.exe");
}

TEST_F(J2meDetectorsTest, Sdk30DevicesComeFromTheUsersWorkFolder) {
  machine.environment.Define(u"USERPROFILE", u"C:\\Users\\ann");
  const std::u16string work = u"C:\\Users\\ann\\javame-sdk\\3.0\\work\\";
  Set(kSdk30, u"InstallDir", u"C:\\MESDK", k32, RegistryRoot::CurrentUser);
  Set(kSdk30Ea, u"InstallDir", u"C:\\MESDK", k32, RegistryRoot::CurrentUser);
  Put(u"C:\\MESDK\\bin\\emulator.exe");
  Put(work + u"0\\properties.xml", Sdk30Device("CLDCAdapter", "DefaultCldcPhone1"));
  Put(work + u"1\\properties.xml", Sdk30Device("FxAdapter", "DefaultFxPhone1"));
  Put(work + u"2\\properties.xml", Sdk30Device("cldcAdapter", ""));
  Put(work + u"3\\notes.xml", Sdk30Device("cldc", "Misplaced"));
  Put(work + u"4\\properties.xml", Sdk30Device("myCldC", "Other"));
  Scan().DetectSunMeSdk30Ea();
  EXPECT_EQ(Names(), Strings{});
  Scan().DetectSunMeSdk30();
  ASSERT_EQ(Names(), (Strings{u"Sun SDK 3.0(2) - Default Emulator", u"Sun SDK 3.0(2) - DefaultCldcPhone1 Emulator",
                              u"Sun SDK 3.0(2) - Other Emulator"}));
  EXPECT_EQ(At(0).ExecutableFile, u"C:\\MESDK\\bin\\emulator.exe");
  EXPECT_EQ(At(1).Arguments, u"-Xdescriptor:%1 -Xdevice:DefaultCldcPhone1");
  EXPECT_EQ(At(1).Group, At(1).Name);
}

TEST_F(J2meDetectorsTest, Sdk30PrefersTheMachinesFolderAndNeedsNoWorkFolder) {
  machine.environment.Define(u"USERPROFILE", u"C:\\Users\\ann");
  Set(kSdk30, u"InstallDir", u"C:\\Machine", k64);
  Set(kSdk30, u"InstallDir", u"C:\\User", k32, RegistryRoot::CurrentUser);
  Set(kSdk30Ea, u"InstallDir", u"C:\\Early32");
  Set(kSdk30Ea, u"InstallDir", u"C:\\Early64", k64);
  Put(u"C:\\Machine\\bin\\emulator.exe");
  Put(u"C:\\User\\bin\\emulator.exe");
  Put(u"C:\\Early32\\bin\\emulatorw.exe");  // not the emulator of this SDK
  Put(u"C:\\Early64\\bin\\emulator.exe");
  Put(u"C:\\Users\\ann\\javame-sdk\\3.0_ea\\work\\0\\properties.xml", Sdk30Device("cldc", "EarlyPhone"));
  Scan().DetectSunMeSdk30Ea();
  Scan().DetectSunMeSdk30();
  ASSERT_EQ(Names(), (Strings{u"Sun SDK 3.0(1) - Default Emulator", u"Sun SDK 3.0(1) - EarlyPhone Emulator",
                              u"Sun SDK 3.0(2) - Default Emulator"}));
  EXPECT_EQ(At(0).ExecutableFile, u"C:\\Early64\\bin\\emulator.exe");
  EXPECT_EQ(At(2).ExecutableFile, u"C:\\Machine\\bin\\emulator.exe");
}

// --- Symbian, Nokia and Motorola SDKs ---

TEST_F(J2meDetectorsTest, SymbianDevicesListNeedsAnIdAndAnEmulatorForEachDevice) {
  Set(u"SOFTWARE\\Symbian\\EPOC SDKs", u"CommonPath", u"C:\\Common\\Symbian");
  Put(u"C:\\Common\\Symbian\\devices.xml",
      "<devices><device id=\"A\"><epocroot>C:\\S60\\A\\</epocroot></device>"
      "<device name=\"no id\"><epocroot>C:\\S60\\B</epocroot></device>"
      "<device id=\"C\"><epocroot>C:\\S60\\C</epocroot></device>"
      "<device id=\"D\"><epocroot>C:\\S60\\D</epocroot></device>"
      "<device id=\"E\"/></devices>");
  for (const char16_t* sdk : {u"A", u"B", u"C"}) Put(u"C:\\S60\\" + std::u16string(sdk) + u"\\bin\\emulator.exe");
  Put(u"C:\\bin\\emulator.exe");  // where an empty epocroot would lead
  Scan().DetectSymbianEpocSdks();
  ASSERT_EQ(Names(), (Strings{u"Symbian - A", u"Symbian - C"}));
  EXPECT_EQ(At(0).ExecutableFile, u"C:\\S60\\A\\bin\\emulator.exe");
  EXPECT_EQ(At(0).Group, u"SymbianC:\\S60\\A\\bin\\emulator.exe");
  EXPECT_EQ(At(0).Arguments, u"-Xdescriptor:%1");
  EXPECT_EQ(At(0).ExcludePattern + At(0).IncludePattern, u"");
  // A plain candidate is present whatever the existing starter's arguments.
  EXPECT_EQ(MarkedBy(u"c:\\s60\\c\\bin\\emulator.exe", u"-Xdevice:X -Xdescriptor:%1"), Strings{u"Symbian - C"});
}

TEST_F(J2meDetectorsTest, SymbianWithoutDevicesListYieldsNothing) {
  Set(u"SOFTWARE\\Symbian\\EPOC SDKs", u"CommonPath", u"C:\\Common\\Symbian");
  Put(u"C:\\Common\\Symbian\\devices.xml.bak",
      "<devices><device id=\"A\"><epocroot>C:\\A</epocroot></device></devices>");
  Put(u"C:\\A\\bin\\emulator.exe");
  Scan().DetectSymbianEpocSdks();
  EXPECT_EQ(Names(), Strings{});
}

TEST_F(J2meDetectorsTest, S60EntryLeadsToEverySdkBesideIt) {
  const std::u16string devices = u"C:\\S60\\devices\\";
  Uninstall(u"{1}", {{u"DisplayName", u"S60 3rd Edition SDK for MIDP"}, {u"InstallLocation", devices + u"MIDP"}});
  Uninstall(u"{2}", {{u"DisplayName", u"S60 3rd Edition SDK for Symbian OS, FP1"},
                     {u"InstallLocation", devices + u"FP1\\"}});  // the same parent: its set is dropped
  Uninstall(u"{3}", {{u"DisplayName", u"s60 3rd Edition SDK for C++"}, {u"InstallLocation", u"C:\\Cpp\\S60"}});
  Uninstall(u"{4}", {{u"DisplayName", u"S60 3rd Edition SDK"}});
  Put(u"C:\\Root\\Root.xml", S60Group("Root"));  // where an empty location would lead
  Put(u"C:\\Root\\bin\\emulator.exe");
  Put(u"C:\\Cpp\\Cpp\\Cpp.xml", S60Group("C++"));
  Put(u"C:\\Cpp\\Cpp\\bin\\emulator.exe");
  Put(devices + u"MIDP\\MIDP.xml", S60Group("S60 3rd Edition SDK for MIDP"));
  Put(devices + u"MIDP\\bin\\emulator.exe");
  Put(devices + u"FP1\\FP1.xml", S60Group("FP1"));  // no emulator
  Put(devices + u"Fifth\\Fifth.xml", S60Group("S60 5th Edition SDK"));
  Put(devices + u"Fifth\\bin\\emulator.exe");
  Put(devices + u"Nameless\\Nameless.xml", S60Group(""));
  Put(devices + u"Nameless\\bin\\emulator.exe");
  Put(devices + u"NoXml\\bin\\emulator.exe");
  Scan().DetectS60ThirdEditionSdk();
  ASSERT_EQ(Names(), (Strings{u"S60 5th Edition SDK", u"S60 3rd Edition SDK for MIDP"}));
  EXPECT_EQ(At(1).Group, u"SymbianC:\\S60\\devices\\MIDP\\bin\\emulator.exe");
  EXPECT_EQ(At(1).ExcludePattern + At(1).IncludePattern, u"");
}

TEST_F(J2meDetectorsTest, OneEmulatorFromTwoSymbianDetectorsIsProposedOncePerName) {
  Set(u"SOFTWARE\\Symbian\\EPOC SDKs", u"CommonPath", u"C:\\Symbian");
  Put(u"C:\\Symbian\\devices.xml", "<devices><device id=\"A\"><epocroot>C:\\S60\\A\\</epocroot></device>"
                                   "<device id=\"B\"><epocroot>C:\\S60\\B</epocroot></device></devices>");
  Uninstall(u"{S60}", {{u"DisplayName", u"S60 3rd Edition SDK"}, {u"InstallLocation", u"C:\\S60\\A"}});
  Put(u"C:\\S60\\A\\A.xml", S60Group("S60 SDK A"));
  Put(u"C:\\S60\\B\\B.xml", S60Group("Symbian - B"));
  Put(u"C:\\S60\\A\\bin\\emulator.exe");
  Put(u"C:\\S60\\B\\bin\\emulator.exe");
  Scan().Detect();
  EXPECT_EQ(Names(), (Strings{u"Symbian - A", u"Symbian - B", u"S60 SDK A"}));
}

TEST_F(J2meDetectorsTest, Series60MidpIsKnownByItsEntrysKeyName) {
  Uninstall(u"Series 60 MIDP SDK 1.2.1 for Symbian OS",
            {{u"DisplayName", u"Nokia Developer's Suite"}, {u"InstallLocation", u"C:\\Nokia\\S121"}});
  Uninstall(u"Other", {{u"DisplayName", u"Series 60 MIDP SDK 1.0"}, {u"InstallLocation", u"C:\\Nokia\\S10"}});
  const auto sdk = [&](const std::u16string& folder, const std::u16string& name, const std::string& property) {
    Put(folder + u"\\" + name + u"\\" + name + u".xml", "<properties><group name=\"identification\"><property name=\"" +
                                                          property + "\" value=\"" + ToUtf8(name) +
                                                          "\"/></group></properties>");
    Put(folder + u"\\" + name + u"\\bin\\emulator.exe");
  };
  sdk(u"C:\\Nokia\\S121", u"Named", "name");
  sdk(u"C:\\Nokia\\S121", u"S121", "vendor");
  sdk(u"C:\\Nokia\\S10", u"S10", "vendor");
  Scan().DetectSeries60MidpSdk1();
  ASSERT_EQ(Names(), Strings{u"S121"});
  EXPECT_EQ(At(0).Group, u"SymbianC:\\Nokia\\S121\\S121\\bin\\emulator.exe");
}

TEST_F(J2meDetectorsTest, ConnectivityFrameworkIntegrationsNameTheirEmulator) {
  Set(u"SOFTWARE\\Nokia\\Connectivity_Framework", u"home", u"C:\\NCF", k64);
  const auto product = [](const std::string& name, const std::string& home, const std::string& exe) {
    return "<ProductData><ProductName>" + name + "</ProductName><ProductHome>" + home +
           "</ProductHome><ExecutableFile>" + exe + "</ExecutableFile></ProductData>";
  };
  Put(u"C:\\NCF\\integrations\\S40\\S40.xml", product("Series 40 SDK", "C:\\S40\\", "bin\\emulator.exe"));
  Put(u"C:\\NCF\\integrations\\NoExe\\NoExe.xml", product("No Exe", "C:\\S40", ""));
  Put(u"C:\\NCF\\integrations\\Missing\\Missing.xml", product("Missing", "C:\\S40", "bin\\other.exe"));
  Put(u"C:\\S40\\bin\\emulator.exe");
  Scan().DetectNokiaConnectivityFramework();
  ASSERT_EQ(Names(), Strings{u"Series 40 SDK"});
  EXPECT_EQ(At(0).Group, u"SymbianC:\\S40\\bin\\emulator.exe");
}

TEST_F(J2meDetectorsTest, InstallationRegistryCountsAndIndexesEmulatorsOnly) {
  Put(u"C:\\Nokia\\Registry\\installationRegistry.xml",
      "<registry><product type=\"tool\"><name>Tool</name><location>C:\\Tool</location></product>"
      "<product type=\"emulator\"><name>S40 6th</name><location>C:\\S40_6th</location></product>"
      "<product type=\"emulator\"><name>S40 3rd</name><location>C:\\S40_3rd\\</location></product></registry>");
  Put(u"C:\\Tool\\emulator.exe");
  Put(u"C:\\S40_6th\\bin\\emulator.exe");
  Put(u"C:\\S40_3rd\\emulator.exe");
  ASSERT_TRUE(machine.files.AddFolder(u"C:\\Users\\ann"));
  ASSERT_TRUE(machine.files.SetCurrentFolder(u"C:\\Users\\ann"));  // the file is on the drive's root
  Scan().DetectNokiaInstallationRegistry();
  ASSERT_EQ(Names(), Strings{u"S40 3rd"});
  EXPECT_EQ(At(0).Group, u"S40 3rd");
  EXPECT_EQ(At(0).ExecutableFile, u"C:\\S40_3rd\\emulator.exe");
  EXPECT_EQ(At(0).Arguments, u"-Xdescriptor:%1");
  EXPECT_EQ(At(0).ExcludePattern + At(0).IncludePattern, u"");
}

TEST_F(J2meDetectorsTest, MotodevDevicesAreKeyedOnTheFileAndNamedByTheirDisplayName) {
  const std::u16string devices = u"C:\\Moto\\JMESDK\\res\\devices\\";
  Uninstall(u"{M}", {{u"DisplayName", u"MOTODEV SDK for Java ME v1.3"}, {u"InstallLocation", u"C:\\Moto"}});
  Put(u"C:\\Moto\\JMESDK\\bin\\emulator.exe");
  Put(devices + u"phone.xml", "<properties><entry key=\"device.displayname\">Phone A</entry></properties>");
  Put(devices + u"twin.xml", "<device><displayname>Phone A</displayname></device>");
  Put(devices + u"unnamed.xml", "<device><name>Unnamed</name></device>");
  Put(devices + u"blank.xml", "<properties><entry key=\"device.displayname\"></entry></properties>");
  // "*.xml" also matches a longer extension through its short name; that file is no device file.
  Put(devices + u"spare.xmlx", "<device><displayname>Spare</displayname></device>");
  ASSERT_TRUE(machine.files.SetShortName(devices + u"spare.xmlx", u"SPARE~1.XML"));
  Scan().DetectMotodevSdk();
  ASSERT_EQ(Names(), (Strings{u"MOTODEV SDK - Default Emulator", u"MOTODEV SDK - Phone A Emulator",
                              u"MOTODEV SDK - Phone A Emulator"}));
  EXPECT_EQ(At(0).Group, At(0).Name);
  EXPECT_EQ(At(0).ExcludePattern, u".*-Xdevice:.*");
  EXPECT_EQ(At(0).ExecutableFile, u"C:\\Moto\\JMESDK\\bin\\emulator.exe");
  EXPECT_EQ(At(1).Group, u"MOTODEV SDK - phone Emulator");
  EXPECT_EQ(At(1).Arguments, u"-Xdescriptor:%1 -Xdevice:phone");
  EXPECT_EQ(At(1).IncludePattern, u".*-Xdevice:phone.*");
  EXPECT_EQ(At(2).Group, u"MOTODEV SDK - twin Emulator");
}

TEST_F(J2meDetectorsTest, MotodevExaminesEveryEntryAndNeedsItsEmulator) {
  Uninstall(u"{1}", {{u"DisplayName", u"MOTODEV SDK for Java ME v1.0"}, {u"InstallLocation", u"C:\\Moto1"}});
  Uninstall(u"{2}", {{u"DisplayName", u"Motodev SDK for Java ME v1.1"}, {u"InstallLocation", u"C:\\Moto2"}});
  Uninstall(u"{3}", {{u"DisplayName", u"MOTODEV SDK for Java ME v1.3"}, {u"InstallLocation", u"C:\\Moto3"}});
  Put(u"C:\\Moto1\\JMESDK\\res\\devices\\phone.xml", "<device><displayname>Phone</displayname></device>");
  Put(u"C:\\Moto2\\JMESDK\\bin\\emulator.exe");
  Put(u"C:\\Moto3\\JMESDK\\bin\\emulator.exe");
  Scan().DetectMotodevSdk();
  ASSERT_EQ(Names(), Strings{u"MOTODEV SDK - Default Emulator"});
  EXPECT_EQ(At(0).ExecutableFile, u"C:\\Moto3\\JMESDK\\bin\\emulator.exe");
}

TEST_F(J2meDetectorsTest, IdenProposesDevicesOnlyAndOnceForAFolderUnderBothKeys) {
  Set(u"SOFTWARE\\Motorola\\iDEN\\SDK for J2ME(TM) Technology (MIDP 2.0)", u"DesPath", u"C:\\iDEN");
  Set(u"SOFTWARE\\Motorola\\iDEN\\SDK for J2ME(TM)", u"Path", u"C:\\iDEN\\", k64);
  Put(u"C:\\iDEN\\bin\\emulator.exe");
  Put(u"C:\\iDEN\\device\\i850\\resources\\device.props");
  Put(u"C:\\iDEN\\device\\i850\\device.props");
  Put(u"C:\\iDEN\\device\\i860\\resources\\device.props");
  Put(u"C:\\iDEN\\device\\i9\\device.props");
  Put(u"C:\\iDEN\\device\\i1\\readme.txt");
  Scan().DetectIdenMidp20Sdk();
  Scan().DetectIdenSdk();
  ASSERT_EQ(Names(), (Strings{u"Motorola - i850 Emulator", u"Motorola - i860 Emulator", u"Motorola - i9 Emulator"}));
  EXPECT_EQ(At(0).Group, u"Motorola iDEN SDK - i850 Emulator");
  EXPECT_EQ(At(0).Arguments, u"-Xdescriptor:%1 -Xdevice:i850");
  for (const DetectedStarter& d : scanner.List()) {
    EXPECT_EQ(d.ExecutableFile, u"C:\\iDEN\\bin\\emulator.exe");
    EXPECT_EQ(d.ExcludePattern, u"");
  }
}

TEST_F(J2meDetectorsTest, IdenWithoutItsEmulatorYieldsNothing) {
  Set(u"SOFTWARE\\Motorola\\iDEN\\SDK for J2ME(TM)", u"Path", u"C:\\iDEN");
  Put(u"C:\\iDEN\\bin\\emulatorw.exe");
  Put(u"C:\\iDEN\\device\\i730\\device.props");
  Scan().DetectIdenSdk();
  EXPECT_EQ(Names(), Strings{});
}

// Today's emulators, unzipped where downloads end up (the layout file covers where they are looked for).

TEST_F(J2meDetectorsTest, JarEmulatorsRunOnTheNewestRuntimeAndAreKnownByTheirArguments) {
  machine.environment.Define(u"USERPROFILE", u"C:\\Users\\ann");
  const auto java = [&](const std::u16string& key, const std::u16string& home, const std::string& release) {
    Set(u"SOFTWARE\\JavaSoft\\Java Runtime Environment\\" + key, u"JavaHome", home, k64);
    Put(home + u"\\bin\\javaw.exe");
    if (!release.empty()) Put(home + u"\\release", "JAVA_VERSION=\"" + release + "\"\n");
    return home + u"\\bin\\javaw.exe";
  };
  java(u"1.8.0_202", u"C:\\jre8", "");
  const std::u16string java21 = java(u"21", u"C:\\jdk21", "");
  machine.versions.AddFullVersion(java21, u"21.0.1");
  machine.versions.AddFullVersion(java(u"17", u"C:\\jdk17", "17.0.9"), u"99.0");  // its release file counts
  ASSERT_TRUE(machine.files.RemoveFile(java(u"22.0.1", u"C:\\gone", "22")));   // registered, but removed
  Put(u"C:\\Users\\ann\\Desktop\\microemulator-2.0.4\\microemulator.jar");
  // Folders no argument template can carry.
  Put(u"C:\\Users\\ann\\Downloads\\50%1 off\\freej2me.jar");
  Put(u"C:\\Users\\ann\\Downloads\\%U1\\freej2me.jar");
  Scan().Detect();
  ASSERT_EQ(Names(), Strings{u"MicroEmulator"});
  EXPECT_EQ(At(0).ExecutableFile, java21);
  EXPECT_EQ(At(0).Arguments, u"-jar \"C:\\Users\\ann\\Desktop\\microemulator-2.0.4\\microemulator.jar\" %1");
  EXPECT_EQ(At(0).Group, u"Emulator" + java21 + At(0).Arguments);
  // The runtime is shared: only the same arguments make a starter this one.
  EXPECT_EQ(MarkedBy(u"c:\\JDK21\\bin\\javaw.exe", u" " + At(0).Arguments), Strings{u"MicroEmulator"});
  EXPECT_EQ(MarkedBy(java21, u"-jar %1 %*"), Strings{});
}

// A class whose pool holds a long (two places) and the text, as a string literal or only as a class's name.
std::string ClassHolding(const std::string& text, bool literal) {
  std::string bytes("\xCA\xFE\xBA\xBE\0\0\0\x32\0\x05\x05\0\0\0\0\0\0\0\x01\x01\0", 21);
  bytes += static_cast<char>(text.size());
  bytes += text + (literal ? std::string("\x08\0\x03", 3) : std::string("\x07\0\x03", 3));
  return bytes;
}

TEST_F(J2meDetectorsTest, EachEmulatorIsProposedWithTheScreenInItsOwnSyntax) {
  machine.environment.Define(u"USERPROFILE", u"C:\\Users\\ann");
  Set(u"SOFTWARE\\JavaSoft\\Java Runtime Environment\\17.0.9", u"JavaHome", u"C:\\jdk17", k64);
  Put(u"C:\\jdk17\\bin\\javaw.exe");
  Put(u"C:\\jdk17\\release", "JAVA_VERSION=\"17.0.9\"\n");
  const std::u16string desktop = u"C:\\Users\\ann\\Desktop\\";
  const auto jar = [&](const std::u16string& path, std::vector<std::pair<std::string, std::string>> entries) {
    ASSERT_TRUE(machine.files.AddFile(desktop + path, StoredZip(entries)));
  };
  for (const char16_t* folder : {u"k1", u"k2", u"k3", u"k4"}) Put(desktop + folder + u"\\KEmulator.exe");
  jar(u"k1\\KEmulator.jar", {{"emulator/Emulator.class", ClassHolding("-screen", true)}});
  jar(u"k2\\KEmulator.jar", {{"emulator/Emulator.class", ClassHolding("-screen", false)}});
  jar(u"k3\\KEmulator.jar", {{"emulator/Other.class", ClassHolding("-screen", true)}});
  Put(desktop + u"k4\\KEmulator.jar", "no archive");
  jar(u"m1\\microemulator.jar", {{"org/microemu/device/resizable/device.xml", "<device/>"}});
  jar(u"m2\\microemulator.jar", {{"org/microemu/device/default/device.xml", "<device/>"}});
  jar(u"f1\\freej2me.jar", {{"org/recompile/freej2me/FreeJ2ME.class", ""}});
  jar(u"f2\\freej2me.jar", {{"org/recompile/freej2me/AWTGUI.class", ""}});
  jar(u"f3\\freej2me.jar", {{"org/recompile/freej2me/FJGUI.class", ""}});
  Scan().Detect();
  Strings found;
  for (const auto& d : scanner.List()) found.push_back(d.Name + u"|" + d.Arguments.substr(d.Arguments.rfind(u'"') + 1));
  EXPECT_EQ(found, (Strings{u"KEmulator|-jad %1 -jar %2 -screen %Wx%H", u"KEmulator|-jad %1 -jar %2",
                            u"KEmulator|-jad %1 -jar %2", u"KEmulator|-jad %1 -jar %2",
                            u"MicroEmulator| --resizableDevice %W %H %1", u"MicroEmulator| %1",
                            u"FreeJ2ME| %U2 %W %H", u"FreeJ2ME-Plus| %U2", u"FreeJ2ME-Plus| %U2 0 %W %H"}));
}

TEST_F(J2meDetectorsTest, AHugeDownloadsFolderIsWalkedNoFurtherThanTheBound) {
  machine.environment.Define(u"USERPROFILE", u"C:\\Users\\ann");
  const std::u16string downloads = u"C:\\Users\\ann\\Downloads\\";
  // Named so that the file system lists them in the order made.
  for (unsigned i = 10000; i < 16000; ++i) ASSERT_TRUE(machine.files.AddFolder(downloads + ToDecimal(i)));
  for (const char16_t* folder : {u"10000\\KEmulator", u"15999\\KEmulator"}) {
    Put(downloads + folder + u".exe");
    Put(downloads + folder + u".jar");
  }
  Put(downloads + u"10001\\freej2me.jar");  // no Java runtime: no candidate
  Scan().Detect();
  ASSERT_EQ(Names(), Strings{u"KEmulator"});
  EXPECT_EQ(At(0).ExecutableFile, downloads + u"10000\\KEmulator.exe");
  EXPECT_EQ(At(0).Arguments, u"-jad %1 -jar %2");
}

}  // namespace
}  // namespace tc
