// The XML contract run against MSXML, on files in a scratch folder under the real temporary folder.
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "base/Text.h"
#include "contract/XmlContract.h"
#include "platform/win32/MsxmlXml.h"
#include "platform/win32/Win32Files.h"

namespace tc {

namespace {

class MsxmlUnderTest final : public XmlUnderTest {
 public:
  MsxmlUnderTest() {
    // The program's entry initialises COM; a test thread has to do it itself.
    comReady_ = SUCCEEDED(CoInitialize(nullptr));
    const auto temporary = files_.TemporaryFolder();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    scratch_ = temporary.value_or(u"C:\\") + u"XmlContract-" + ToDecimal(static_cast<std::uint64_t>(stamp)) + u"\\";
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(scratch_), error);
  }

  ~MsxmlUnderTest() override {
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(scratch_), error);
    if (comReady_) CoUninitialize();
  }

  Xml& Port() override { return xml_; }
  std::u16string Scratch() override { return scratch_; }
  bool WriteFile(const std::u16string& path, std::string_view bytes) override {
    return files_.WriteFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }

 private:
  bool comReady_ = false;
  Win32Files files_;
  MsxmlXml xml_;
  std::u16string scratch_;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Msxml, XmlContract,
                         ::testing::Values(XmlFactory{"Msxml", [] { return std::make_unique<MsxmlUnderTest>(); }}),
                         XmlFactoryName);

}  // namespace tc
