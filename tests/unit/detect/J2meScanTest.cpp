// The J2ME scan over a machine with one installation of every SDK family it knows.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "detect/J2meScanner.h"
#include "unit/detect/SdkLayout.h"

namespace tc {
namespace {

const std::string kLayout = TC_TEST_DATA "/sdk/j2me-sdks.txt";
const std::string kExpected = TC_TEST_DATA "/sdk/j2me-expected.txt";

std::vector<ExpectedStarter> Found(const DetectedStarterList& list) {
  std::vector<ExpectedStarter> found;
  for (const DetectedStarter& d : list) found.push_back({d.Name, d.ExecutableFile, d.Arguments});
  return found;
}

// Counts the documents the scan loads, passing each load on to the machine's engine.
class CountingXml final : public Xml {
 public:
  explicit CountingXml(Xml& engine) : engine_(engine) {}
  std::unique_ptr<XmlDocument> Load(const std::u16string& path) override {
    loads.push_back(path);
    return engine_.Load(path);
  }
  std::vector<std::u16string> loads;

 private:
  Xml& engine_;
};

class J2meScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LayOut(machine, kLayout));
    machine.registry.MakeReadOnly(RegistryRoot::LocalMachine, u"");  // as a user who is not elevated sees it
  }
  HostMachine machine;
};

TEST_F(J2meScanTest, FindsEveryFamilyInRunOrder) {
  J2meScanner scanner(machine.context);
  scanner.Detect();
  const std::vector<ExpectedStarter> expected = ReadExpected(kExpected);
  ASSERT_EQ(expected.size(), 36u);
  EXPECT_EQ(Found(scanner.List()), expected);
  for (const DetectedStarter& d : scanner.List()) {
    EXPECT_TRUE(d.Main && !d.Exists && !d.Checked && d.Rank == 0) << ToUtf8(d.Name);
  }
}

TEST_F(J2meScanTest, LoadsEachXmlFileOncePerRunOfQuestions) {
  CountingXml xml(machine.xml);
  Platform platform = machine.platform;
  Platform counted{platform.registry, platform.files,       platform.processes, platform.ui, platform.shell,
                   platform.versions, platform.http,        platform.threads,   platform.environment, xml};
  Context context(counted);
  J2meScanner scanner(context);
  scanner.Detect();
  for (size_t i = 1; i < xml.loads.size(); ++i) EXPECT_NE(xml.loads[i], xml.loads[i - 1]) << ToUtf8(xml.loads[i]);
  // The S60 folders are read once for each of the two entries that share them.
  EXPECT_EQ(xml.loads.size(), 18u);
}

TEST_F(J2meScanTest, TheUninstallEntriesOfBothViewsAreListed32BitFirst) {
  J2meScanner scanner(machine.context);
  scanner.Detect();
  std::vector<std::u16string> names32, names64;
  bool in64 = false;
  for (const UninstallEntry& entry : scanner.UninstallKeys) {
    in64 = in64 || entry.view == RegistryView::Bits64;
    EXPECT_EQ(entry.view, in64 ? RegistryView::Bits64 : RegistryView::Bits32) << ToUtf8(entry.name);
    (in64 ? names64 : names32).push_back(entry.name);
  }
  EXPECT_EQ(names32.size(), 6u);
  EXPECT_EQ(names64, (std::vector<std::u16string>{u"MOTODEV SDK for Java ME",
                                                  u"{A1000000-5A4D-5344-4B00-000000000002}",
                                                  u"{A1000000-5A4D-5344-4B00-000000000003}"}));
}

}  // namespace
}  // namespace tc
