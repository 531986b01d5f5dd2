// The XML contract run against pugixml, reading its files from the in-memory file system.
#include "contract/XmlContract.h"
#include "platform/host/MemoryFiles.h"
#include "platform/host/PugiXml.h"

namespace tc {

namespace {

class PugiXmlUnderTest final : public XmlUnderTest {
 public:
  PugiXmlUnderTest() { files_.AddFolder(scratch_); }
  Xml& Port() override { return xml_; }
  std::u16string Scratch() override { return scratch_; }
  bool WriteFile(const std::u16string& path, std::string_view bytes) override { return files_.AddFile(path, bytes); }

 private:
  MemoryFiles files_;
  PugiXml xml_{files_};
  std::u16string scratch_ = u"C:\\Users\\user\\AppData\\Local\\Temp\\XmlContract\\";
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Pugi, XmlContract,
                         ::testing::Values(XmlFactory{"Pugi", [] { return std::make_unique<PugiXmlUnderTest>(); }}),
                         XmlFactoryName);

// What only the host engine does: XPath positions from the 0-based positions of the queries.
TEST(PugiXml, CountsPositionsFromOne) {
  const struct {
    const char* query;
    const char* xpath;
  } cases[] = {
      {"/devices/device[0]", "/devices/device[1]"},
      {"/devices/device[9]/epocroot", "/devices/device[10]/epocroot"},
      {"/a[199][ 0 ]", "/a[200][1]"},
      {"/a[2147483647]", "/a[2147483648]"},
      {"/registry/product[@type='emulator'][1]/name", "/registry/product[@type='emulator'][2]/name"},
      {"/a[@k='[0]'][0]", "/a[@k='[0]'][1]"},
      {"/a[@k=\"it's [1]\"][3]", "/a[@k=\"it's [1]\"][4]"},
      {"/a[-1]", "/a[-1]"},
      {"/a[1x]", "/a[1x]"},
      {"/a[", "/a["},
      {"/a[12", "/a[12"},
  };
  for (const auto& c : cases) EXPECT_EQ(PositionsFromOne(c.query), c.xpath) << c.query;
}

}  // namespace tc
