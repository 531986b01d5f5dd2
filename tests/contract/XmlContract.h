// The XML contract: the query forms the detectors ask, run against each XML engine on files it writes.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Xml.h"

namespace tc {

// One engine under test, with a scratch folder it can read files from.
class XmlUnderTest {
 public:
  virtual ~XmlUnderTest() = default;
  virtual Xml& Port() = 0;
  // A folder of the test's own, with its trailing backslash.
  virtual std::u16string Scratch() = 0;
  virtual bool WriteFile(const std::u16string& path, std::string_view bytes) = 0;
};

struct XmlFactory {
  std::string name;
  std::function<std::unique_ptr<XmlUnderTest>()> make;
};

class XmlContract : public ::testing::TestWithParam<XmlFactory> {
 protected:
  void SetUp() override;
  // Writes the file into the scratch folder and returns its full path.
  std::u16string Write(const std::u16string& name, std::string_view bytes);

  std::unique_ptr<XmlUnderTest> engine;
  Xml* xml = nullptr;
};

inline void PrintTo(const XmlFactory& factory, std::ostream* out) { *out << factory.name; }
inline std::string XmlFactoryName(const ::testing::TestParamInfo<XmlFactory>& info) { return info.param.name; }

}  // namespace tc
